#include "store/update_streak.h"

#include "store/table_lock.h"

#include "files/process.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace store {

namespace {

// The runs of this process, so that an open about to write ends another open's run on the same
// file instead of waiting for it (the lock would wait forever: both opens are on one thread).
std::mutex registryMutex;
std::vector<UpdateStreak*>& registry()
{
    static std::vector<UpdateStreak*> runs;
    return runs;
}

}  // namespace

UpdateStreak::UpdateStreak(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {}

UpdateStreak::~UpdateStreak()
{
    end();
}

bool UpdateStreak::live() const
{
    // Asked at every post and search of a run: the coarse clock, a few milliseconds either way.
    return file_ && files::coarseMilliseconds() - started_ < kMaxHold.count();
}

UpdateStreak::Take UpdateStreak::take(files::File& file, const files::FileStatus& identity)
{
    if (file_ == &file && live())
        return Take::Live;
    end();

    // A child made by fork holds a copy of its parent's runs, whose locks are its parent's: it
    // leaves them alone.
    const unsigned long self = files::processId();
    std::vector<UpdateStreak*> others;
    {
        std::lock_guard<std::mutex> guard(registryMutex);
        for (UpdateStreak* run : registry())
            if (run != this && run->process_ == self && run->device_ == identity.device &&
                run->inode_ == identity.inode)
                others.push_back(run);
    }
    for (UpdateStreak* run : others)
        run->end();

    // Another process's run ends within kMaxHold while it works, or when it closes the table.
    auto pause = std::chrono::milliseconds(1);
    const auto giveUp = std::chrono::steady_clock::now() + kWaitLimit;
    LockResult lock;
    while ((lock = tryLockForUpdate(file)) == LockResult::InUse) {
        if (std::chrono::steady_clock::now() >= giveUp)
            return Take::InUse;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    file_ = &file;
    locked_ = lock == LockResult::Held;
    process_ = self;
    device_ = identity.device;
    inode_ = identity.inode;
    started_ = files::coarseMilliseconds();
    std::lock_guard<std::mutex> guard(registryMutex);
    registry().push_back(this);
    return Take::Started;
}

void UpdateStreak::end()
{
    if (!file_)
        return;
    {
        std::lock_guard<std::mutex> guard(registryMutex);
        auto& runs = registry();
        runs.erase(std::remove(runs.begin(), runs.end(), this), runs.end());
    }
    files::File* file = file_;
    file_ = nullptr;
    if (process_ == files::processId()) {  // a forked child's copy of the run is not its to end
        if (onEnd_)
            onEnd_();
        if (locked_)
            unlockForUpdate(*file);
    }
    locked_ = false;
}

}  // namespace store
