// The small file layer under the table engine: positioned reads and writes, size, byte-range
// locks. Everything the engine does to a disk file goes through here, so tests can put a
// failing or counting file in its place.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace store {

struct FileStatus {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;  // last modification, in nanoseconds
    std::uint64_t device = 0;     // device and inode: the same file under any name or open
    std::uint64_t inode = 0;
    std::uint64_t links = 1;      // names the file has; 0 once it was deleted while open
};

enum class LockKind { Read, Write };

class File {
public:
    virtual ~File() = default;
    // Each returns 0 or an errno value. readAt sets `got` to the bytes read (fewer at the end).
    virtual int readAt(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) = 0;
    virtual int writeAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
    virtual int status(FileStatus& out) = 0;
    // A lock on a byte range, held by this open file until unlocked or closed; with `wait`
    // false a lock held elsewhere gives EAGAIN at once.
    virtual int lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) = 0;
    virtual int unlock(std::uint64_t offset, std::uint64_t length) = 0;
    virtual bool writable() const = 0;
    // Cuts the file to `size` bytes; 0 or an errno value.
    // Ends the open before it is destroyed, so that a failure there is heard: on some file
    // systems data reach the disk only at the close. 0 or an errno value; afterwards only the
    // destructor may be called.
    virtual int close() { return 0; }
    virtual int truncate(std::uint64_t size)
    {
        (void)size;
        return ENOTSUP;
    }
};

// Files the program creates never write through a symbolic link: a link in their place is
// replaced by the new file, its target left alone. A name held by something that is not a
// regular file (a folder, a FIFO, a device) is refused with EACCES, without waiting on it.
enum class OpenMode {
    ReadWrite,        // an existing regular file; falls back to read-only when writing is not allowed
    CreateTruncate,   // created when missing, emptied when present
    OpenOrCreate,     // created when missing, kept as it is when present
    CreateNew,        // created; EEXIST when the name is taken by anything, a link included
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // 0 and `out` set, or an errno value.
    virtual int open(const std::string& path, OpenMode mode, std::unique_ptr<File>& out) = 0;
    virtual int remove(const std::string& path) = 0;
    // Puts `from` in the place of `to` in one step: whoever opens `to` finds the old file or the
    // new one, never a part. A symbolic link at `to` is replaced, not followed.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // A new folder; EEXIST when the name is taken.
    virtual int makeFolder(const std::string& path) = 0;
    // Removes an empty folder.
    virtual int removeFolder(const std::string& path) = 0;
};

// The file system the engine uses: the operating system's unless a test put another in place.
FileSystem& fileSystem();
// Replaces it (nullptr restores the operating system's); for tests.
void setFileSystem(FileSystem* fs);
// The operating system's, for wrappers that forward to it.
FileSystem& posixFileSystem();

}  // namespace store
