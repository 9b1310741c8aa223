#include "store/write_behind.h"

#include "store/dbf_format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace store {

WriteBehind::WriteBehind(std::unique_ptr<files::File> file) : file_(std::move(file)) {}

WriteBehind::~WriteBehind() = default;

int WriteBehind::gather(bool on, std::size_t runBytes)
{
    if (!on && gathering_)
        if (const int rc = flush())
            return rc;
    gathering_ = on;
    if (on)
        tail_.reserve(runBytes);
    return 0;
}

bool WriteBehind::fitsTail(std::uint64_t offset) const
{
    return !tail_.empty() && offset >= tailStart_ && offset <= tailStart_ + tail_.size();
}

int WriteBehind::flush()
{
    if (!tail_.empty()) {
        const files::Piece run{tail_.data(), tail_.size()};
        if (const int rc = writeRun(tailStart_, &run, 1))
            return rc;
        tail_.clear();
    }
    return writeHeader();
}

bool WriteBehind::joinsRunEnd(std::uint64_t offset, std::size_t size) const
{
    return gathering_ && offset >= kHeaderBytes &&
           (tail_.empty() || (fitsTail(offset) && offset - tailStart_ + size + 1 >= tail_.size()));
}

int WriteBehind::flushWith(std::uint64_t offset, const void* data, std::size_t size, unsigned char end,
                           std::uint32_t count)
{
    if (!joinsRunEnd(offset, size))
        return EINVAL;
    const std::uint64_t start = tail_.empty() ? offset : tailStart_;
    const files::Piece run[] = {{tail_.data(), static_cast<std::size_t>(offset - start)}, {data, size}, {&end, 1}};
    const int rc = writeRun(start, run, 3);
    if (rc == 0)
        tail_.clear();
    else
        writeWithEnd(offset, data, size, end);  // pending, as a failed flush leaves its run
    appendsDue(count);
    return rc ? rc : writeHeader();
}

// Writes a run of pieces from `start`. When it cannot be written whole, the file is put back as
// it was: the bytes the run covered written again and a new end cut off.
int WriteBehind::writeRun(std::uint64_t start, const files::Piece* pieces, std::size_t count)
{
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i)
        size += pieces[i].size;
    files::FileStatus before;
    if (const int rc = file_->status(before))
        return rc;
    std::string covered;
    if (start < before.size) {
        covered.resize(static_cast<std::size_t>(std::min<std::uint64_t>(before.size - start, size)));
        std::size_t got = 0;
        if (const int rc = file_->readAt(start, covered.data(), covered.size(), got))
            return rc;
        covered.resize(got);
    }
    if (const int rc = file_->writePiecesAt(start, pieces, count)) {
        // A full disk may have taken part of the run: the file ends as it ended before.
        if (start + size > before.size)
            file_->truncate(before.size);
        if (!covered.empty())
            file_->writeAt(start, covered.data(), covered.size());
        return rc;
    }
    return 0;
}

int WriteBehind::writeHeader()
{
    if (const int rc = takeDueHeader())
        return rc;
    if (headerDirty_) {
        if (const int rc = file_->writeAt(headerFrom_, header_ + headerFrom_, headerTo_ - headerFrom_))
            return rc;
        headerDirty_ = false;
        headerFrom_ = kHeaderBytes;
        headerTo_ = 0;
    }
    return 0;
}

// Puts the date and count of gathered appends into the header kept aside.
int WriteBehind::takeDueHeader()
{
    if (!appendsDue_)
        return 0;
    unsigned char bytes[7];
    dbf::encodeDateAndCount(bytes, dbf::today(), dueCount_);
    appendsDue_ = false;
    const bool wasGathering = gathering_;
    gathering_ = true;  // into the header kept aside, whatever the gathering is now
    const int rc = writeAt(1, bytes, sizeof bytes);
    gathering_ = wasGathering;
    if (rc)
        appendsDue_ = true;
    return rc;
}

