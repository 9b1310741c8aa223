// The records of an open table, read from its file a block at a time and kept in a cache of
// the blocks used last. A table's records are not all held in memory: one that a run fills
// with a hundred thousand records and reads back once costs the cache's size, not its own,
// and opening a table reads only its header. The file stays the one place of every record;
// the cache mirrors it, kept in step by the writes the table makes.
#pragma once

#include "files/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace store {

class RecordStore {
public:
    // Records of `recordLength` bytes from `firstRecord` on in `file`, `count` of them.
    void reset(files::File* file, std::uint64_t firstRecord, std::uint32_t recordLength, std::uint32_t count);

    std::uint32_t count() const { return count_; }

    // Record number `recNo`, from 1 to count(): its bytes, valid until the next call of this
    // store. nullptr when the file could not be read (`error()` tells why).
    const unsigned char* at(std::uint32_t recNo)
    {
        // A record's fields are read one after another: the last record found is kept at hand.
        if (recNo == lastNo_ && recNo != 0)
            return last_;
        return find(recNo);
    }
    // The errno of the last failed read, or -1 when the file ended before the record.
    int error() const { return error_; }

    // The store follows what the table wrote to the file: a record added at the end, a record
    // rewritten in place, the deletion flag of a record.
    void appended(const unsigned char* record)
    {
        if (slotOf_.empty()) {  // nothing read or kept yet (a table being filled): nothing to follow
            ++count_;
            return;
        }
        appendedToCache(record);
    }
    void rewritten(std::uint32_t recNo, const unsigned char* record);
    void flagged(std::uint32_t recNo, unsigned char flag);

private:
    struct Block {
        std::uint32_t number = 0;   // block number: records number * perBlock_ + 1 on
        std::uint32_t records = 0;  // records it holds, from its first on
        std::uint64_t lastUse = 0;
        std::vector<unsigned char> bytes;
    };

    const unsigned char* find(std::uint32_t recNo);
    void appendedToCache(const unsigned char* record);
    Block* cached(std::uint32_t block);
    Block* load(std::uint32_t block);

    files::File* file_ = nullptr;
    std::uint64_t firstRecord_ = 0;
    std::uint32_t recordLength_ = 1;
    std::uint32_t perBlock_ = 1;
    std::uint32_t count_ = 0;
    std::uint64_t clock_ = 0;
    static constexpr std::uint32_t kNoBlock = 0xFFFFFFFFu;
    std::uint32_t lastLoaded_ = kNoBlock;  // the block read from the file last
    int error_ = 0;
    std::uint32_t lastNo_ = 0;  // the record at() found last, 0 once a block may have moved
    const unsigned char* last_ = nullptr;
    std::vector<Block> blocks_;             // at most kMaxBlocks
    std::vector<std::int32_t> slotOf_;      // by block number: its place in blocks_, or -1
};

}  // namespace store
