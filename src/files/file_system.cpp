#include "files/file_io.h"

namespace files {

namespace {

FileSystem* current = nullptr;

}  // namespace

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