int WriteBehind::writeAt(std::uint64_t offset, const void* data, std::size_t size)
{
    if (gathering_ && size > 0) {
        const auto* bytes = static_cast<const char*>(data);
        if (offset + size <= kHeaderBytes) {
            if (!headerDirty_) {
                std::size_t got = 0;
                std::memset(header_, 0, sizeof header_);
                if (const int rc = readAt(0, header_, sizeof header_, got))
                    return rc;
                headerDirty_ = true;
            }
            std::memcpy(header_ + offset, bytes, size);
            headerFrom_ = std::min<std::size_t>(headerFrom_, static_cast<std::size_t>(offset));
            headerTo_ = std::max<std::size_t>(headerTo_, static_cast<std::size_t>(offset + size));
            return 0;
        }
        if (offset >= kHeaderBytes && (tail_.empty() || fitsTail(offset))) {
            if (tail_.empty())
                tailStart_ = offset;
            const std::size_t at = static_cast<std::size_t>(offset - tailStart_);
            if (at + size >= tail_.size()) {
                // Everything from `at` on is written again: cut there and append, unfilled.
                tail_.resize(at);
                tail_.append(bytes, size);
            } else {
                std::memcpy(tail_.data() + at, bytes, size);
            }
            return 0;
        }
    }
    // Anything else goes to the file after what waits, in the order it was written.
    if (const int rc = flush())
        return rc;
    return file_->writeAt(offset, data, size);
}

int WriteBehind::writeWithEnd(std::uint64_t offset, const void* data, std::size_t size, unsigned char end)
{
    if (joinsRunEnd(offset, size)) {
        if (tail_.empty())
            tailStart_ = offset;
        tail_.resize(static_cast<std::size_t>(offset - tailStart_));
        tail_.append(static_cast<const char*>(data), size);
        tail_ += static_cast<char>(end);
        return 0;
    }
    joined_.assign(static_cast<const char*>(data), size);
    joined_ += static_cast<char>(end);
    return writeAt(offset, joined_.data(), joined_.size());
}

void WriteBehind::overlay(std::uint64_t offset, unsigned char* data, std::size_t size, std::size_t& got) const
{
    if (!tail_.empty() && offset + got >= tailStart_ && offset < tailStart_ + tail_.size()) {
        const std::uint64_t from = std::max(offset, tailStart_);
        const std::uint64_t to = std::min<std::uint64_t>(offset + size, tailStart_ + tail_.size());
        std::memcpy(data + (from - offset), tail_.data() + (from - tailStart_), static_cast<std::size_t>(to - from));
        got = std::max<std::size_t>(got, static_cast<std::size_t>(to - offset));
    }
    if (headerDirty_ && offset < headerTo_) {
        const std::size_t from = std::max<std::size_t>(static_cast<std::size_t>(offset), headerFrom_);
        const std::size_t to = static_cast<std::size_t>(std::min<std::uint64_t>(offset + size, headerTo_));
        if (from < to)
            std::memcpy(data + (from - offset), header_ + from, to - from);
    }
    if (appendsDue_)  // the count is newer than the header kept aside
        for (std::uint64_t at = std::max<std::uint64_t>(offset, 4); at < std::min<std::uint64_t>(offset + size, 8); ++at)
            data[at - offset] = static_cast<unsigned char>(dueCount_ >> (8 * (at - 4)));
}

int WriteBehind::readAt(std::uint64_t offset, void* data, std::size_t size, std::size_t& got)
{
    if (const int rc = file_->readAt(offset, data, size, got))
        return rc;
    overlay(offset, static_cast<unsigned char*>(data), size, got);
    return 0;
}

int WriteBehind::status(files::FileStatus& out)
{
    return file_->status(out);  // the file as it is: checks for cuts compare with it
}

int WriteBehind::lock(std::uint64_t offset, std::uint64_t length, files::LockKind kind, bool wait)
{
    return file_->lock(offset, length, kind, wait);
}

int WriteBehind::unlock(std::uint64_t offset, std::uint64_t length)
{
    return file_->unlock(offset, length);
}

bool WriteBehind::writable() const
{
    return file_->writable();
}

int WriteBehind::truncate(std::uint64_t size)
{
    if (const int rc = flush())
        return rc;
    return file_->truncate(size);
}

int WriteBehind::close()
{
    const int flushed = flush();
    const int closed = file_->close();
    return flushed ? flushed : closed;
}

}  // namespace store
