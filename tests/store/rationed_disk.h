// A file system for tests whose writes fail with "disk full" once a number of writes have been
// made: a disk that fills up part way through building or filling a table.
#pragma once

#include "store/file_io.h"

#include <cerrno>
#include <memory>
#include <string>

namespace storetest {

class RationedDisk : public store::FileSystem {
public:
    long allowed = -1;  // writes that succeed from now on; -1: every write
    long made = 0;      // writes made so far, failed ones included

    explicit RationedDisk(long allowedWrites = -1) : allowed(allowedWrites) { store::setFileSystem(this); }
    ~RationedDisk() override { store::setFileSystem(nullptr); }

    int open(const std::string& path, store::OpenMode mode, std::unique_ptr<store::File>& out) override
    {
        std::unique_ptr<store::File> inner;
        if (const int rc = store::posixFileSystem().open(path, mode, inner))
            return rc;
        out = std::make_unique<Rationed>(std::move(inner), *this);
        return 0;
    }
    int remove(const std::string& path) override { return store::posixFileSystem().remove(path); }
    int rename(const std::string& from, const std::string& to) override
    {
        return store::posixFileSystem().rename(from, to);
    }
    int makeFolder(const std::string& path) override { return store::posixFileSystem().makeFolder(path); }
    int removeFolder(const std::string& path) override { return store::posixFileSystem().removeFolder(path); }

private:
    class Rationed : public store::File {
    public:
        Rationed(std::unique_ptr<store::File> inner, RationedDisk& disk) : inner_(std::move(inner)), disk_(disk) {}
        int readAt(std::uint64_t o, void* d, std::size_t n, std::size_t& got) override
        {
            return inner_->readAt(o, d, n, got);
        }
        int writeAt(std::uint64_t o, const void* d, std::size_t n) override
        {
            ++disk_.made;
            if (disk_.allowed == 0)
                return ENOSPC;
            if (disk_.allowed > 0)
                --disk_.allowed;
            return inner_->writeAt(o, d, n);
        }
        int status(store::FileStatus& s) override { return inner_->status(s); }
        int lock(std::uint64_t o, std::uint64_t n, store::LockKind k, bool w) override
        {
            return inner_->lock(o, n, k, w);
        }
        int unlock(std::uint64_t o, std::uint64_t n) override { return inner_->unlock(o, n); }
        bool writable() const override { return inner_->writable(); }
        int truncate(std::uint64_t size) override { return inner_->truncate(size); }

    private:
        std::unique_ptr<store::File> inner_;
        RationedDisk& disk_;
    };
};

}  // namespace storetest
