#include "store/mdx_key.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace store::mdx {

namespace {

constexpr int kExponentBias = 0x34;
constexpr int kMaxDigits = 16;
constexpr int kPrintedDigits = 17;  // the digits of a double that the key starts from
constexpr int kDecimalPlaces = 15;  // the key keeps at most this many places after the point

}  // namespace

void encodeNumericKey(double value, std::uint8_t out[12])
{
    std::memset(out, 0, 12);
    out[0] = kExponentBias;
    out[1] = 1;
    if (value == 0 || !std::isfinite(value))
        return;
    // The value's 17 significant digits ("d.dddddddddddddddde+XX", rounded to nearest), as the
    // number 0.d1d2d3... times ten to `exponent`.
    char text[48];
    std::snprintf(text, sizeof text, "%.*e", kPrintedDigits - 1, std::fabs(value));
    char digits[kPrintedDigits + 1] = {};
    int count = 0;
    const char* p = text;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && count < kPrintedDigits)
            digits[count++] = *p;
    int exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;

    // Round half up to 15 places after the point; a carry through nines adds a digit in front.
    const int keep = kDecimalPlaces + exponent;
    if (keep < 0)
        return;  // too small for the key: zero
    if (keep < count) {
        const bool up = digits[keep] >= '5';
        count = keep;
        int i = count - 1;
        if (up) {
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                std::memmove(digits + 1, digits, static_cast<std::size_t>(count));
                digits[0] = '1';
                ++count;
                ++exponent;
            }
        }
    }
    while (count > 0 && digits[count - 1] == '0')
        --count;
    if (count == 0)
        return;
    count = std::min(count, kMaxDigits);  // the key has room for 16 digits; the rest is cut

    out[0] = static_cast<std::uint8_t>(kExponentBias + exponent);
    out[1] = static_cast<std::uint8_t>(((count + 1) / 2) * 8 + 1);
    if (value < 0)
        out[1] |= 0x80;
    for (int i = 0; i < count; ++i) {
        const int digit = digits[i] - '0';
        out[2 + i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? digit << 4 : digit);
    }
}

double decodeNumericKey(const std::uint8_t key[12])
{
    const int exponent = static_cast<int>(key[0]) - kExponentBias;
    double mantissa = 0;  // 0.d1d2d3...
    double scale = 0.1;
    for (int i = 0; i < kMaxDigits; ++i) {
        const int digit = i % 2 == 0 ? key[2 + i / 2] >> 4 : key[2 + i / 2] & 0x0F;
        mantissa += digit * scale;
        scale /= 10;
    }
    const double magnitude = mantissa * std::pow(10.0, exponent);
    return (key[1] & 0x80) ? -magnitude : magnitude;
}

void encodeDateKey(double value, std::uint8_t out[8])
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double decodeDateKey(const std::uint8_t key[8])
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(key[i]) << (8 * i);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void encodeCharacterKey(const std::string& text, int length, std::uint8_t* out)
{
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(length));
    std::memcpy(out, text.data(), n);
    std::memset(out + n, ' ', static_cast<std::size_t>(length) - n);
}

int compareNumericKeys(const std::uint8_t* a, const std::uint8_t* b)
{
    const bool negativeA = (a[1] & 0x80) != 0;
    const bool negativeB = (b[1] & 0x80) != 0;
    if (negativeA != negativeB)
        return negativeA ? -1 : 1;
    // Same sign: a greater exponent byte is a greater magnitude, then the digits decide.
    int result = static_cast<int>(a[0]) - static_cast<int>(b[0]);
    if (result == 0)
        result = std::memcmp(a + 2, b + 2, kMaxDigits / 2);
    return negativeA ? -result : result;
}

int KeyOrder::compare(const std::uint8_t* a, const std::uint8_t* b) const
{
    int result = 0;
    switch (type) {
    case 'N':
        result = compareNumericKeys(a, b);
        break;
    case 'D': {
        const double x = decodeDateKey(a);
        const double y = decodeDateKey(b);
        result = x < y ? -1 : (y < x ? 1 : 0);
        break;
    }
    default:
        result = collation->compare(a, b, length);
        break;
    }
    return descending ? -result : result;
}

}  // namespace store::mdx
