#include "store/spare_tables.h"

#include "files/file_io.h"
#include "files/folders.h"
#include "store/dbf_format.h"
#include "store/work_lock.h"

#include <cerrno>

namespace store {

namespace {

// Spares are only for the system's own files while this run holds the work folder (a test's
// file system in place of it sees the files made and deleted as before), and only where
// writing over a file pays.
bool sparesAllowed(const std::string& folder)
{
    return files::overwritingPays() && workFolderHeld(folder) && files::systemFileSystemInUse();
}

}  // namespace

bool takeSpare(const std::string& folder, const std::string& fileName, const std::string& to)
{
    if (!sparesAllowed(folder))
        return false;
    // No folder of spares (or something else by its name) has no entries.
    const std::string spares = files::joinPath(folder, kSpareFolder);
    const std::string found = files::entryNoCase(spares, fileName);
    if (found.empty())
        return false;
    const std::string spare = files::joinPath(spares, found);
    if (files::entryKind(spare) != files::EntryKind::File)
        return false;
    return files::fileSystem().rename(spare, to) == 0;
}

bool keepAsSpare(const std::string& folder, const std::string& path)
{
    if (!sparesAllowed(folder) || files::entryKind(path) != files::EntryKind::File)
        return false;
    files::FileSystem& fs = files::fileSystem();
    {
        std::unique_ptr<files::File> file;
        files::FileStatus status;
        if (fs.open(path, files::OpenMode::ReadOnly, files::Sharing::ReadWrite, file) != 0 ||
            file->status(status) != 0 || status.size < kSpareMinimumBytes)
            return false;
    }
    const std::string spares = files::joinPath(folder, kSpareFolder);
    const files::EntryKind kind = files::entryKind(spares);
    if (kind == files::EntryKind::Missing ? fs.makeFolder(spares) != 0 : kind != files::EntryKind::Folder)
        return false;
    if (!files::entryNoCase(spares, files::fileName(path)).empty())
        return false;
    return fs.rename(path, files::joinPath(spares, files::fileName(path))) == 0;
}

int cutAfterEnd(files::File& file)
{
    unsigned char base[dbf::kBaseHeaderSize];
    std::size_t got = 0;
    if (const int rc = file.readAt(0, base, sizeof base, got))
        return rc;
    if (got < sizeof base)
        return EINVAL;
    const std::uint64_t end = dbf::endMarkOffset(base) + 1;
    files::FileStatus status;
    if (const int rc = file.status(status))
        return rc;
    if (status.size <= end)
        return 0;
    unsigned char mark = 0;
    if (const int rc = file.readAt(end - 1, &mark, 1, got))
        return rc;
    if (got != 1 || mark != dbf::kEndOfFile)
        return EINVAL;  // not a table as this engine leaves it: nothing is cut
    return file.truncate(end);
}

}  // namespace store
