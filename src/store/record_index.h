// An in-memory index from the values of some fields to the records that hold them, so that a
// locate or a key search is one hash look-up instead of a scan. Built once from the records and
// kept current as records are posted.
#pragma once

#include "store/dbf_format.h"
#include "store/table.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace store {

// How a field's value is compared.
//   Value:     as locate compares: texts exactly as read, numbers by value, logicals; a blank
//              number or logical equals only a blank ("") value.
//   KeyText:   as a character tag compares: the first `keyLength` bytes, blank-padded.
//   KeyNumber: as a numeric tag compares: by value, a blank field counting as 0.
enum class MatchRule { Value, KeyText, KeyNumber };

struct KeyPart {
    dbf::Field field;
    MatchRule rule = MatchRule::Value;
    int keyLength = 0;
};

class RecordIndex {
public:
    explicit RecordIndex(std::vector<KeyPart> parts);

    // Indexes records 1..count of `records` (count * recordLength bytes).
    void build(const unsigned char* records, std::uint32_t count, std::uint32_t recordLength);
    // A record added after all others.
    void add(std::uint32_t recNo, const unsigned char* record);
    // A record whose bytes changed from `before` to `after`.
    void change(std::uint32_t recNo, const unsigned char* before, const unsigned char* after);
    // The records, in record number order, whose fields equal `values` (deleted ones included);
    // nullptr when none can.
    const std::vector<std::uint32_t>* find(const std::vector<Value>& values) const;

private:
    bool recordKey(const unsigned char* record, std::string& key) const;
    bool valueKey(const std::vector<Value>& values, std::string& key) const;

    std::vector<KeyPart> parts_;
    std::unordered_map<std::string, std::vector<std::uint32_t>> map_;
};

}  // namespace store
