// The small file layer under the table engine, the CSV reader and the export: positioned reads
// and writes, size, byte-range locks, sharing, atomic replacement. Everything the core does to a
// disk file goes through here; file_io_posix.cpp and file_io_win32.cpp implement it, and tests
// can put a failing or counting file system in its place.
//
// Paths are UTF-8. Errors are errno values (<cerrno>) on every platform, so the core tests them
// one way; a Windows error with no errno counterpart comes as its Windows system code, negated.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace files {

struct FileStatus {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;  // last modification, in nanoseconds
    std::uint64_t device = 0;     // device and file number: the same file under any name or open
    std::uint64_t inode = 0;
    std::uint64_t links = 1;      // names the file has; 0 once it was deleted while open
};

enum class LockKind { Read, Write };

// One of the pieces of a gathered write: `size` bytes at `data`.
struct Piece {
    const void* data;
    std::size_t size;
};

class File {
public:
    virtual ~File() = default;
    // Each returns 0 or an error. readAt sets `got` to the bytes read (fewer at the end).
    virtual int readAt(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) = 0;
    virtual int writeAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
    // Writes the pieces one after another from `offset`: one system call where the system
    // gathers (POSIX pwritev), else, as here, a write per piece.
    virtual int writePiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count)
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
    virtual int status(FileStatus& out) = 0;
    // A lock on a byte range, held by this open file until unlocked or closed; with `wait`
    // false a lock held elsewhere gives EAGAIN at once.
    virtual int lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) = 0;
    virtual int unlock(std::uint64_t offset, std::uint64_t length) = 0;
    virtual bool writable() const = 0;
    // Cuts the file to `size` bytes.
    virtual int truncate(std::uint64_t size) = 0;
    // Ends the open before it is destroyed, so that a failure there is heard: on some file
    // systems data reach the disk only at the close. Afterwards only the destructor may be called.
    virtual int close() { return 0; }
};

// Files the program creates never write through a symbolic link: a link in their place is
// replaced by the new file, its target left alone. A name held by something that is not a
// regular file (a folder, a FIFO, a device) is refused with EACCES, without waiting on it.
enum class OpenMode {
    ReadOnly,         // an existing regular file, only read
    ReadWrite,        // an existing regular file; falls back to read-only when writing is not allowed
    CreateTruncate,   // created when missing, emptied when present
    OpenOrCreate,     // created when missing, kept as it is when present
    CreateNew,        // created; EEXIST when the name is taken by anything, a link included
};

// What other opens of the same file may do while this one lasts. Windows enforces it at the
// open (EBUSY, its sharing violation, for the open that does not fit); POSIX has no sharing
// modes, so there DenyWrite rests on an advisory read lock over the whole file and None on the
// engine's own locks.
enum class Sharing {
    ReadWrite,  // others may read and write
    DenyWrite,  // others may read; a file open for writing elsewhere cannot be opened
    None,       // nobody else may open it
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // 0 and `out` set, or an error.
    virtual int open(const std::string& path, OpenMode mode, Sharing sharing, std::unique_ptr<File>& out) = 0;
    virtual int remove(const std::string& path) = 0;
    // Puts `from` in the place of `to` in one step: whoever opens `to` finds the old file or the
    // new one, never a part. A symbolic link at `to` is replaced, not followed.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // A new folder; EEXIST when the name is taken.
    virtual int makeFolder(const std::string& path) = 0;
    // Removes an empty folder.
    virtual int removeFolder(const std::string& path) = 0;
};

// The file system the core uses: the operating system's unless a test put another in place.
FileSystem& fileSystem();
// Replaces it (nullptr restores the operating system's); for tests.
void setFileSystem(FileSystem* fs);
// The operating system's, for wrappers that forward to it.
FileSystem& systemFileSystem();
// Whether the core uses the operating system's: no test put another in place. Work done on a
// second thread only then, as a test's file system may not expect calls from two threads.
bool systemFileSystemInUse();

// Whether writing over an old file's bytes costs less than writing them into a new file while
// the old one is deleted: on POSIX, where deleting a file already on disk frees its blocks and
// cached pages one by one; not on Windows, where under Wine the export wrote over its 99 MB work
// table in 0.53 s against 0.30 s into a new file.
bool overwritingPays();

}  // namespace files
