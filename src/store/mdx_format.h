// The on-disk layout of a dBASE ".MDX" production index, as dBASE IV and 7 and the engines
// that read them lay it out. All numbers are little-endian.
//
//   file header      pages 0-3 (2048 bytes): file facts, then the tag table
//   blocks           1024 bytes (two 512-byte pages) each, addressed by their first page:
//                    one header block per tag, then the B-tree nodes of every tag
//
// A node holds a count, a link word and `count` entries of (4-byte number, key). In a leaf
// the number is a record number. An inner node has `count` keys and count + 1 child block
// numbers; entry i's key is the greatest key under child i, and the extra last entry points
// at the rightmost child (its key is not searched). A node is an inner node when the number
// after its last entry is not zero (a leaf leaves it zero).
#pragma once

#include <cstdint>
#include <cstring>

namespace store::mdx {

constexpr int kPageBytes = 512;
constexpr int kHeaderBytes = 2048;
constexpr std::uint32_t kHeaderPages = kHeaderBytes / kPageBytes;
constexpr int kBlockBytes = 1024;  // the block size we write
constexpr int kMaxBlockBytes = 32 * kPageBytes;

// File header.
constexpr int kFileVersion = 0;      // 2 beside dBASE IV tables, 3 beside dBASE 7 tables
constexpr int kFileCreated = 1;      // year - 1900, month, day
constexpr int kFileDataName = 4;     // the table's name without extension, 16 bytes
constexpr int kFileBlockPages = 20;  // 16-bit: pages per block
constexpr int kFileBlockBytes = 22;  // 16-bit: bytes per block
constexpr int kFileProduction = 24;  // 1: production index, opened with its table
constexpr int kFileMaxTags = 25;
constexpr int kFileTagSize = 26;     // bytes per tag table entry
constexpr int kFileTagsUsed = 28;    // 16-bit
constexpr int kFileLanguage = 31;    // dBASE language id of the key order
constexpr int kFilePages = 32;       // 32-bit: pages in the file, the next free page
constexpr int kFileFreeList = 36;    // 32-bit: first block of dBASE's free list (we keep none)
constexpr int kFileFreeBlocks = 40;  // 32-bit
constexpr int kFileUpdated = 44;     // year - 1900, month, day
constexpr int kFileTagFlag = 529;    // 1

constexpr int kVersionLevel4 = 2;
constexpr int kVersionLevel7 = 3;
constexpr int kMaxTagsWord = 0x30;

// The tag table starts one entry after page 1 (byte 512): at 544 with dBASE IV's 32-byte
// entries, at 560 with the 48-byte entries we write beside dBASE 7 tables.
constexpr int kTagTableBase = 512;
constexpr int kTagSize4 = 32;
constexpr int kTagSize7 = 48;

// Tag table entry. dBASE 7 entries hold names of up to 32 characters.
constexpr int kTagHeaderBlock = 0;  // 32-bit page of the tag's header block
constexpr int kTagName = 4;         // 11 bytes (dBASE IV) or 33 bytes (dBASE 7), zero-ended
constexpr int kTagNameBytes4 = 11;
constexpr int kTagNameBytes7 = 33;
// After the name: key format, the three tag-tree threads (left, right, parent), a reserved
// byte that holds 2, and the key type.
constexpr int kTagAfterName4 = 15;
constexpr int kTagAfterName7 = 37;
constexpr int kTagEntryBytes4 = kTagAfterName4 + 6;
constexpr int kTagEntryBytes7 = kTagAfterName7 + 6;
constexpr int kMaxNameLength7 = 32;

// Tag header block.
constexpr int kTagRoot = 0;         // 32-bit page of the root node
constexpr int kTagPages = 4;        // 32-bit: pages the tag has taken
constexpr int kTagKeyFormat = 8;    // flags below
constexpr int kTagKeyType = 9;      // 'C', 'N' or 'D'
constexpr int kTagKeyLength = 12;   // 16-bit
constexpr int kTagMaxKeys = 14;     // 16-bit: entries that fit in a node
constexpr int kTagDateFlag = 16;    // 16-bit: 1 for date keys
constexpr int kTagEntryLength = 18; // 16-bit: 4 + key length, rounded up to 4
constexpr int kTagVersion = 20;     // 16-bit: 2
constexpr int kTagUnique = 23;      // 0x01 unique, 0x21 distinct
constexpr int kTagExpression = 24;  // key expression, zero-ended, 220 bytes
constexpr int kTagExpressionBytes = 220;
constexpr int kTagForExists = 245;  // 1: the tag has a FOR condition
constexpr int kTagKeyExists = 246;  // 1

constexpr std::uint8_t kFormatDescending = 0x08;
constexpr std::uint8_t kFormatString = 0x10;
constexpr std::uint8_t kFormatDistinct = 0x20;
constexpr std::uint8_t kFormatUnique = 0x40;
constexpr std::uint8_t kTagTableDataField = 0x10;  // key format in the tag table: a plain field
constexpr std::uint8_t kTagTableReserved = 0x02;

// Node.
constexpr int kNodeCount = 0;    // 32-bit
constexpr int kNodeLink = 4;     // 32-bit, written 0
constexpr int kNodeEntries = 8;
constexpr int kEntryNumberBytes = 4;

constexpr int kMaxKeyLength = 100;
constexpr int kNumericKeyLength = 12;
constexpr int kDateKeyLength = 8;

inline std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// Bytes of one node entry for a key length: the record or block number and the key, rounded
// up to a multiple of four.
constexpr int entryLength(int keyLength) { return (keyLength + kEntryNumberBytes + 3) & ~3; }

}  // namespace store::mdx
