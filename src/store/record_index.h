// An in-memory index from the values of some fields to the records that hold them, so that a
// locate or a key search is one hash look-up instead of a scan. Built once from the records and
// kept current as records are posted.
#pragma once

#include "store/dbf_format.h"
#include "store/record_store.h"
#include "store/table.h"

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
    // An open-addressing table of the distinct keys: a look-up touches one slot and the key's
    // bytes, where a node-based map chases several pointers. Most keys have one record, kept in
    // the slot; the others keep their records in a list of their own.
    static constexpr std::uint32_t kFree = 0xFFFFFFFF;
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t keyAt = kFree;  // offset of the key in keys_; kFree: an empty slot
        std::uint32_t keyLength = 0;
        std::uint32_t single = 0;     // the one record, when `list` is kFree (0: none left)
        std::uint32_t list = kFree;   // else the key's records in lists_
    };

    bool recordKey(const unsigned char* record, std::string& key) const;
    bool valueKey(const std::vector<Value>& values, std::string& key) const;
    std::size_t slotOf(std::string_view key, std::uint64_t hash) const;
    std::span<const std::uint32_t> recordsOf(std::string_view key) const;
    Slot& slotFor(std::string_view key);
    void remove(std::uint32_t recNo, std::string_view key);

    std::vector<KeyPart> parts_;
    std::vector<Slot> slots_;  // a power of two in size, at most half full
    std::size_t used_ = 0;
    std::string keys_;
    std::vector<std::vector<std::uint32_t>> lists_;
    mutable std::string scratch_;  // the key of the latest look-up, kept to spare an allocation
};

}  // namespace store
