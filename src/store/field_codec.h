// Field values as a record stores them, by type:
//   C text, blank-filled            N, F number as text, right-aligned, '.' for decimals
//   I, + 4 bytes big-endian, sign bit flipped (all zero: blank)
//   O 8-byte double, big-endian, ordered (positive: sign bit set; negative: every bit flipped)
//   L 'T', 'F' ('Y', 'N' read too; ' ' or '?': blank)     D "YYYYMMDD"
//   @ 8-byte big-endian double of milliseconds since year 1 (read only)
//   M, B, G memo block numbers (not read)
#pragma once

#include "store/dbf_format.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace store::codec {

// A value that a field cannot take or give; the text, in Spanish, says why (the caller adds the
// table and field).
class ValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Kind { Text, Number, Logical, Date, Timestamp, Memo };
inline Kind kindOf(char type)
{
    switch (type) {
    case 'N':
    case 'F':
    case 'I':
    case '+':
    case 'O': return Kind::Number;
    case 'L': return Kind::Logical;
    case 'D': return Kind::Date;
    case '@': return Kind::Timestamp;
    case 'M':
    case 'B':
    case 'G': return Kind::Memo;
    default: return Kind::Text;
    }
}

// A record of `length` bytes with every field blank and the flag of a live record.
std::string blankRecord(const dbf::Layout& layout);

bool isBlank(const dbf::Field& f, const unsigned char* record);

// Text as read: character fields without the trailing blanks (and anything after a NUL byte);
// numbers in decimal ("12", "-3.5"); logicals "T" or "F"; dates "YYYYMMDD"; timestamps
// "YYYYMMDDHHMMSS"; blank fields "".
std::string readText(const dbf::Field& f, const unsigned char* record);
// A number field's value (N, F, I, +, O); nullopt when blank. ValueError when an N or F field
// holds something that is not a number.
std::optional<double> readNumber(const dbf::Field& f, const unsigned char* record);
// A logical field's value; nullopt when blank.
std::optional<bool> readLogical(const dbf::Field& f, const unsigned char* record);
// Milliseconds since the start of year 1 in a timestamp field; nullopt when blank.
std::optional<double> readTimestamp(const dbf::Field& f, const unsigned char* record);

// Writes, each checking that the field can hold the value (ValueError otherwise). Texts are cut
// to the size of a character field.
void writeBlank(const dbf::Field& f, unsigned char* record);

// A character field's bytes: the text cut to the field's size, blank-filled. What writeText
// does for a 'C' field, inline for the loops that fill records by the hundred thousand.
inline void writeCharacters(const dbf::Field& f, unsigned char* record, std::string_view text)
{
    unsigned char* p = record + f.offset;
    const std::size_t size = static_cast<std::size_t>(f.def.size);
    const std::size_t n = text.size() < size ? text.size() : size;
    if (n > 0)  // an empty view may have no characters at all to point at
        std::memcpy(p, text.data(), n);
    std::memset(p + n, ' ', size - n);
}
void writeText(const dbf::Field& f, unsigned char* record, std::string_view value);
void writeNumber(const dbf::Field& f, unsigned char* record, double value);
void writeInteger(const dbf::Field& f, unsigned char* record, long value);
void writeLogical(const dbf::Field& f, unsigned char* record, bool value);

// Digits with at most one point, after an optional '-': the usual stored number, worked out
// directly. A whole number below 2^53 divided by an exact power of ten rounds as from_chars
// does. False for anything else, and for more than 15 digits.
inline bool plainDecimal(std::string_view text, double& value)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    if (text.empty())
        return false;
    std::size_t i = text.front() == '-' ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0, decimals = -1;
    for (; i < text.size() && count <= 15; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            ++count;
            if (decimals >= 0)
                ++decimals;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (i != text.size() || count == 0 || count > 15)
        return false;
    value = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
    if (text.front() == '-')
        value = -value;
    return true;
}

// The usual content of a number field (N or F), digits amid blanks, read in place as
// plainDecimal reads them: true and `value` set, as readNumber gives it. False for any other
// field and for anything else (a blank field, a NUL, an exponent), which readNumber reads the
// general way. Inline, for the reads of numbers by the hundred thousand.
inline bool readPlainNumber(const dbf::Field& f, const unsigned char* record, double& value)
{
    if (f.def.type != 'N' && f.def.type != 'F')
        return false;
    const char* s = reinterpret_cast<const char*>(record + f.offset);
    std::size_t begin = 0, end = static_cast<std::size_t>(f.def.size);
    while (begin < end && s[begin] == ' ')
        ++begin;
    while (end > begin && s[end - 1] == ' ')
        --end;
    return plainDecimal({s + begin, end - begin}, value);
}

// A number written as text: trimmed of blanks, an optional sign, digits, '.', exponent.
std::optional<double> parseNumber(std::string_view text);
// The shortest usual decimal form: "12", "-0.5", "3.25".
std::string formatNumber(double value);
// Rounds to the nearest integer, a half to the even neighbour; ValueError beyond 64 bits, so
// that the range checks after it are the same where `long` has 32 bits (Windows).
long long roundHalfEven(double value);
// The same, as a `long`; ValueError beyond it.
long roundToLong(double value);

// Characters of a stored text field up to the first NUL, without trailing blanks.
std::string_view storedText(const dbf::Field& f, const unsigned char* record);
// The same when only the field's first `written` bytes can be other than blanks (as after
// writeCharacters of a text that long): the blanks after them are not looked at. Inline, for
// the loops that read and write fields by the hundred thousand.
inline std::string_view storedTextWithin(const dbf::Field& f, const unsigned char* record, std::size_t written)
{
    const char* p = reinterpret_cast<const char*>(record + f.offset);
    const std::size_t size = static_cast<std::size_t>(f.def.size);
    std::size_t n = written < size ? written : size;
    // What follows a NUL never counts.
    if (const void* nul = n > 0 ? std::memchr(p, '\0', n) : nullptr)
        n = static_cast<std::size_t>(static_cast<const char*>(nul) - p);
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return {p, n};
}

}  // namespace store::codec
