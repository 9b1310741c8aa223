#include "store/record_store.h"

#include <algorithm>
#include <cstring>

namespace store {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
// 16 MiB of records: the tables the conversions search at random fit whole.
constexpr std::size_t kMaxBlocks = 256;

}  // namespace

void RecordStore::reset(files::File* file, std::uint64_t firstRecord, std::uint32_t recordLength, std::uint32_t count)
{
    file_ = file;
    firstRecord_ = firstRecord;
    recordLength_ = std::max<std::uint32_t>(1, recordLength);
    perBlock_ = static_cast<std::uint32_t>(std::max<std::size_t>(1, kBlockBytes / recordLength_));
    count_ = count;
    clock_ = 0;
    error_ = 0;
    lastLoaded_ = kNoBlock;
    lastNo_ = 0;
    blocks_.clear();
    slotOf_.clear();
}

RecordStore::Block* RecordStore::cached(std::uint32_t block)
{
    if (block >= slotOf_.size() || slotOf_[block] < 0)
        return nullptr;
    return &blocks_[static_cast<std::size_t>(slotOf_[block])];
}

// Reads a block from the file into the cache, in the place of the block used longest ago
// when the cache is full. A table read from one end to the other (a scan, an index being built)
// keeps only the blocks at its cursor: a block loaded right after the one before it takes the
// place of the block two before it, so that a scan of a large table costs two blocks of memory,
// not the table's size, while the blocks that searches read stay.
RecordStore::Block* RecordStore::load(std::uint32_t block)
{
    if (!file_) {
        error_ = -1;
        return nullptr;
    }
    const std::uint32_t first = block * perBlock_;  // records before the block
    const std::uint32_t records = std::min(perBlock_, count_ - first);
    const bool scanning = block >= 2 && lastLoaded_ == block - 1 && cached(block - 2);
    lastLoaded_ = block;
    lastNo_ = 0;
    std::size_t slot;
    if (scanning) {
        slot = static_cast<std::size_t>(slotOf_[block - 2]);
        slotOf_[block - 2] = -1;
    } else if (blocks_.size() < kMaxBlocks) {
        slot = blocks_.size();
        blocks_.emplace_back();
    } else {
        slot = 0;
        for (std::size_t i = 1; i < blocks_.size(); ++i)
            if (blocks_[i].lastUse < blocks_[slot].lastUse)
                slot = i;
        if (blocks_[slot].records > 0 && slotOf_[blocks_[slot].number] == static_cast<std::int32_t>(slot))
            slotOf_[blocks_[slot].number] = -1;
    }
    Block& b = blocks_[slot];
    b.bytes.resize(std::size_t(records) * recordLength_);
    std::size_t got = 0;
    const int rc = file_->readAt(firstRecord_ + std::uint64_t(first) * recordLength_, b.bytes.data(), b.bytes.size(), got);
    if (rc != 0 || got < b.bytes.size()) {
        error_ = rc != 0 ? rc : -1;
        b.records = 0;
        b.lastUse = 0;
        return nullptr;
    }
    b.number = block;
    b.records = records;
    if (slotOf_.size() <= block)
        slotOf_.resize(std::size_t(block) + 1, -1);
    slotOf_[block] = static_cast<std::int32_t>(slot);
    return &b;
}

const unsigned char* RecordStore::find(std::uint32_t recNo)
{
    if (recNo == 0 || recNo > count_) {
        error_ = -1;
        return nullptr;
    }
    const std::uint32_t i = recNo - 1;
    const std::uint32_t block = i / perBlock_;
    const std::uint32_t inBlock = i % perBlock_;
    Block* b = cached(block);
    if (!b || inBlock >= b->records) {
        if (b)  // the block ends before the record: read it again as it is now
            slotOf_[block] = -1;
        b = load(block);
        if (!b || inBlock >= b->records) {
            if (b)
                error_ = -1;
            return nullptr;
        }
    }
    b->lastUse = ++clock_;
    lastNo_ = recNo;
    last_ = b->bytes.data() + std::size_t(inBlock) * recordLength_;
    return last_;
}

void RecordStore::appendedToCache(const unsigned char* record)
{
    const std::uint32_t i = count_++;
    // A cached last block takes the record; other records stay in the file until asked for.
    Block* b = cached(i / perBlock_);
    if (b && b->records == i % perBlock_) {
        lastNo_ = 0;  // the block's bytes may move
        b->bytes.insert(b->bytes.end(), record, record + recordLength_);
        ++b->records;
    }
}

void RecordStore::rewritten(std::uint32_t recNo, const unsigned char* record)
{
    const std::uint32_t i = recNo - 1;
    Block* b = cached(i / perBlock_);
    if (b && i % perBlock_ < b->records)
        std::memcpy(b->bytes.data() + std::size_t(i % perBlock_) * recordLength_, record, recordLength_);
}

void RecordStore::flagged(std::uint32_t recNo, unsigned char flag)
{
    const std::uint32_t i = recNo - 1;
    Block* b = cached(i / perBlock_);
    if (b && i % perBlock_ < b->records)
        b->bytes[std::size_t(i % perBlock_) * recordLength_] = flag;
}

}  // namespace store
