// The file layer on POSIX: pread/pwrite, open-file-description locks, rename(2).
#include "files/file_io.h"

#include <cerrno>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace files {

namespace {

class PosixFile final : public File {
public:
    PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~PosixFile() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int close() override
    {
        const int fd = std::exchange(fd_, -1);
        if (fd < 0 || ::close(fd) == 0 || errno == EINTR)
            return 0;
        return errno;
    }

    int readAt(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) override
    {
        got = 0;
        auto* p = static_cast<char*>(data);
        while (got < size) {
            const ssize_t n = ::pread(fd_, p + got, size - got, static_cast<off_t>(offset + got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return 0;
    }

    int writeAt(std::uint64_t offset, const void* data, std::size_t size) override
    {
        const auto* p = static_cast<const char*>(data);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pwrite(fd_, p + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (n == 0)
                return ENOSPC;
            done += static_cast<std::size_t>(n);
        }
        return 0;
    }

    int writePiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count) override
    {
        constexpr std::size_t kMost = 8;  // callers gather a few pieces: more go in several calls
        while (count > 0) {
            struct iovec vec[kMost];
            std::size_t n = 0, size = 0;
            for (; n < count && n < kMost; ++n) {
                vec[n].iov_base = const_cast<void*>(pieces[n].data);
                vec[n].iov_len = pieces[n].size;
                size += pieces[n].size;
            }
            const ssize_t wrote = ::pwritev(fd_, vec, static_cast<int>(n), static_cast<off_t>(offset));
            if (wrote < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (wrote == 0 && size > 0)
                return ENOSPC;
            // A short write: the rest of the piece it stopped in, and the pieces after, as plain writes.
            std::size_t left = static_cast<std::size_t>(wrote);
            offset += left;
            while (n > 0 && left >= pieces->size) {
                left -= pieces->size;
                ++pieces, --count, --n;
            }
            if (n > 0 && left > 0) {
                if (const int rc = writeAt(offset, static_cast<const char*>(pieces->data) + left, pieces->size - left))
                    return rc;
                offset += pieces->size - left;
                ++pieces, --count;
            }
        }
        return 0;
    }

    int status(FileStatus& out) override
    {
        struct stat st;
        if (::fstat(fd_, &st) != 0)
            return errno;
        out.size = static_cast<std::uint64_t>(st.st_size);
        out.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        out.device = static_cast<std::uint64_t>(st.st_dev);
        out.inode = static_cast<std::uint64_t>(st.st_ino);
        out.links = static_cast<std::uint64_t>(st.st_nlink);
        return 0;
    }

    // Open-file-description locks: they belong to this open file, so two opens of one table in
    // the same process exclude each other just as two processes do.
    int lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) override
    {
        struct flock fl {};
        fl.l_type = kind == LockKind::Write ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = static_cast<off_t>(length);
        while (::fcntl(fd_, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) != 0) {
            if (errno == EINTR)
                continue;
            return errno == EACCES ? EAGAIN : errno;
        }
        return 0;
    }

    int unlock(std::uint64_t offset, std::uint64_t length) override
    {
        struct flock fl {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = static_cast<off_t>(length);
        return ::fcntl(fd_, F_OFD_SETLK, &fl) == 0 ? 0 : errno;
    }

    bool writable() const override { return writable_; }

    int truncate(std::uint64_t size) override
    {
        while (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
            if (errno != EINTR)
                return errno;
        return 0;
    }

private:
    int fd_;
    bool writable_;
};

// Opens for creating: a symbolic link in the way is removed first, anything else that is not
// a regular file is refused. O_NOFOLLOW closes the gap between the look and the open, and
// O_NONBLOCK keeps a FIFO that appears in it from blocking the open.
int openForCreate(const std::string& path, bool truncate)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            if (::unlink(path.c_str()) != 0 && errno != ENOENT)
                return -1;
        } else if (!S_ISREG(st.st_mode)) {
            errno = EACCES;
            return -1;
        }
    }
    int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    if (truncate)
        flags |= O_TRUNC;
    int fd;
    do
        fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENXIO)
            errno = EACCES;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0)
        ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

// "Deny write" without sharing modes: an open-file-description read lock over the whole file,
// however long it grows, which a writer that locks (as ours do) cannot get past, and which a
// write lock held elsewhere refuses with EBUSY, the sharing violation.
int denyWrite(int fd)
{
    struct flock fl {};
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    while (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EACCES ? EBUSY : errno;
    }
    return 0;
}

class PosixFileSystem final : public FileSystem {
public:
    int open(const std::string& path, OpenMode mode, Sharing sharing, std::unique_ptr<File>& out) override
    {
        int fd = -1;
        bool writable = true;
        if (mode == OpenMode::ReadOnly) {
            do
                fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
            while (fd < 0 && errno == EINTR);
            writable = false;
        } else if (mode == OpenMode::CreateTruncate || mode == OpenMode::OpenOrCreate) {
            fd = openForCreate(path, mode == OpenMode::CreateTruncate);
        } else if (mode == OpenMode::CreateNew) {
            do
                fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            while (fd < 0 && errno == EINTR);
        } else {
            // O_NONBLOCK: a FIFO in the file's place must not hold the open up.
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
            if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
                fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
                writable = false;
            }
        }
        if (fd < 0)
            return errno;
        struct stat st;
        if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
            // A folder, a FIFO or a device is no table or index; reading one could wait forever.
            ::close(fd);
            return S_ISDIR(st.st_mode) ? EISDIR : EACCES;
        }
        if (mode == OpenMode::ReadWrite || mode == OpenMode::ReadOnly) {
            const int fl = ::fcntl(fd, F_GETFL);
            if (fl >= 0)
                ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
        }
        if (sharing == Sharing::DenyWrite) {
            if (const int rc = denyWrite(fd)) {
                ::close(fd);
                return rc;
            }
        }
        out = std::make_unique<PosixFile>(fd, writable);
        return 0;
    }

    int remove(const std::string& path) override { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

    int rename(const std::string& from, const std::string& to) override
    {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    int makeFolder(const std::string& path) override { return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

    int removeFolder(const std::string& path) override { return ::rmdir(path.c_str()) == 0 ? 0 : errno; }
};

}  // namespace

FileSystem& systemFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

bool overwritingPays()
{
    return true;
}

}  // namespace files
