#include "app/core/salida_comprobada.h"

#include <cerrno>
#include <unistd.h>

namespace app {

namespace {

constexpr std::size_t kTamanoBloque = 64 * 1024;

}  // namespace

SalidaComprobada::~SalidaComprobada()
{
    if (!cerrada_)
        sync();
}

void SalidaComprobada::Escribe(const char* datos, std::size_t n)
{
    while (n > 0 && error_ == 0) {
        const ssize_t hecho = ::write(descriptor_, datos, n);
        if (hecho < 0) {
            if (errno != EINTR)
                error_ = errno;
            continue;
        }
        if (hecho == 0) {
            error_ = ENOSPC;
            break;
        }
        datos += hecho;
        n -= static_cast<std::size_t>(hecho);
    }
}

SalidaComprobada::int_type SalidaComprobada::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
}

std::streamsize SalidaComprobada::xsputn(const char* s, std::streamsize n)
{
    if (error_ != 0)
        return n;  // dropped: the failure is reported at the close
    pendiente_.append(s, static_cast<std::size_t>(n));
    if (pendiente_.size() >= kTamanoBloque)
        sync();
    return n;
}

int SalidaComprobada::sync()
{
    if (!pendiente_.empty()) {
        Escribe(pendiente_.data(), pendiente_.size());
        pendiente_.clear();
    }
    return 0;
}

bool SalidaComprobada::Cierra()
{
    if (cerrada_)
        return error_ == 0;
    sync();
    cerrada_ = true;
    if (::close(descriptor_) != 0 && error_ == 0 && errno != EINTR)
        error_ = errno;
    return error_ == 0;
}

}  // namespace app
