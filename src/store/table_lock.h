// How tables are locked between opens, in this process and in others. Each open holds a lock
// on one byte far beyond any table's data: a read lock when shared, a write lock when
// exclusive, so an exclusive open excludes every other open and shared opens coexist. A second
// byte serialises the writes of shared opens (appends must not meet).
#pragma once

#include "files/file_io.h"
#include "store/table.h"

namespace store {

enum class LockResult { Held, InUse, NotSupported };

// Takes the open lock of `access` on the table file. NotSupported when the file system has no
// byte-range locks; the table is then used without them.
LockResult lockForOpen(files::File& file, Access access);

// The update lock of a shared table, without waiting: InUse while another open holds it.
LockResult tryLockForUpdate(files::File& file);
void unlockForUpdate(files::File& file);

}  // namespace store
