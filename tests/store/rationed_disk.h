// A file system for tests whose writes fail with "disk full" once a number of writes have been
// made: a disk that fills up part way through building or filling a table.
#pragma once

#include "files/file_io.h"
#include "support/disco_envuelto.h"

#include <cerrno>
#include <memory>
#include <string>

namespace storetest {

class RationedDisk : public prueba::DiscoEnvuelto {
public:
    long allowed = -1;  // writes that succeed from now on; -1: every write
    long made = 0;      // writes made so far, failed ones included

    explicit RationedDisk(long allowedWrites = -1) : allowed(allowedWrites) { files::setFileSystem(this); }
    ~RationedDisk() override { files::setFileSystem(nullptr); }

protected:
    std::unique_ptr<files::File> envuelve(const std::string&, std::unique_ptr<files::File> dentro) override
    {
        return std::make_unique<Rationed>(std::move(dentro), *this);
    }

private:
    class Rationed : public prueba::ArchivoEnvuelto {
    public:
        Rationed(std::unique_ptr<files::File> inner, RationedDisk& disk)
            : prueba::ArchivoEnvuelto(std::move(inner)), disk_(disk)
        {
        }
        int writeAt(std::uint64_t o, const void* d, std::size_t n) override
        {
            if (const int rc = ration())
                return rc;
            return prueba::ArchivoEnvuelto::writeAt(o, d, n);
        }
        // A gathered write is one write: it fails whole, as one system call would.
        int writePiecesAt(std::uint64_t o, const files::Piece* p, std::size_t n) override
        {
            if (const int rc = ration())
                return rc;
            return dentro().writePiecesAt(o, p, n);
        }

    private:
        int ration()
        {
            ++disk_.made;
            if (disk_.allowed == 0)
                return ENOSPC;
            if (disk_.allowed > 0)
                --disk_.allowed;
            return 0;
        }

        RationedDisk& disk_;
    };
};

}  // namespace storetest
