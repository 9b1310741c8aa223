#include "store/table_lock.h"

#include <cerrno>

namespace store {

namespace {

// dBASE files stay below 2 GiB and other engines lock below 4 GiB; these bytes are ours alone.
constexpr std::uint64_t kOpenByte = 1ull << 40;
constexpr std::uint64_t kUpdateByte = kOpenByte + 1;

}  // namespace

LockResult lockForOpen(File& file, Access access)
{
    // A write lock needs a file open for writing; a read-only file can only be shared.
    const LockKind kind = access == Access::Exclusive && file.writable() ? LockKind::Write : LockKind::Read;
    const int rc = file.lock(kOpenByte, 1, kind, false);
    if (rc == 0)
        return LockResult::Held;
    if (rc == EAGAIN)
        return LockResult::InUse;
    return LockResult::NotSupported;
}

UpdateLock::UpdateLock(File* file, bool needed)
{
    if (needed && file && file->writable() && file->lock(kUpdateByte, 1, LockKind::Write, true) == 0)
        file_ = file;
}

UpdateLock::~UpdateLock()
{
    if (file_)
        file_->unlock(kUpdateByte, 1);
}

}  // namespace store
