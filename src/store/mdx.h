// The ".MDX" production index of a table: a file of tags, each a B-tree of keys and record
// numbers, in the layout that other dBASE engines read and search.
#pragma once

#include "files/file_io.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace store {

// One tag: its name, the field it is on, and its key.
//   keyType 'C': the key is the field's bytes as stored (blank-padded to keyLength).
//   keyType 'N': a numeric key (the field is 'N', 'F', 'I' or 'O'); `number` carries the value.
//   keyType 'D': a date key, carried as a number.
struct MdxTag {
    std::string name;
    std::string field;
    char keyType = 'C';
    int keyLength = 0;
    bool descending = false;
    bool unique = false;
    bool filtered = false;  // the tag has a condition: only the records that meet it have a key
};

// The keys a tag holds: how many, and the greatest record number among them (0 when none).
struct MdxKeyCount {
    std::uint32_t keys = 0;
    std::uint32_t greatestRecord = 0;
};

struct MdxKey {
    std::string text;  // keyType 'C'
    double number = 0; // keyType 'N' and 'D'
};

// dBASE language ids of the Windows ANSI language drivers.
constexpr int kMdxLanguageNone = 0;           // no driver: byte order
constexpr int kMdxLanguageAnsiBinary = 0x57;  // "DBWINUS0": byte order
constexpr int kMdxLanguageWestEurope = 0x58;  // "DBWINWE0"
constexpr int kMdxLanguageSpanish = 0x59;     // "DBWINES0"

// The language id of a dBASE 7 table's language driver name (header bytes 32-63, zero-padded):
// 0 for an empty name, -1 for a driver whose key order this engine does not know. Older tables
// carry the id itself in header byte 29.
int mdxLanguageId(const std::string& driverName);

class MdxIndex {
public:
    virtual ~MdxIndex() = default;

    // Creates a new index file (replacing any) with the given empty tags, laid out for a dBASE 7
    // table. `languageId` is the table's dBASE language (mdxLanguageId of its driver name); it
    // sets the order of character keys, which another engine expects to match the table's.
    static std::unique_ptr<MdxIndex> create(const std::string& path, const std::vector<MdxTag>& tags,
                                            int languageId = kMdxLanguageWestEurope);
    // Opens an existing index file. A damaged file is an EngineError naming `tableName`.
    // The index names the order of its character keys; one that does not (language 0) follows
    // the table's language, `tableLanguageId` (0: none, byte order).
    // `sharing` is what other opens may do meanwhile: the table's own open decides it.
    static std::unique_ptr<MdxIndex> open(const std::string& path, bool writable, const std::string& tableName,
                                          int tableLanguageId = 0,
                                          files::Sharing sharing = files::Sharing::ReadWrite);

    virtual const std::vector<MdxTag>& tags() const = 0;
    virtual int tagNumber(const std::string& tagName) const = 0;  // -1 when there is no such tag

    virtual void insert(int tag, const MdxKey& key, std::uint32_t recNo) = 0;
    virtual void erase(int tag, const MdxKey& key, std::uint32_t recNo) = 0;

    virtual MdxKeyCount keyCount(int tag) const = 0;

    // The record numbers of the tag in key order (equal keys in record number order).
    virtual std::vector<std::uint32_t> order(int tag) const = 0;
    // The first record number in key order whose key equals `key`; 0 when there is none.
    // A character key longer than the tag's key length is cut to it.
    virtual std::uint32_t find(int tag, const MdxKey& key) const = 0;

    // Writes every changed page and the headers, so the file on disk is complete. Until the
    // first insert or erase it writes nothing: an index that is only read is never written,
    // and what loading mended in memory reaches the file only with a change of the caller's.
    virtual void flush() = 0;
};

}  // namespace store
