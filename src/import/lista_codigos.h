// A list of the short codes handed out in one builder call. A code is taken when an entry
// equals it in full without regard to letter case, as the Windows-1252 locale compares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace import {

class ListaCodigos {
public:
    void Anade(std::string_view codigo);
    bool Contiene(std::string_view codigo) const;

private:
    // The codes in lower case, one after another in `plegados_`, and an open-addressing table of
    // where each is: a builder asks once or more per input line, and a question folds the code
    // into `plegado_` and mostly touches one slot, with nothing allocated.
    static constexpr std::uint32_t kLibre = UINT32_MAX;
    struct Hueco {
        std::uint64_t hash = 0;
        std::uint32_t en = kLibre;  // where the code starts in plegados_; kLibre: a free slot
        std::uint32_t largo = 0;
    };

    std::uint64_t Pliega(std::string_view codigo) const;  // into plegado_; answers its hash
    std::size_t Busca(std::uint64_t hash) const;          // plegado_'s slot, or the free one for it
    void Crece();

    std::vector<Hueco> huecos_;  // a power of two in size, at most half full
    std::size_t usados_ = 0;
    std::string plegados_;
    mutable std::string plegado_;
};

// The text with every Windows-1252 letter in lower case (A-Z, accented letters, Š Œ Ž Ÿ).
std::string MinusculasAnsi(const std::string& texto);

}  // namespace import
