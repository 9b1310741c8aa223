// What the POSIX half of the file layer shares.
#pragma once

#include <cstddef>

namespace files::posix {

// Writes all of `data` to `fd`, going on after a short write or an interrupted call: 0, or the
// errno value of the failure (ENOSPC when the system took nothing).
int writeFully(int fd, const char* data, std::size_t size);

}  // namespace files::posix
