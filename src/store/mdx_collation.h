// The order of character keys in an index, which the table's dBASE language driver sets.
// Another engine searches our index in its own order, so ours must be the same.
#pragma once

#include <array>
#include <cstdint>

#include "store/mdx.h"

namespace store::mdx {

struct Collation {
    bool known = false;   // false: a driver whose order we do not have
    bool binary = true;   // byte order
    std::array<std::uint8_t, 256> rank{};  // position of each byte value when not binary

    // Negative, zero or positive as a sorts before, with or after b (both `length` bytes).
    int compare(const std::uint8_t* a, const std::uint8_t* b, int length) const;
};

// The order for a dBASE language id (DBWINES0 sorts as DBWINWE0). Ids of other drivers give an
// unknown collation, compared byte by byte.
const Collation& collationForLanguage(int languageId);

}  // namespace store::mdx
