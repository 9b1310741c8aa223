// A table file whose writes are gathered into a few large ones while nobody else can read it.
// Appending a record is a write just past the last one, and every post also rewrites the
// header's date and count: one system call each per record. While gathering, bytes written at
// the end of what is gathered so far join one pending run at the file's tail, and writes within
// the header's first bytes are kept aside; `flush` writes the run in one piece, then the header,
// so the file is a valid table at each flush: the records first, then the count that names them.
// Reads see the pending bytes as if written. Any other write, a truncation or a lock first
// flushes, so the file's order of changes is kept.
#pragma once

#include "files/file_io.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace store {

class WriteBehind final : public files::File {
public:
    // The header bytes kept aside: the version byte, the date of the last update and the count.
    static constexpr std::size_t kHeaderBytes = 12;

    explicit WriteBehind(std::unique_ptr<files::File> file);
    ~WriteBehind() override;  // drops what was not flushed: the owner flushes before

    // Starts or stops gathering; stopping flushes first (and reports its error). `runBytes`: the
    // size at which the owner flushes, so that the pending run has its room from the start and
    // is never moved in memory as it grows.
    int gather(bool on, std::size_t runBytes = 0);
    bool gathering() const { return gathering_; }

    // Bytes waiting to be written.
    std::size_t pending() const { return tail_.size() + (headerDirty_ || appendsDue_ ? 1 : 0); }

    // Gathered appends leave the header's date and record count (bytes 1 to 7) to the flush that
    // writes the header after their records: the date is the day the header reaches the file,
    // the count the last one given here. A post neither asks the clock nor touches the header.
    void appendsDue(std::uint32_t count)
    {
        dueCount_ = count;
        appendsDue_ = true;
    }

    // Writes what is pending: the tail run, then the header. When the tail cannot be written
    // whole, the file is put back as the last flush left it (its old end restored) and the
    // header is not written; what was pending stays pending, for another try.
    int flush();

    // Whether writeWithEnd would put these bytes at the pending run's end (or start a run with
    // them) rather than write them apart.
    bool joinsRunEnd(std::uint64_t offset, std::size_t size) const;

    // For bytes that join the pending run's end (EINVAL for others): as writeWithEnd,
    // appendsDue(count) and flush in turn, but the bytes are written with the run from where
    // they are, not copied into it first: a large batch of records costs one copy less. On
    // failure they stay pending, as a failed flush leaves a run.
    int flushWith(std::uint64_t offset, const void* data, std::size_t size, unsigned char end, std::uint32_t count);

    int readAt(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) override;
    int writeAt(std::uint64_t offset, const void* data, std::size_t size) override;
    // Writes `size` bytes and the byte `end` just after them as one write: a record appended
    // with the table's new end, without first copying them together when gathering.
    int writeWithEnd(std::uint64_t offset, const void* data, std::size_t size, unsigned char end);
    int status(files::FileStatus& out) override;
    int lock(std::uint64_t offset, std::uint64_t length, files::LockKind kind, bool wait) override;
    int unlock(std::uint64_t offset, std::uint64_t length) override;
    bool writable() const override;
    int truncate(std::uint64_t size) override;
    int close() override;

private:
    bool fitsTail(std::uint64_t offset) const;
    int takeDueHeader();
    int writeRun(std::uint64_t start, const files::Piece* pieces, std::size_t count);
    int writeHeader();
    void overlay(std::uint64_t offset, unsigned char* data, std::size_t size, std::size_t& got) const;

    std::unique_ptr<files::File> file_;
    bool gathering_ = false;
    // The pending run: bytes from tailStart_ on.
    std::uint64_t tailStart_ = 0;
    std::string tail_;
    std::string joined_;  // writeWithEnd's bytes in one piece, for a write that is not gathered
    // The header as it will be: read from the file at the first write kept aside, then changed.
    unsigned char header_[kHeaderBytes] = {};
    std::size_t headerFrom_ = kHeaderBytes;  // the changed header bytes: [headerFrom_, headerTo_)
    std::size_t headerTo_ = 0;
    bool headerDirty_ = false;
    std::uint32_t dueCount_ = 0;
    bool appendsDue_ = false;
};

}  // namespace store
