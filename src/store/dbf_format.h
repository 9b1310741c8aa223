// The layout of a ".DBF" file: the header with its field descriptors (32 bytes each at dBASE
// III, IV and 5; 48 bytes at level 7), then the records, each a deletion flag and the fields'
// bytes, then the end-of-file byte 0x1A.
#pragma once

#include "store/table.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace store::dbf {

constexpr unsigned char kHeaderEnd = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;
constexpr unsigned char kLive = ' ';
constexpr unsigned char kDeleted = '*';

constexpr std::size_t kBaseHeaderSize = 32;  // version, date, counts and lengths: every level
constexpr std::size_t kLevel7HeaderSize = 68;
constexpr std::size_t kLevel7DescriptorSize = 48;
constexpr std::size_t kOldDescriptorSize = 32;
constexpr int kMaxNameLength7 = 31;
constexpr int kMaxFields = 1024;

// A field as laid out in the record.
struct Field {
    FieldDef def;
    int offset = 0;                       // from the start of the record (byte 0 is the flag)
    std::uint64_t descriptorOffset = 0;   // of its descriptor in the file
    std::uint32_t nextAutoIncrement = 0;  // level 7 '+' fields: the value the next record gets
};

// Where a level 7 descriptor keeps the next autoincrement value (4 bytes, little-endian).
constexpr std::size_t kAutoIncrementInDescriptor = 42;

struct Layout {
    int level = 7;                 // 3 (dBASE III), 4 (dBASE IV, 5, FoxPro 2) or 7
    std::uint32_t headerLength = 0;
    std::uint32_t recordLength = 0;
    std::uint32_t recordCount = 0;
    bool productionIndex = false;  // header byte 28: the table has a ".MDX"
    int languageId = 0;            // header byte 29 (levels III to 5)
    std::string languageDriver;    // level 7: the language driver's name (bytes 32 to 63)
    std::vector<Field> fields;
};

struct Date {
    int year = 1900;
    int month = 1;
    int day = 1;
};
Date today();

// A header this engine cannot use. `unsupported` tells a format it does not read from a file
// that is damaged; the text says why, in Spanish.
class BadHeader : public std::runtime_error {
public:
    BadHeader(const std::string& why, bool unsupported = false)
        : std::runtime_error(why), unsupported_(unsupported) {}
    bool unsupported() const { return unsupported_; }

private:
    bool unsupported_;
};

// The header length that the first 32 bytes announce, checked against the file size.
std::uint32_t headerLength(const unsigned char* base, std::size_t size, std::uint64_t fileSize);

// Where the end-of-file byte after the records stands, as the first 32 bytes of the header
// (its length, record count and record length) place it; nothing is checked.
std::uint64_t endMarkOffset(const unsigned char* base);

// Reads a whole header (`size` bytes, as headerLength gave) of a file of `fileSize` bytes.
// Every length and count is checked against the file, so the records it describes are there.
Layout parseHeader(const unsigned char* header, std::size_t size, std::uint64_t fileSize);

// Checks fields for a new level 7 table and gives them their stored form (names in capitals,
// fixed sizes filled in). Throws std::invalid_argument with a Spanish reason.
std::vector<FieldDef> fieldsForCreate(const std::vector<FieldDef>& fields);

// A new, empty level 7 table: header, field descriptors, terminator and end-of-file byte.
// `indexed` marks the fields that a tag of the production index is on.
std::vector<unsigned char> newTable(const std::vector<FieldDef>& fields, const std::vector<bool>& indexed,
                                    bool productionIndex, Date date);

// Bytes 1 to 7 of the header: the date of the last update and the record count.
void encodeDateAndCount(unsigned char out[7], Date date, std::uint32_t count);

}  // namespace store::dbf
