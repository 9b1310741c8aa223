// A set of texts, each numbered in the order it was added, compared byte for byte: for the
// builders that ask once or more per input line whether a code or key was met before. Open
// addressing over the texts kept one after another: a question mostly touches one slot, and
// nothing is allocated per text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace import {

class ConjuntoTextos {
public:
    static constexpr std::uint32_t kNinguno = UINT32_MAX;

    // The text's number, from 0 in the order the texts were added; a new text is added, and
    // `nuevo` (when given) tells whether it was.
    std::uint32_t Anade(std::string_view texto, bool* nuevo = nullptr);
    // The text's number, or kNinguno when it was never added.
    std::uint32_t Busca(std::string_view texto) const;
    bool Contiene(std::string_view texto) const { return Busca(texto) != kNinguno; }
    std::uint32_t Cuenta() const { return cuenta_; }

private:
    struct Hueco {
        std::uint64_t hash = 0;
        std::uint32_t en = kNinguno;  // where the text starts in textos_; kNinguno: a free slot
        std::uint32_t largo = 0;
        std::uint32_t numero = 0;
    };

    std::size_t Sitio(std::string_view texto, std::uint64_t hash) const;  // its slot, or the free one for it
    void Crece();

    std::vector<Hueco> huecos_;  // a power of two in size, at most half full
    std::uint32_t cuenta_ = 0;
    std::string textos_;
};

}  // namespace import
