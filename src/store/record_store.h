// The records of an open table in memory, in blocks of a fixed number of records, so that a
// table that grows by a hundred thousand appends is never copied to a larger place and holds
// about the memory its records take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace store {

class RecordStore {
public:
    // Empties the store for records of `recordLength` bytes.
    void reset(std::uint32_t recordLength);

    std::uint32_t count() const { return count_; }
    std::uint32_t recordLength() const { return recordLength_; }

    // Record number `recNo`, from 1 to count().
    const unsigned char* at(std::uint32_t recNo) const { return locate(recNo); }
    unsigned char* at(std::uint32_t recNo) { return locate(recNo); }

    // Adds `count` records at the end and gives the first of them, to be filled by the caller;
    // the new records are contiguous when they lie in one block (the load of a table asks for
    // a block's worth at a time). Pointers given before into the first block may move.
    unsigned char* grow(std::uint32_t count);
    // Adds one record, a copy of `record`, and gives its bytes here.
    unsigned char* append(const unsigned char* record);

    std::uint32_t recordsPerBlock() const { return perBlock_; }

private:
    unsigned char* locate(std::uint32_t recNo) const
    {
        const std::uint32_t i = recNo - 1;
        return blocks_[i / perBlock_].get() + std::size_t(i % perBlock_) * recordLength_;
    }

    struct Free {
        void operator()(unsigned char* p) const;
    };
    unsigned char* newBlock() const;

    std::uint32_t recordLength_ = 0;
    std::uint32_t perBlock_ = 1;
    std::uint32_t count_ = 0;
    std::uint32_t capacity0_ = 0;  // records the first block has room for
    std::vector<std::unique_ptr<unsigned char, Free>> blocks_;
};

}  // namespace store
