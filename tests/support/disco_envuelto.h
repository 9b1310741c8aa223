// A file and a file system that pass every call on to the operating system's. Test disks derive
// from them and change only the calls they are about: a disk that fills up, a close that fails.
#pragma once

#include "files/file_io.h"

#include <memory>
#include <string>
#include <utility>

namespace prueba {

class ArchivoEnvuelto : public files::File {
public:
    explicit ArchivoEnvuelto(std::unique_ptr<files::File> dentro) : dentro_(std::move(dentro)) {}
    int readAt(std::uint64_t o, void* d, std::size_t n, std::size_t& got) override
    {
        return dentro_->readAt(o, d, n, got);
    }
    int writeAt(std::uint64_t o, const void* d, std::size_t n) override { return dentro_->writeAt(o, d, n); }
    int status(files::FileStatus& s) override { return dentro_->status(s); }
    int lock(std::uint64_t o, std::uint64_t n, files::LockKind k, bool w) override
    {
        return dentro_->lock(o, n, k, w);
    }
    int unlock(std::uint64_t o, std::uint64_t n) override { return dentro_->unlock(o, n); }
    bool writable() const override { return dentro_->writable(); }
    int truncate(std::uint64_t size) override { return dentro_->truncate(size); }
    int close() override { return dentro_->close(); }
    // A gathered write is left to File's own, a writeAt per piece, so that a test disk that
    // changes writeAt sees every byte written.

protected:
    files::File& dentro() { return *dentro_; }

private:
    std::unique_ptr<files::File> dentro_;
};

class DiscoEnvuelto : public files::FileSystem {
public:
    int open(const std::string& path, files::OpenMode mode, files::Sharing sharing,
             std::unique_ptr<files::File>& out) override
    {
        std::unique_ptr<files::File> dentro;
        if (const int rc = files::systemFileSystem().open(path, mode, sharing, dentro))
            return rc;
        out = envuelve(path, std::move(dentro));
        return 0;
    }
    int remove(const std::string& path) override { return files::systemFileSystem().remove(path); }
    int rename(const std::string& from, const std::string& to) override
    {
        return files::systemFileSystem().rename(from, to);
    }
    int makeFolder(const std::string& path) override { return files::systemFileSystem().makeFolder(path); }
    int removeFolder(const std::string& path) override { return files::systemFileSystem().removeFolder(path); }

protected:
    // The file a test hands out in place of an open of the operating system's.
    virtual std::unique_ptr<files::File> envuelve(const std::string& ruta, std::unique_ptr<files::File> dentro) = 0;
};

}  // namespace prueba
