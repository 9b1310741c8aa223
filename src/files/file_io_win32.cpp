// The file layer on Windows: CreateFileW with sharing modes, ReadFile and WriteFile at 64-bit
// offsets, LockFileEx, MoveFileExW. Handles are always binary; nothing relies on deleting a
// file that is open.
#include "files/file_io.h"
#include "files/folders.h"
#include "files/win32.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace files {

namespace {

using win32::lastError;
using win32::widen;

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

// One call moves at most this much, well inside a DWORD.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

class Win32File final : public File {
public:
    Win32File(HANDLE handle, bool writable) : handle_(handle), writable_(writable) {}
    ~Win32File() override
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }

    int close() override
    {
        const HANDLE h = std::exchange(handle_, INVALID_HANDLE_VALUE);
        if (h == INVALID_HANDLE_VALUE || CloseHandle(h))
            return 0;
        return lastError();
    }

    int readAt(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) override
    {
        got = 0;
        auto* p = static_cast<char*>(data);
        while (got < size) {
            OVERLAPPED o = at(offset + got);
            DWORD n = 0;
            if (!ReadFile(handle_, p + got, static_cast<DWORD>(std::min(size - got, kLargestTransfer)), &n, &o)) {
                if (GetLastError() == ERROR_HANDLE_EOF)
                    break;
                return lastError();
            }
            if (n == 0)
                break;
            got += n;
        }
        return 0;
    }

    int writeAt(std::uint64_t offset, const void* data, std::size_t size) override
    {
        const auto* p = static_cast<const char*>(data);
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED o = at(offset + done);
            DWORD n = 0;
            if (!WriteFile(handle_, p + done, static_cast<DWORD>(std::min(size - done, kLargestTransfer)), &n, &o))
                return lastError();
            if (n == 0)
                return ENOSPC;
            done += n;
        }
        return 0;
    }

    // The volume and file number do not change while the handle is open: they are asked once,
    // and each later look asks only for size, time and names, which costs less (under Wine far
    // less: the full information also asks for the volume).
    int status(FileStatus& out) override
    {
        if (!identified_) {
            BY_HANDLE_FILE_INFORMATION info;
            if (!GetFileInformationByHandle(handle_, &info))
                return lastError();
            device_ = info.dwVolumeSerialNumber;
            inode_ = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
            identified_ = true;
        }
        FILE_STANDARD_INFO standard;
        FILE_BASIC_INFO basic;
        if (!GetFileInformationByHandleEx(handle_, FileStandardInfo, &standard, sizeof standard) ||
            !GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic))
            return lastError();
        out.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
        // FILETIME counts 100 ns units.
        out.modifiedNs = static_cast<std::int64_t>(basic.LastWriteTime.QuadPart) * 100;
        out.device = device_;
        out.inode = inode_;
        out.links = standard.DeletePending ? 0 : standard.NumberOfLinks;
        return 0;
    }

    // Locks belong to the handle, so two opens of one table in the same process exclude each
    // other just as two processes do.
    int lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) override
    {
        OVERLAPPED o = at(offset);
        DWORD flags = kind == LockKind::Write ? LOCKFILE_EXCLUSIVE_LOCK : 0;
        if (!wait)
            flags |= LOCKFILE_FAIL_IMMEDIATELY;
        if (LockFileEx(handle_, flags, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                       static_cast<DWORD>(length >> 32), &o))
            return 0;
        const DWORD error = GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
            return EAGAIN;
        return win32::errorFromWindows(error);
    }

    int unlock(std::uint64_t offset, std::uint64_t length) override
    {
        OVERLAPPED o = at(offset);
        return UnlockFileEx(handle_, 0, static_cast<DWORD>(length & 0xFFFFFFFFu), static_cast<DWORD>(length >> 32),
                            &o)
                   ? 0
                   : lastError();
    }

    bool writable() const override { return writable_; }

    int truncate(std::uint64_t size) override
    {
        FILE_END_OF_FILE_INFO end;
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        return SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end) ? 0 : lastError();
    }

private:
    HANDLE handle_;
    bool writable_;
    bool identified_ = false;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

DWORD shareMode(Sharing sharing)
{
    switch (sharing) {
    // Never FILE_SHARE_DELETE: a file of ours cannot be deleted or renamed over while it is open,
    // so lines written to it cannot vanish with it.
    case Sharing::ReadWrite: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    case Sharing::DenyWrite: return FILE_SHARE_READ;
    case Sharing::None: break;
    }
    return 0;
}

class Win32FileSystem final : public FileSystem {
public:
    int open(const std::string& path, OpenMode mode, Sharing sharing, std::unique_ptr<File>& out) override
    {
        const std::wstring wide = widen(path);
        DWORD access = GENERIC_READ | GENERIC_WRITE;
        DWORD disposition = OPEN_EXISTING;
        // Reparse points are opened themselves, never followed: a link by a new file's name is
        // then seen and replaced.
        DWORD flags = FILE_ATTRIBUTE_NORMAL;
        switch (mode) {
        case OpenMode::ReadOnly: access = GENERIC_READ; break;
        case OpenMode::ReadWrite: break;
        case OpenMode::CreateTruncate:
        case OpenMode::OpenOrCreate: {
            const EntryKind kind = entryKind(path);
            if (kind == EntryKind::Link) {
                if (!DeleteFileW(wide.c_str()) && !RemoveDirectoryW(wide.c_str()) &&
                    GetLastError() != ERROR_FILE_NOT_FOUND)
                    return lastError();
            } else if (kind == EntryKind::Folder || kind == EntryKind::Other) {
                return EACCES;
            }
            disposition = mode == OpenMode::CreateTruncate ? CREATE_ALWAYS : OPEN_ALWAYS;
            flags |= FILE_FLAG_OPEN_REPARSE_POINT;
            break;
        }
        case OpenMode::CreateNew:
            disposition = CREATE_NEW;
            flags |= FILE_FLAG_OPEN_REPARSE_POINT;
            break;
        }
        bool writable = access != GENERIC_READ;
        HANDLE h = CreateFileW(wide.c_str(), access, shareMode(sharing), nullptr, disposition, flags, nullptr);
        if (h == INVALID_HANDLE_VALUE && mode == OpenMode::ReadWrite && GetLastError() == ERROR_ACCESS_DENIED) {
            h = CreateFileW(wide.c_str(), GENERIC_READ, shareMode(sharing), nullptr, OPEN_EXISTING, flags, nullptr);
            writable = false;
        }
        if (h == INVALID_HANDLE_VALUE) {
            // A folder opened as a file gives "access denied", as it does on POSIX.
            return lastError();
        }
        // A device or a pipe by that name is no table and no CSV file; reading one could wait.
        if (GetFileType(h) != FILE_TYPE_DISK) {
            CloseHandle(h);
            return EACCES;
        }
        out = std::make_unique<Win32File>(h, writable);
        return 0;
    }

    int remove(const std::string& path) override { return DeleteFileW(widen(path).c_str()) ? 0 : lastError(); }

    int rename(const std::string& from, const std::string& to) override
    {
        return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : lastError();
    }

    int makeFolder(const std::string& path) override
    {
        return CreateDirectoryW(widen(path).c_str(), nullptr) ? 0 : lastError();
    }

    int removeFolder(const std::string& path) override
    {
        return RemoveDirectoryW(widen(path).c_str()) ? 0 : lastError();
    }
};

}  // namespace

FileSystem& systemFileSystem()
{
    static Win32FileSystem fs;
    return fs;
}

bool overwritingPays()
{
    return false;
}

}  // namespace files
