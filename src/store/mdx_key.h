// Index keys as dBASE stores them: character keys as the field's bytes, numeric keys in a
// 12-byte decimal form, date keys as a day number; and the order they sort in.
#pragma once

#include <cstdint>
#include <string>

#include "store/mdx_collation.h"

namespace store::mdx {

// A numeric key: byte 0 is 0x34 plus the decimal exponent (the value is 0.d1d2d3... times ten
// to that power), byte 1 holds the sign (0x80) and the bytes of digits used (as 8 * bytes + 1),
// then up to 16 digits, two to a byte, without trailing zeros. Zero is 0x34 0x01. The digits are
// those of the double as dBASE engines on binary numbers take them: 17 significant digits,
// rounded to 15 places after the point, cut to 16 digits (567.8 gives 5677999999999999).
void encodeNumericKey(double value, std::uint8_t out[12]);
double decodeNumericKey(const std::uint8_t key[12]);

// A date key: the day number as an 8-byte little-endian double.
void encodeDateKey(double value, std::uint8_t out[8]);
double decodeDateKey(const std::uint8_t key[8]);

// A character key: the text cut or blank-padded to `length` bytes.
void encodeCharacterKey(const std::string& text, int length, std::uint8_t* out);

// How the keys of one tag compare.
struct KeyOrder {
    char type = 'C';  // 'C', 'N' or 'D'
    int length = 0;
    bool descending = false;
    const Collation* collation = nullptr;  // for 'C'

    int compare(const std::uint8_t* a, const std::uint8_t* b) const;
};

// Numeric keys in the order other dBASE engines search them: by sign, then by exponent byte,
// then by digits. Zero has exponent 0, so it sorts after positive values below 0.1; an index
// must keep that order for those engines to find its keys.
int compareNumericKeys(const std::uint8_t* a, const std::uint8_t* b);

}  // namespace store::mdx
