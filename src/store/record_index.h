// An in-memory index from the values of some fields to the records that hold them, so that a
// locate or a key search is one hash look-up instead of a scan. Built once from the records and
// kept current as records are posted.
#pragma once

#include "store/dbf_format.h"
#include "store/record_store.h"
#include "store/table.h"
#include "store/text_map.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

    // Indexes every record of `records`; false when one could not be read.
    bool build(RecordStore& records);
    // A record added after all others.
    void add(std::uint32_t recNo, const unsigned char* record);
    // A record whose bytes changed from `before` to `after`.
    void change(std::uint32_t recNo, const unsigned char* before, const unsigned char* after);
    // The records, in record number order, whose fields equal `values` (deleted ones included);
    // empty when none do.
    std::span<const std::uint32_t> find(const std::vector<Value>& values) const;
    // The same for one value, a text: what find({std::string(text)}) answers, without making
    // the list of values (a locate per line of an input file).
    std::span<const std::uint32_t> findText(std::string_view text) const;
    std::size_t width() const { return parts_.size(); }  // the number of values a find takes

private:
    // Each distinct key's records, kept beside the key. Most keys have one record, kept in
    // place; the others keep their records in a list of their own.
    static constexpr std::uint32_t kNoList = 0xFFFFFFFF;
    struct Records {
        std::uint32_t single = 0;      // the one record, when `list` is kNoList (0: none left)
        std::uint32_t list = kNoList;  // else the key's records in lists_
    };

    bool recordKey(const unsigned char* record, std::string& key) const;
    bool valueKey(const std::vector<Value>& values, std::string& key) const;
    std::span<const std::uint32_t> recordsOf(std::string_view key) const;
    void remove(std::uint32_t recNo, std::string_view key);

    std::vector<KeyPart> parts_;
    TextMap<Records> keys_;
    std::vector<std::vector<std::uint32_t>> lists_;
    mutable std::string scratch_;  // the key of the latest look-up, kept to spare an allocation
};

}  // namespace store
