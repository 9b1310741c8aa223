// A file and a file system that pass every call on to the operating system's. Test disks derive
// from them and change only the calls they are about: a disk that fills up, a close that fails.
#pragma once

#include "store/file_io.h"

#include <memory>
#include <string>
#include <utility>

namespace prueba {

class ArchivoEnvuelto : public store::File {
public:
    explicit ArchivoEnvuelto(std::unique_ptr<store::File> dentro) : dentro_(std::move(dentro)) {}
    int readAt(std::uint64_t o, void* d, std::size_t n, std::size_t& got) override
    {
        return dentro_->readAt(o, d, n, got);
    }
    int writeAt(std::uint64_t o, const void* d, std::size_t n) override { return dentro_->writeAt(o, d, n); }
    int status(store::FileStatus& s) override { return dentro_->status(s); }
    int lock(std::uint64_t o, std::uint64_t n, store::LockKind k, bool w) override
    {
        return dentro_->lock(o, n, k, w);
    }
    int unlock(std::uint64_t o, std::uint64_t n) override { return dentro_->unlock(o, n); }
    bool writable() const override { return dentro_->writable(); }
    int truncate(std::uint64_t size) override { return dentro_->truncate(size); }
    int close() override { return dentro_->close(); }

private:
    std::unique_ptr<store::File> dentro_;
};

class DiscoEnvuelto : public store::FileSystem {
public:
    int open(const std::string& path, store::OpenMode mode, std::unique_ptr<store::File>& out) override
    {
        std::unique_ptr<store::File> dentro;
        if (const int rc = store::posixFileSystem().open(path, mode, dentro))
            return rc;
        out = envuelve(std::move(dentro));
        return 0;
    }
    int remove(const std::string& path) override { return store::posixFileSystem().remove(path); }
    int rename(const std::string& from, const std::string& to) override
    {
        return store::posixFileSystem().rename(from, to);
    }
    int makeFolder(const std::string& path) override { return store::posixFileSystem().makeFolder(path); }
    int removeFolder(const std::string& path) override { return store::posixFileSystem().removeFolder(path); }

protected:
    // The file a test hands out in place of an open of the operating system's.
    virtual std::unique_ptr<store::File> envuelve(std::unique_ptr<store::File> dentro) = 0;
};

}  // namespace prueba
