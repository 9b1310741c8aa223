#include "store/field_codec.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace store::codec {

namespace {

std::uint32_t be32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

std::uint64_t be64(const unsigned char* p)
{
    return static_cast<std::uint64_t>(be32(p)) << 32 | be32(p + 4);
}

void putBe32(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

void putBe64(unsigned char* p, std::uint64_t v)
{
    putBe32(p, static_cast<std::uint32_t>(v >> 32));
    putBe32(p + 4, static_cast<std::uint32_t>(v));
}

constexpr std::uint64_t kSign = 0x8000000000000000ull;

bool allBytes(const unsigned char* p, int n, unsigned char b)
{
    for (int i = 0; i < n; ++i)
        if (p[i] != b)
            return false;
    return true;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

const char* typeName(char type)
{
    switch (kindOf(type)) {
    case Kind::Memo: return "memo";
    case Kind::Timestamp: return "fecha y hora";
    case Kind::Date: return "fecha";
    case Kind::Logical: return "l\xF3gico";
    case Kind::Number: return "num\xE9rico";
    default: return "de texto";
    }
}

// Days from 0001-01-01 (day 0) to a civil date, and back (proleptic Gregorian).
void civilFromDays(long long days, int& y, int& m, int& d)
{
    long long z = days + 306;  // from 0000-03-01
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

void writeNumberText(const dbf::Field& f, unsigned char* record, double value)
{
    if (!std::isfinite(value))
        throw ValueError("un n\xFAmero no finito no se puede guardar");
    // to_chars, not printf: the same digits in every locale (a desktop toolkit may set one
    // whose decimal point is a comma), and no locale lookups per value.
    char buffer[512];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::fixed, f.def.decimals);
    int n = written.ec == std::errc() ? static_cast<int>(written.ptr - buffer) : -1;
    buffer[n < 0 ? 0 : n] = '\0';  // to_chars does not end the text; the checks below read up to an end
    // A value that is or rounds to zero is stored "0" ("0.00"), never "-0": other engines
    // read the sign.
    if (n > 1 && buffer[0] == '-' && std::strspn(buffer + 1, "0.") == static_cast<std::size_t>(n - 1)) {
        std::memmove(buffer, buffer + 1, static_cast<std::size_t>(n));
        --n;
    }
    if (n < 0 || n >= static_cast<int>(sizeof buffer) || n > f.def.size)
        throw ValueError("el valor " + formatNumber(value) + " no cabe en " + std::to_string(f.def.size) +
                         " posiciones");
    unsigned char* p = record + f.offset;
    const int pad = f.def.size - n;
    std::memset(p, ' ', static_cast<std::size_t>(pad));
    std::memcpy(p + pad, buffer, static_cast<std::size_t>(n));
}

void writeInt32(const dbf::Field& f, unsigned char* record, long long value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw ValueError("el valor " + std::to_string(value) + " no cabe en un campo entero");
    putBe32(record + f.offset, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ 0x80000000u);
}

void writeDouble(const dbf::Field& f, unsigned char* record, double value)
{
    if (std::isnan(value))
        throw ValueError("un valor no num\xE9rico no se puede guardar");
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits = std::signbit(value) ? ~bits : bits | kSign;
    putBe64(record + f.offset, bits);
}

[[noreturn]] void notWritable(const dbf::Field& f)
{
    throw ValueError(std::string("un campo ") + typeName(f.def.type) + " no se puede escribir");
}

}  // namespace

std::string blankRecord(const dbf::Layout& layout)
{
    std::string record(layout.recordLength, ' ');
    for (const dbf::Field& f : layout.fields)
        writeBlank(f, reinterpret_cast<unsigned char*>(record.data()));
    return record;
}

bool isBlank(const dbf::Field& f, const unsigned char* record)
{
    const unsigned char* p = record + f.offset;
    switch (f.def.type) {
    case 'I':
    case '+':
    case 'O':
    case '@':
        return allBytes(p, f.def.size, 0);
    case 'L':
        return *p == ' ' || *p == '?' || *p == 0;
    default:
        return allBytes(p, f.def.size, ' ') || allBytes(p, f.def.size, 0);
    }
}

namespace {

// The text's length in a field of 8 to 16 bytes (codes, mostly, with blanks after them), from
// two words of eight that overlap, without a loop or a call; -1 when it holds a NUL, which the
// general way cuts at.
long shortTextLength(const char* p, std::size_t n)
{
    if constexpr (std::endian::native != std::endian::little)
        return -1;
    std::uint64_t first, last;
    std::memcpy(&first, p, 8);
    std::memcpy(&last, p + n - 8, 8);
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    if (((first - kOnes) & ~first & kHigh) | ((last - kOnes) & ~last & kHigh))
        return -1;
    // Each byte other than a blank flagged (exactly: no carry crosses a byte); the last ends the text.
    const auto notBlank = [](std::uint64_t w) {
        const std::uint64_t x = w ^ 0x2020202020202020ull;
        return (((x & ~kHigh) + ~kHigh) | x) & kHigh;
    };
    if (const std::uint64_t inLast = notBlank(last))
        return static_cast<long>(n - 8) + (63 - std::countl_zero(inLast)) / 8 + 1;
    if (const std::uint64_t inFirst = notBlank(first))
        return (63 - std::countl_zero(inFirst)) / 8 + 1;
    return 0;
}

}  // namespace

std::string_view storedText(const dbf::Field& f, const unsigned char* record)
{
    const char* p = reinterpret_cast<const char*>(record + f.offset);
    std::size_t n = static_cast<std::size_t>(f.def.size);
    if (n >= 8 && n <= 16)
        if (const long length = shortTextLength(p, n); length >= 0)
            return {p, static_cast<std::size_t>(length)};
    // Wide fields are mostly blanks: drop the trailing ones first, eight at a time.
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    for (std::uint64_t eight; n >= 8; n -= 8) {
        std::memcpy(&eight, p + n - 8, 8);
        if (eight != kBlanks)
            break;
    }
    return storedTextWithin(f, record, n);
}

std::optional<double> readNumber(const dbf::Field& f, const unsigned char* record)
{
    const unsigned char* p = record + f.offset;
    switch (f.def.type) {
    case 'I':
    case '+': {
        const std::uint32_t raw = be32(p);
        if (raw == 0)
            return std::nullopt;
        return static_cast<double>(static_cast<std::int32_t>(raw ^ 0x80000000u));
    }
    case 'O': {
        std::uint64_t bits = be64(p);
        if (bits == 0)
            return std::nullopt;
        bits = (bits & kSign) ? bits & ~kSign : ~bits;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case 'N':
    case 'F': {
        // The usual content, digits amid blanks, is read in place; anything else (a NUL, a tab,
        // an exponent, a stray character) goes the general way below.
        double plain;
        if (readPlainNumber(f, record, plain))
            return plain;
        if (allBytes(p, f.def.size, ' '))
            return std::nullopt;
        const std::string_view text = trimmed(storedText(f, record));
        if (text.empty())
            return std::nullopt;
        if (auto v = parseNumber(text))
            return v;
        throw ValueError("contiene '" + std::string(text) + "', que no es un n\xFAmero");
    }
    default:
        throw ValueError(std::string("el campo es ") + typeName(f.def.type) + ", no num\xE9rico");
    }
}

std::optional<bool> readLogical(const dbf::Field& f, const unsigned char* record)
{
    switch (record[f.offset]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y': return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n': return false;
    default: return std::nullopt;
    }
}

std::optional<double> readTimestamp(const dbf::Field& f, const unsigned char* record)
{
    const std::uint64_t bits = be64(record + f.offset);
    if (bits == 0)
        return std::nullopt;
    double ms;
    std::memcpy(&ms, &bits, sizeof ms);
    return ms;
}

std::string readText(const dbf::Field& f, const unsigned char* record)
{
    switch (kindOf(f.def.type)) {
    case Kind::Text:
    case Kind::Date:
        return std::string(storedText(f, record));
    case Kind::Number: {
        const auto v = readNumber(f, record);
        return v ? formatNumber(*v) : std::string();
    }
    case Kind::Logical: {
        const auto v = readLogical(f, record);
        return v ? (*v ? "T" : "F") : "";
    }
    case Kind::Timestamp: {
        const auto ms = readTimestamp(f, record);
        if (!ms)
            return {};
        if (!std::isfinite(*ms) || *ms < 86400000.0 || *ms > 3.2e17)
            throw ValueError("contiene una fecha y hora no v\xE1lida");
        const long long total = std::llround(*ms) / 1000;  // seconds since 0000-12-31
        const long long days = total / 86400 - 1;          // day 1 of the stamp is 0001-01-01
        const long long secs = total % 86400;
        int y, m, d;
        civilFromDays(days, y, m, d);
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02lld%02lld%02lld", y, m, d, secs / 3600,
                      secs / 60 % 60, secs % 60);
        return buffer;
    }
    case Kind::Memo:
        break;
    }
    throw ValueError("es un campo memo, que este programa no lee");
}

void writeBlank(const dbf::Field& f, unsigned char* record)
{
    unsigned char* p = record + f.offset;
    switch (f.def.type) {
    case 'I':
    case '+':
    case 'O':
    case '@':
        std::memset(p, 0, static_cast<std::size_t>(f.def.size));
        break;
    default:
        std::memset(p, ' ', static_cast<std::size_t>(f.def.size));
    }
}

void writeText(const dbf::Field& f, unsigned char* record, std::string_view value)
{
    switch (kindOf(f.def.type)) {
    case Kind::Text:
        writeCharacters(f, record, value);
        return;
    case Kind::Number: {
        if (trimmed(value).empty()) {
            writeBlank(f, record);
            return;
        }
        const auto v = parseNumber(value);
        if (!v)
            throw ValueError("'" + std::string(value) + "' no es un n\xFAmero");
        writeNumber(f, record, *v);
        return;
    }
    case Kind::Logical: {
        const std::string_view t = trimmed(value);
        if (t.empty()) {
            writeBlank(f, record);
            return;
        }
        const char c = t.front();
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'S' || c == 's')
            writeLogical(f, record, true);
        else if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            writeLogical(f, record, false);
        else
            throw ValueError("'" + std::string(value) + "' no es un valor l\xF3gico");
        return;
    }
    case Kind::Date: {
        const std::string_view t = trimmed(value);
        bool digits = t.size() == 8;
        for (char c : t)
            digits = digits && c >= '0' && c <= '9';
        if (!t.empty() && !digits)
            throw ValueError("'" + std::string(value) + "' no es una fecha AAAAMMDD");
        writeCharacters(f, record, t);
        return;
    }
    default:
        notWritable(f);
    }
}

void writeNumber(const dbf::Field& f, unsigned char* record, double value)
{
    switch (f.def.type) {
    case 'N':
    case 'F':
        writeNumberText(f, record, value);
        return;
    case 'I':
    case '+':
        if (!std::isfinite(value))
            throw ValueError("un n\xFAmero no finito no se puede guardar");
        if (std::fabs(value) > 4e9)
            throw ValueError("el valor " + formatNumber(value) + " no cabe en un campo entero");
        writeInt32(f, record, roundHalfEven(value));
        return;
    case 'O':
        writeDouble(f, record, value);
        return;
    case 'L':
        writeLogical(f, record, value != 0);
        return;
    default:
        if (kindOf(f.def.type) == Kind::Text) {
            writeCharacters(f, record, formatNumber(value));
            return;
        }
        notWritable(f);
    }
}

void writeInteger(const dbf::Field& f, unsigned char* record, long value)
{
    switch (f.def.type) {
    case 'I':
    case '+':
        writeInt32(f, record, value);
        return;
    case 'N':
    case 'F': {
        char buffer[300];  // a sign, 19 digits, the point and up to 255 decimals
        char* end = std::to_chars(buffer, buffer + 24, value).ptr;
        if (f.def.decimals > 0) {
            *end++ = '.';
            end = std::fill_n(end, std::min(f.def.decimals, 255), '0');
        }
        const int n = static_cast<int>(end - buffer);
        if (n > f.def.size)
            throw ValueError("el valor " + std::to_string(value) + " no cabe en " + std::to_string(f.def.size) +
                             " posiciones");
        unsigned char* p = record + f.offset;
        std::memset(p, ' ', static_cast<std::size_t>(f.def.size - n));
        std::memcpy(p + (f.def.size - n), buffer, static_cast<std::size_t>(n));
        return;
    }
    case 'O':
        writeDouble(f, record, static_cast<double>(value));
        return;
    case 'L':
        writeLogical(f, record, value != 0);
        return;
    default:
        if (kindOf(f.def.type) == Kind::Text) {
            writeCharacters(f, record, std::to_string(value));
            return;
        }
        notWritable(f);
    }
}

void writeLogical(const dbf::Field& f, unsigned char* record, bool value)
{
    switch (kindOf(f.def.type)) {
    case Kind::Logical:
        record[f.offset] = value ? 'T' : 'F';
        return;
    case Kind::Number:
        writeInteger(f, record, value ? 1 : 0);
        return;
    case Kind::Text:
        writeCharacters(f, record, value ? "T" : "F");
        return;
    default:
        notWritable(f);
    }
}

std::optional<double> parseNumber(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    if (double v; plainDecimal(text, v))
        return v;
    // Only digits, one sign, '.', and an exponent: from_chars alone would also take "inf", "nan"
    // and hexadecimal forms.
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

std::string formatNumber(double value)
{
    char buffer[64];
    if (value == 0)
        return "0";
    const auto written = std::trunc(value) == value && std::fabs(value) < 1e15
                             ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0)
                             : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, written.ptr);
}

long long roundHalfEven(double value)
{
    if (!std::isfinite(value))
        throw ValueError("el valor no es un n\xFAmero finito");
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    if (whole < static_cast<double>(std::numeric_limits<long long>::min()) ||
        whole >= static_cast<double>(std::numeric_limits<long long>::max()))
        throw ValueError("el valor " + formatNumber(value) + " es demasiado grande para un entero");
    return static_cast<long long>(whole);
}

long roundToLong(double value)
{
    // A whole number within range, as most are, needs no rounding.
    constexpr double kBelow = static_cast<double>(std::numeric_limits<long>::min()) - 1;
    constexpr double kAbove = static_cast<double>(std::numeric_limits<long>::max()) + 1;
    if (value > kBelow && value < kAbove) {
        const long whole = static_cast<long>(value);
        if (static_cast<double>(whole) == value)
            return whole;
    }
    const long long whole = roundHalfEven(value);
    if (whole < std::numeric_limits<long>::min() || whole > std::numeric_limits<long>::max())
        throw ValueError("el valor " + formatNumber(value) + " es demasiado grande para un entero");
    return static_cast<long>(whole);
}

}  // namespace store::codec
