// A shared open writes under the table's update lock. Taking and dropping that lock and looking
// for other opens' writes around every post would cost several system calls per record, most of
// a builder's time; so a run of posts and locates on one table (a builder's locate-and-append
// loop) keeps the lock for up to kMaxHold and looks at the file once, when it takes the lock.
// Another open of the same file in this process that wants to write ends the run at once; an
// open in another process waits for the lock, which the run gives up at its first operation
// after kMaxHold, or at close.
#pragma once

#include "files/file_io.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace store {

class UpdateStreak {
public:
    static constexpr std::chrono::milliseconds kMaxHold{100};
    static constexpr std::chrono::seconds kWaitLimit{30};

    // `onEnd` runs when a run ends, while the file is still open: the owner notes the file as
    // its own writes left it, so that it does not take them for another open's.
    explicit UpdateStreak(std::function<void()> onEnd);
    ~UpdateStreak();
    UpdateStreak(const UpdateStreak&) = delete;
    UpdateStreak& operator=(const UpdateStreak&) = delete;

    // True while a run holds the lock and is younger than kMaxHold.
    bool live() const;

    enum class Take { Live, Started, InUse };
    // Keeps a live run (Live) or ends an old one and starts a new run (Started; the caller then
    // looks for other opens' writes). InUse when another process kept the lock for kWaitLimit.
    Take take(files::File& file, const files::FileStatus& identity);

    // Ends the run, if any: gives up the lock and runs onEnd.
    void end();

private:
    std::function<void()> onEnd_;
    files::File* file_ = nullptr;       // the file whose lock the run holds; nullptr: no run
    bool locked_ = false;        // false on file systems without byte-range locks
    unsigned long process_ = 0;  // the process that started the run
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    std::int64_t started_ = 0;  // files::coarseMilliseconds() when the run took the lock
};

}  // namespace store
