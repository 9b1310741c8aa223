#include "app/core/salida_comprobada.h"

namespace app {

namespace {

constexpr std::size_t kTamanoBloque = 64 * 1024;

}  // namespace

SalidaComprobada::~SalidaComprobada()
{
    if (!cerrada_)
        sync();
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
        if (error_ == 0)
            error_ = escribe_(pendiente_.data(), pendiente_.size());
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
    if (const int error = cierra_(); error_ == 0)
        error_ = error;
    return error_ == 0;
}

}  // namespace app
