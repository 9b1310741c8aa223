#include "files/process.h"

#include "files/posix.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

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

void useLargeMemoryPages()
{
#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    // The heap is grown once by a stretch of address space (pages are only used when touched),
    // large buffers come from it too, and what is freed stays for the next use; the stretch is
    // advised for transparent huge pages, 2 MiB per trap instead of 4 KiB.
    constexpr std::size_t kStretch = std::size_t(256) << 20;
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    // Threads allocate from this heap too, not from arenas of their own made of small pages.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kStretch * 2));
    mallopt(M_TOP_PAD, static_cast<int>(kStretch));
    void* grow = std::malloc(kHugePage);  // more than the heap has left: it grows by the pad now
    const auto start = (reinterpret_cast<std::uintptr_t>(grow) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kHugePage - 1);
    if (grow && end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);  // a refusal costs nothing
    std::free(grow);
    mallopt(M_TOP_PAD, 0);
#ifdef MADV_POPULATE_WRITE
    // The heap's first stretches were touched before the advice (by the start-up's allocations,
    // and by the heap's own record after the block above), so they stay in 4 KiB pages, each
    // first use a trap. They are used by every run: filled in one call instead.
    if (grow) {
        const auto first = reinterpret_cast<std::uintptr_t>(grow) & ~std::uintptr_t(4095);  // within the heap
        madvise(reinterpret_cast<void*>(first), start + kHugePage - first, MADV_POPULATE_WRITE);
    }
#endif
#endif
}

std::int64_t coarseMilliseconds()
{
#ifdef CLOCK_MONOTONIC_COARSE
    const clockid_t clock = CLOCK_MONOTONIC_COARSE;  // the last tick: no clock source read
#else
    const clockid_t clock = CLOCK_MONOTONIC;
#endif
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
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
