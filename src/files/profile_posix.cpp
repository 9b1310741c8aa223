// An INI file's key written on POSIX, as Windows' WritePrivateProfileStringA would write it: the
// caller's update makes the new text, and the file is replaced whole.
#include "files/profile.h"

#include "files/folders.h"
#include "files/posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace files {

namespace {

bool writeAll(int fd, const std::string& text)
{
    return posix::writeFully(fd, text.data(), text.size()) == 0;
}

bool readAll(const std::string& path, std::string& text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char block[8192];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        text.append(block, static_cast<std::size_t>(n));
    }
    return ::close(fd) == 0;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool writeProfileString(const std::string& givenPath, const std::string&, const std::string&, const std::string&,
                        const ProfileUpdate& update)
{
    // A link is followed: the file it names is the record.
    std::string path = givenPath;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        if (::realpath(path.c_str(), real))
            path = real;
    }

    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return false;
        // A new file: nothing can be lost, so it is written in place.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        const bool ok = writeAll(fd, update(""));
        if (::close(fd) != 0 || !ok) {
            ::unlink(path.c_str());
            return false;
        }
        return true;
    }
    if (!S_ISREG(st.st_mode) || ::access(path.c_str(), R_OK | W_OK) != 0)
        return false;

    std::string text;
    if (!readAll(path, text))
        return false;
    const std::string updated = update(text);

    // A copy beside the file replaces it whole, so a failed write never leaves half a file.
    std::string temporary = folderOf(path) + "/." + fileName(path) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd >= 0) {
        bool ok = writeAll(fd, updated) && ::fsync(fd) == 0;
        ok = ::fchmod(fd, st.st_mode & 07777) == 0 && ok;
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Another owner cannot be kept by an ordinary user; the file keeps its mode.
        }
        ok = ::close(fd) == 0 && ok;
        if (ok && ::rename(temporary.c_str(), path.c_str()) == 0)
            return true;
        ::unlink(temporary.c_str());
        return false;
    }

    // The folder takes no new file but the file itself is writable: rewrite it in place.
    const int direct = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (direct < 0)
        return false;
    const bool ok = writeAll(direct, updated);
    return ::close(direct) == 0 && ok;
}

}  // namespace files
