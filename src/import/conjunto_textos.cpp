#include "import/conjunto_textos.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace import {

std::size_t ConjuntoTextos::Sitio(std::string_view texto, std::uint64_t hash) const
{
    const std::size_t mascara = huecos_.size() - 1;
    for (std::size_t i = hash & mascara;; i = (i + 1) & mascara) {
        const Hueco& h = huecos_[i];
        if (h.en == kNinguno ||
            (h.hash == hash && h.largo == texto.size() && std::memcmp(textos_.data() + h.en, texto.data(), h.largo) == 0))
            return i;
    }
}

void ConjuntoTextos::Crece()
{
    std::vector<Hueco> antes(std::max<std::size_t>(16, huecos_.size() * 2));
    antes.swap(huecos_);
    const std::size_t mascara = huecos_.size() - 1;
    for (const Hueco& h : antes) {
        if (h.en == kNinguno)
            continue;
        std::size_t i = h.hash & mascara;
        while (huecos_[i].en != kNinguno)
            i = (i + 1) & mascara;
        huecos_[i] = h;
    }
}

std::uint32_t ConjuntoTextos::Anade(std::string_view texto, bool* nuevo)
{
    if ((std::size_t(cuenta_) + 1) * 2 > huecos_.size())
        Crece();
    const std::uint64_t hash = std::hash<std::string_view>()(texto);
    Hueco& h = huecos_[Sitio(texto, hash)];
    const bool esNuevo = h.en == kNinguno;
    if (nuevo)
        *nuevo = esNuevo;
    if (esNuevo) {
        h = {hash, static_cast<std::uint32_t>(textos_.size()), static_cast<std::uint32_t>(texto.size()), cuenta_++};
        textos_ += texto;
    }
    return h.numero;
}

std::uint32_t ConjuntoTextos::Busca(std::string_view texto) const
{
    if (huecos_.empty())
        return kNinguno;
    const Hueco& h = huecos_[Sitio(texto, std::hash<std::string_view>()(texto))];
    return h.en == kNinguno ? kNinguno : h.numero;
}

}  // namespace import
