#include "store/work_lock.h"

#include "files/folders.h"
#include "store/engine_texts.h"
#include "store/errors.h"
#include "store/later_removal.h"
#include "store/paths.h"
#include "store/table.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <vector>

namespace store {

namespace {

// Byte 0 of the lock file; the file itself stays empty.
constexpr std::uint64_t kLockOffset = 0;
constexpr std::uint64_t kLockLength = 1;

// The work folders this process holds.
std::mutex heldMutex;
std::vector<std::string> heldFolders;
std::atomic<unsigned long> generation{1};

}  // namespace

bool workFolderHeld(const std::string& folder)
{
    std::lock_guard<std::mutex> guard(heldMutex);
    return std::find(heldFolders.begin(), heldFolders.end(), folder) != heldFolders.end();
}

unsigned long workLockGeneration()
{
    return generation.load();
}

std::string workFolderInUse(const std::string& folderShown)
{
    return "La carpeta de trabajo " + folderShown +
           " est\xE1 en uso: otra transformaci\xF3n la est\xE1 usando. Espere a que termine y vuelva a intentarlo";
}

void WorkLock::take(const std::string& folder)
{
    if (file_)
        return;
    const std::string resolved = resolveFolder(folder);
    if (!files::folderExists(resolved))
        return;
    std::unique_ptr<files::File> file;
    if (files::fileSystem().open(files::pathInFolder(resolved, kWorkLockFile), files::OpenMode::OpenOrCreate,
                                 files::Sharing::ReadWrite, file) != 0)
        return;
    const int rc = file->lock(kLockOffset, kLockLength, files::LockKind::Write, false);
    if (rc == EAGAIN || rc == EACCES)
        throw EngineError(workFolderInUse(texts::folderShown(folder, resolved)));
    if (rc != 0)
        return;  // a file system without locks: the run goes on unguarded, as tables do there
    file_ = std::move(file);
    folder_ = resolved;
    {
        std::lock_guard<std::mutex> guard(heldMutex);
        heldFolders.push_back(folder_);
    }
    ++generation;
    removeLeftovers(resolved);
}

// Tables are built aside in folders ".nueva.<process>.<n>" of the work folder and moved in when
// whole; a run killed meanwhile leaves its folder behind. Every run holds this lock while it
// builds, so once it is ours, any such folder is a leftover.
void WorkLock::removeLeftovers(const std::string& folder)
{
    for (const std::string& name : files::listFolder(folder)) {
        const std::string aside = files::joinPath(folder, name);
        if (name.rfind(kAsideFolderPrefix, 0) == 0 && files::entryKind(aside) == files::EntryKind::Folder)
            removeAsideFolder(aside);
    }
}

void WorkLock::release()
{
    if (!file_)
        return;
    finishRemovals();
    {
        std::lock_guard<std::mutex> guard(heldMutex);
        const auto it = std::find(heldFolders.begin(), heldFolders.end(), folder_);
        if (it != heldFolders.end())
            heldFolders.erase(it);
    }
    ++generation;
    folder_.clear();
    file_.reset();  // closing the file ends its lock
}

}  // namespace store
