#include "import/lista_codigos.h"

#include "csv/cp1252.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace import {

std::string MinusculasAnsi(const std::string& texto)
{
    std::string r(texto);
    for (char& c : r)
        c = static_cast<char>(csv::MinusculaCp1252(static_cast<unsigned char>(c)));
    return r;
}

std::uint64_t ListaCodigos::Pliega(std::string_view codigo) const
{
    plegado_.resize(codigo.size());
    std::transform(codigo.begin(), codigo.end(), plegado_.begin(),
                   [](char c) { return static_cast<char>(csv::MinusculaCp1252(static_cast<unsigned char>(c))); });
    return std::hash<std::string_view>()(plegado_);
}

std::size_t ListaCodigos::Busca(std::uint64_t hash) const
{
    const std::size_t mascara = huecos_.size() - 1;
    for (std::size_t i = hash & mascara;; i = (i + 1) & mascara) {
        const Hueco& h = huecos_[i];
        if (h.en == kLibre || (h.hash == hash && h.largo == plegado_.size() &&
                               std::memcmp(plegados_.data() + h.en, plegado_.data(), h.largo) == 0))
            return i;
    }
}

void ListaCodigos::Crece()
{
    std::vector<Hueco> antes(std::max<std::size_t>(16, huecos_.size() * 2));
    antes.swap(huecos_);
    const std::size_t mascara = huecos_.size() - 1;
    for (const Hueco& h : antes) {
        if (h.en == kLibre)
            continue;
        std::size_t i = h.hash & mascara;
        while (huecos_[i].en != kLibre)
            i = (i + 1) & mascara;
        huecos_[i] = h;
    }
}

void ListaCodigos::Anade(std::string_view codigo)
{
    if ((usados_ + 1) * 2 > huecos_.size())
        Crece();
    const std::uint64_t hash = Pliega(codigo);
    Hueco& h = huecos_[Busca(hash)];
    if (h.en != kLibre)
        return;
    h = {hash, static_cast<std::uint32_t>(plegados_.size()), static_cast<std::uint32_t>(plegado_.size())};
    plegados_ += plegado_;
    ++usados_;
}

bool ListaCodigos::Contiene(std::string_view codigo) const
{
    if (huecos_.empty())
        return false;
    return huecos_[Busca(Pliega(codigo))].en != kLibre;
}

}  // namespace import
