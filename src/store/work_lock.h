// The work folder held for the whole of one conversion: two runs that rebuild and read the same
// tables at once would mix each other's records, so a second run, in this process or another,
// is refused at once, before it changes anything.
#pragma once

#include "files/file_io.h"

#include <memory>
#include <string>

namespace store {

// The file in the work folder whose lock stands for the folder. It stays there between runs:
// removing it would let a run that opened it just before lock a file nobody else sees.
inline const std::string kWorkLockFile = "TRANSORBELINZARE.LCK";

class WorkLock {
public:
    WorkLock() = default;
    ~WorkLock() { release(); }
    WorkLock(const WorkLock&) = delete;
    WorkLock& operator=(const WorkLock&) = delete;

    // Takes the folder (as the conversion code writes it, "\ZTEMP"); nothing when already held
    // by this object. An EngineError saying the folder is in use when another run holds it. A
    // folder that does not exist or where no file can be made is not locked: there the run
    // fails at its first table with the engine's own message.
    void take(const std::string& folder);
    void release();
    bool held() const { return file_ != nullptr; }

private:
    static void removeLeftovers(const std::string& folder);

    std::unique_ptr<files::File> file_;
    std::string folder_;  // resolved, while held
};

// Whether this process holds the work lock on `folder` (a path as resolveFolder gives it): then
// no other run reads or writes the tables there, and the engine may gather their writes.
bool workFolderHeld(const std::string& folder);

// Changes each time this process takes or lets go of a work lock, so that a caller can keep
// the answer of workFolderHeld until it changes.
unsigned long workLockGeneration();

// The text of a work folder held by another run.
std::string workFolderInUse(const std::string& folderShown);

}  // namespace store
