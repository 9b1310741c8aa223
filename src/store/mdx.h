// The ".MDX" production index of a table: a file of tags, each a B-tree of keys and record
// numbers, in the layout that other dBASE engines read and search.
#pragma once

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
};

struct MdxKey {
    std::string text;  // keyType 'C'
    double number = 0; // keyType 'N' and 'D'
};

class MdxIndex {
public:
    virtual ~MdxIndex() = default;

    // Creates a new index file (replacing any) with the given empty tags.
    static std::unique_ptr<MdxIndex> create(const std::string& path, const std::vector<MdxTag>& tags);
    // Opens an existing index file. A damaged file is an EngineError naming `tableName`.
    static std::unique_ptr<MdxIndex> open(const std::string& path, bool writable,
                                          const std::string& tableName);

    virtual const std::vector<MdxTag>& tags() const = 0;
    virtual int tagNumber(const std::string& tagName) const = 0;  // -1 when there is no such tag

    virtual void insert(int tag, const MdxKey& key, std::uint32_t recNo) = 0;
    virtual void erase(int tag, const MdxKey& key, std::uint32_t recNo) = 0;

    // The record numbers of the tag in key order (equal keys in record number order).
    virtual std::vector<std::uint32_t> order(int tag) const = 0;
    // The first record number in key order whose key equals `key`; 0 when there is none.
    virtual std::uint32_t find(int tag, const MdxKey& key) const = 0;

    // Writes every changed page and the headers, so the file on disk is complete.
    virtual void flush() = 0;
};

}  // namespace store
