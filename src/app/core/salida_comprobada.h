// Standard output that knows whether what was written reached it: a full disk, /dev/full or a
// closed pipe must not let a course sheet that was never written pass as written.
#pragma once

#include <cstddef>
#include <functional>
#include <streambuf>
#include <string>
#include <utility>

namespace app {

// A buffered stream buffer that keeps the first write error. After one, later output is
// dropped (the sheet is already incomplete).
class SalidaComprobada : public std::streambuf {
public:
    using Escritura = std::function<int(const char* datos, std::size_t n)>;  // 0 or an errno value
    using Cierre = std::function<int()>;                                    // the same

    SalidaComprobada(Escritura escribe, Cierre cierra) : escribe_(std::move(escribe)), cierra_(std::move(cierra)) {}
    ~SalidaComprobada() override;
    SalidaComprobada(const SalidaComprobada&) = delete;
    SalidaComprobada& operator=(const SalidaComprobada&) = delete;

    // Writes what is buffered and closes the stream; false when any write or the close failed,
    // with the system's error in Error().
    bool Cierra();
    int Error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    Escritura escribe_;
    Cierre cierra_;
    int error_ = 0;
    bool cerrada_ = false;
    std::string pendiente_;
};

}  // namespace app
