#include "files/process.h"

#include "files/posix.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace files {

int posix::writeFully(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (done == 0)
            return ENOSPC;
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return 0;
}

unsigned long processId()
{
    return static_cast<unsigned long>(::getpid());
}

LocalDate localDate(std::time_t moment)
{
    std::tm local{};
    localtime_r(&moment, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string environmentVariable(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

StandardStream::StandardStream(Which which) : which_(which)
{
    std::signal(SIGPIPE, SIG_IGN);
}

int StandardStream::write(const char* data, std::size_t size)
{
    return posix::writeFully(which_ == Which::Output ? STDOUT_FILENO : STDERR_FILENO, data, size);
}

int StandardStream::close()
{
    const int descriptor = which_ == Which::Output ? STDOUT_FILENO : STDERR_FILENO;
    if (::close(descriptor) != 0 && errno != EINTR)
        return errno;
    return 0;
}

}  // namespace files
