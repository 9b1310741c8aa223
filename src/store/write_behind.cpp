#include "store/write_behind.h"

#include "files/process.h"
#include "store/dbf_format.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace store {

WriteBehind::WriteBehind(std::unique_ptr<files::File> file) : file_(std::move(file)) {}

WriteBehind::~WriteBehind()
{
    if (!writer_.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (owner_ == files::processId())
        writer_.join();  // after the run on its way, if any
    else
        writer_.detach();  // a forked child's copy of a thread that does not run in it
}

int WriteBehind::gather(bool on)
{
    wait();
    if (!on && gathering_)
        if (const int rc = flush())
            return rc;
    gathering_ = on;
    return 0;
}

bool WriteBehind::fitsTail(std::uint64_t offset) const
{
    return !tail_.empty() && offset >= tailStart_ && offset <= tailStart_ + tail_.size();
}

// What a run about to be written covers of the file (the old end-of-file mark), so that a
// failed write can be undone.
int WriteBehind::prepareRollback(std::uint64_t start, std::size_t size, std::uint64_t& sizeBefore, std::string& covered)
{
    files::FileStatus before;
    if (const int rc = file_->status(before))
        return rc;
    sizeBefore = before.size;
    covered.clear();
    if (start < before.size) {
        covered.resize(static_cast<std::size_t>(std::min<std::uint64_t>(before.size - start, size)));
        std::size_t got = 0;
        if (const int rc = file_->readAt(start, covered.data(), covered.size(), got))
            return rc;
        covered.resize(got);
    }
    return 0;
}

// Writes a run. A full disk may take part of it: then the file ends as it ended before.
int WriteBehind::land(const std::string& run, std::uint64_t start, std::uint64_t sizeBefore, const std::string& covered)
{
    const int rc = file_->writeAt(start, run.data(), run.size());
    if (rc) {
        if (start + run.size() > sizeBefore)
            file_->truncate(sizeBefore);
        if (!covered.empty())
            file_->writeAt(start, covered.data(), covered.size());
    }
    return rc;
}

int WriteBehind::flush()
{
    if (const int rc = settle())
        return rc;
    if (!tail_.empty()) {
        std::uint64_t sizeBefore = 0;
        std::string covered;
        if (const int rc = prepareRollback(tailStart_, tail_.size(), sizeBefore, covered))
            return rc;
        if (const int rc = land(tail_, tailStart_, sizeBefore, covered))
            return rc;
        tail_.clear();
    }
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

int WriteBehind::handOff()
{
    const unsigned long self = files::processId();
    if (!background_ || !gathering_ || (writer_.joinable() && owner_ != self))
        return flush();
    if (const int rc = settle())
        return rc;
    if (tail_.empty())
        return flush();  // only the header: a few bytes, written here
    if (!writer_.joinable()) {
        try {
            writer_ = std::thread([this] { fly(); });
        } catch (const std::system_error&) {
            background_ = false;
            return flush();
        }
        owner_ = self;
    }
    if (const int rc = prepareRollback(tailStart_, tail_.size(), flyingSizeBefore_, flyingCovered_))
        return rc;
    if (const int rc = takeDueHeader())
        return rc;
    flyingFrom_ = kHeaderBytes;
    flyingTo_ = 0;
    if (headerDirty_) {
        std::memcpy(flyingHeader_, header_, kHeaderBytes);
        flyingFrom_ = headerFrom_;
        flyingTo_ = headerTo_;
        headerDirty_ = false;
        headerFrom_ = kHeaderBytes;
        headerTo_ = 0;
    }
    flying_.swap(tail_);  // the run's room comes back as the next run's
    tail_.clear();
    flyingStart_ = tailStart_;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        flight_ = Flight::Going;
    }
    changed_.notify_all();
    return 0;
}

// The writer thread: the run, then the header that names its records.
void WriteBehind::fly()
{
    std::unique_lock<std::mutex> guard(mutex_);
    for (;;) {
        changed_.wait(guard, [&] { return stopping_ || flight_ == Flight::Going; });
        if (flight_ != Flight::Going)
            return;
        guard.unlock();
        int runError = land(flying_, flyingStart_, flyingSizeBefore_, flyingCovered_);
        int headerError = 0;
        if (runError == 0 && flyingTo_ > flyingFrom_)
            headerError = file_->writeAt(flyingFrom_, flyingHeader_ + flyingFrom_, flyingTo_ - flyingFrom_);
        guard.lock();
        flightError_ = runError ? runError : headerError;
        flyingRunFailed_ = runError != 0;
        flightFailed_ = flightError_ != 0;
        flight_ = Flight::Landed;
        changed_.notify_all();
    }
}

// Waits for the run on its way. When it failed, its bytes are pending again before what was
// gathered since, and its header bytes under any written since; the error waits to be answered.
void WriteBehind::wait()
{
    if (flight_ == Flight::None)
        return;
    {
        std::unique_lock<std::mutex> guard(mutex_);
        changed_.wait(guard, [&] { return flight_ == Flight::Landed; });
        flight_ = Flight::None;
    }
    if (flightError_) {
        if (flyingRunFailed_) {
            if (!tail_.empty()) {
                flying_.resize(static_cast<std::size_t>(tailStart_ - flyingStart_));
                flying_ += tail_;
            }
            tail_.swap(flying_);
            tailStart_ = flyingStart_;
        }
        for (std::size_t i = flyingFrom_; i < flyingTo_; ++i)
            if (!headerDirty_ || i < headerFrom_ || i >= headerTo_)
                header_[i] = flyingHeader_[i];
        if (flyingTo_ > flyingFrom_) {
            if (!headerDirty_) {
                // The rest of header_ is still the header as it was handed off.
                headerFrom_ = flyingFrom_;
                headerTo_ = flyingTo_;
            } else {
                headerFrom_ = std::min(headerFrom_, flyingFrom_);
                headerTo_ = std::max(headerTo_, flyingTo_);
            }
            headerDirty_ = true;
        }
        if (!landingError_)
            landingError_ = flightError_;
        flightError_ = 0;
        flightFailed_ = false;
    }
    flying_.clear();
}

int WriteBehind::settle()
{
    wait();
    const int rc = landingError_;
    landingError_ = 0;
    return rc;
}

// A gathered write that may go on while a run is on its way: one that starts the next run just
// where that one ends (on its end-of-file mark, or after it).
bool WriteBehind::joinsFlight(std::uint64_t offset) const
{
    const std::uint64_t end = flyingStart_ + flying_.size();
    return offset + 1 >= end && offset <= end;
}

int WriteBehind::writeAt(std::uint64_t offset, const void* data, std::size_t size)
{
    if (flight_ != Flight::None &&
        !(gathering_ && size > 0 && offset >= kHeaderBytes && (tail_.empty() ? joinsFlight(offset) : fitsTail(offset))))
        wait();
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
    if (flight_ != Flight::None && !(gathering_ && offset >= kHeaderBytes && (tail_.empty() ? joinsFlight(offset) : fitsTail(offset))))
        wait();
    if (gathering_ && offset >= kHeaderBytes && (tail_.empty() || fitsTail(offset)) &&
        (tail_.empty() || offset - tailStart_ + size + 1 >= tail_.size())) {
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
    wait();
    if (const int rc = file_->readAt(offset, data, size, got))
        return rc;
    overlay(offset, static_cast<unsigned char*>(data), size, got);
    return 0;
}

int WriteBehind::status(files::FileStatus& out)
{
    wait();
    return file_->status(out);  // the file as it is: checks for cuts compare with it
}

int WriteBehind::lock(std::uint64_t offset, std::uint64_t length, files::LockKind kind, bool waitForIt)
{
    wait();
    return file_->lock(offset, length, kind, waitForIt);
}

int WriteBehind::unlock(std::uint64_t offset, std::uint64_t length)
{
    wait();
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
