// The text of a stored character field, as every reading of one answers it: up to the first
// NUL, without trailing blanks, whatever the field's size and bytes.
#include "store/field_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace store;

namespace {

// The plain way: a byte at a time.
std::string_view plainText(const char* p, std::size_t n)
{
    std::size_t end = 0;
    while (end < n && p[end] != '\0')
        ++end;
    while (end > 0 && p[end - 1] == ' ')
        --end;
    return {p, end};
}

}  // namespace

// Random fields of every size from 1 to 40 bytes (the short ones are read a word at a time),
// made of bytes that a word-at-a-time reading could mistake for one another: blanks, NULs, bytes
// next to them in value, bytes with the high bit set.
TEST(StoredText, AnswersAsAPlainByteByByteReading)
{
    const char alphabet[] = {' ', ' ', ' ', '\0', 'a', '!', '\x01', '\x1F', '\x21', '\x7F', '\x80', '\xA0', '\xFF'};
    std::mt19937 random(2026);
    std::size_t compared = 0, cut = 0;
    for (int size = 1; size <= 40; ++size) {
        dbf::Field f;
        f.def = {"CAMPO", 'C', size, 0};
        f.offset = 3;
        for (int round = 0; round < 400; ++round) {
            std::string record(3 + static_cast<std::size_t>(size) + 3, 'x');
            for (int i = 0; i < size; ++i)
                record[3 + static_cast<std::size_t>(i)] = alphabet[random() % sizeof alphabet];
            if (round % 3 == 0)  // mostly blanks at the end, as stored texts are
                for (int i = size / 2; i < size; ++i)
                    record[3 + static_cast<std::size_t>(i)] = ' ';
            const auto* bytes = reinterpret_cast<const unsigned char*>(record.data());
            const std::string_view expected = plainText(record.data() + 3, static_cast<std::size_t>(size));
            ASSERT_EQ(codec::storedText(f, bytes), expected) << "size " << size << ", round " << round;
            const std::size_t written = random() % (static_cast<std::size_t>(size) + 3);
            ASSERT_EQ(codec::storedTextWithin(f, bytes, written),
                      plainText(record.data() + 3, std::min<std::size_t>(written, static_cast<std::size_t>(size))))
                << "size " << size << ", round " << round << ", written " << written;
            ++compared;
            cut += expected.size() < static_cast<std::size_t>(size);
        }
    }
    EXPECT_EQ(compared, 16000u);
    EXPECT_GT(cut, 8000u);  // most cut by a NUL or blanks, the rest whole
}
