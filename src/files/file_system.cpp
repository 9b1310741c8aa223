#include "files/file_io.h"

namespace files {

namespace {

FileSystem* current = nullptr;

}  // namespace

int File::writePiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (pieces[i].size == 0)
            continue;
        if (const int rc = writeAt(offset, pieces[i].data, pieces[i].size))
            return rc;
        offset += pieces[i].size;
    }
    return 0;
}

FileSystem& fileSystem()
{
    return current ? *current : systemFileSystem();
}

void setFileSystem(FileSystem* fs)
{
    current = fs;
}

bool systemFileSystemInUse()
{
    return &fileSystem() == &systemFileSystem();
}

}  // namespace files
