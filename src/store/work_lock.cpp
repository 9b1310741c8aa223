#include "store/work_lock.h"

#include "files/folders.h"
#include "store/engine_texts.h"
#include "store/errors.h"
#include "store/paths.h"
#include "store/table.h"

#include <cerrno>

namespace store {

namespace {

// Byte 0 of the lock file; the file itself stays empty.
constexpr std::uint64_t kLockOffset = 0;
constexpr std::uint64_t kLockLength = 1;

}  // namespace

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
    file_.reset();  // closing the file ends its lock
}

}  // namespace store
