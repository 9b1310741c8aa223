#include "store/record_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace store {

namespace {

// Blocks of 2 MiB, aligned so that where the system offers large pages a block takes one page
// fault instead of 512: a table of a hundred thousand records fills hundreds of megabytes'
// worth of small pages otherwise, each fault costly.
constexpr std::size_t kBlockBytes = 2 * 1024 * 1024;

}  // namespace

void RecordStore::Free::operator()(unsigned char* p) const
{
    std::free(p);
}

void RecordStore::reset(std::uint32_t recordLength)
{
    blocks_.clear();
    blocks_.shrink_to_fit();
    count_ = 0;
    capacity0_ = 0;
    recordLength_ = recordLength;
    perBlock_ = static_cast<std::uint32_t>(std::max<std::size_t>(1, kBlockBytes / std::max<std::uint32_t>(1, recordLength)));
}

unsigned char* RecordStore::newBlock() const
{
    const std::size_t bytes = std::size_t(perBlock_) * recordLength_;
    const std::size_t rounded = (bytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
    void* p = std::aligned_alloc(kBlockBytes, rounded);
    if (!p)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(p, rounded, MADV_HUGEPAGE);  // a hint; nothing changes where it is not taken
#endif
    return static_cast<unsigned char*>(p);
}

unsigned char* RecordStore::grow(std::uint32_t count)
{
    unsigned char* first = nullptr;
    for (std::uint32_t n = 0; n < count; ++n) {
        if (count_ < perBlock_) {
            // The first block starts small and doubles, so a small table takes little memory.
            if (count_ == capacity0_) {
                const std::uint32_t least = std::max<std::uint32_t>(
                    count_ + (count - n), static_cast<std::uint32_t>(64 * 1024 / std::max<std::uint32_t>(1, recordLength_)));
                const std::uint32_t capacity = std::min(perBlock_, std::max(least, capacity0_ * 2));
                void* p = std::realloc(blocks_.empty() ? nullptr : blocks_[0].release(),
                                       std::max<std::size_t>(1, std::size_t(capacity) * recordLength_));
                if (!p)
                    throw std::bad_alloc();
                if (blocks_.empty())
                    blocks_.emplace_back(static_cast<unsigned char*>(p));
                else
                    blocks_[0].reset(static_cast<unsigned char*>(p));
                capacity0_ = capacity;
                if (n > 0)
                    first = locate(count_ - n + 1);  // moved with the block
            }
        } else if (count_ % perBlock_ == 0) {
            blocks_.emplace_back(newBlock());
        }
        ++count_;
        if (n == 0)
            first = locate(count_);
    }
    return first;
}

unsigned char* RecordStore::append(const unsigned char* record)
{
    unsigned char* slot = grow(1);
    std::memcpy(slot, record, recordLength_);
    return slot;
}

}  // namespace store
