#include "store/table_lock.h"

#include <cerrno>

namespace store {

namespace {

// dBASE files stay below 2 GiB and other engines lock below 4 GiB; these bytes are ours alone.
constexpr std::uint64_t kOpenByte = 1ull << 40;
constexpr std::uint64_t kUpdateByte = kOpenByte + 1;

LockResult result(int rc)
{
    if (rc == 0)
        return LockResult::Held;
    if (rc == EAGAIN)
        return LockResult::InUse;
    return LockResult::NotSupported;
}

}  // namespace

LockResult lockForOpen(files::File& file, Access access)
{
    // A write lock needs a file open for writing; a read-only file can only be shared.
    const files::LockKind kind = access == Access::Exclusive && file.writable() ? files::LockKind::Write : files::LockKind::Read;
    return result(file.lock(kOpenByte, 1, kind, false));
}

LockResult tryLockForUpdate(files::File& file)
{
    if (!file.writable())
        return LockResult::NotSupported;
    return result(file.lock(kUpdateByte, 1, files::LockKind::Write, false));
}

void unlockForUpdate(files::File& file)
{
    file.unlock(kUpdateByte, 1);
}

}  // namespace store
