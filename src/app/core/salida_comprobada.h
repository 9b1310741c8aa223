// Standard output that knows whether what was written reached it: a full disk, /dev/full or a
// closed pipe must not let a course sheet that was never written pass as written.
#pragma once

#include <streambuf>
#include <string>

namespace app {

// A buffered stream buffer over a file descriptor that keeps the first write error. After one,
// later output is dropped (the sheet is already incomplete).
class SalidaComprobada : public std::streambuf {
public:
    explicit SalidaComprobada(int descriptor) : descriptor_(descriptor) {}
    ~SalidaComprobada() override;
    SalidaComprobada(const SalidaComprobada&) = delete;
    SalidaComprobada& operator=(const SalidaComprobada&) = delete;

    // Writes what is buffered and closes the descriptor; false when any write or the close
    // failed, with the system's error in Error().
    bool Cierra();
    int Error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    void Escribe(const char* datos, std::size_t n);

    int descriptor_;
    int error_ = 0;
    bool cerrada_ = false;
    std::string pendiente_;
};

}  // namespace app
