// A list of the short codes handed out in one builder call. A code is taken when an entry
// equals it in full without regard to letter case, as the Windows-1252 locale compares.
#pragma once

#include "store/text_set.h"

#include <string>
#include <string_view>

namespace import {

class ListaCodigos {
public:
    void Anade(std::string_view codigo) { plegados_.add(Pliega(codigo)); }
    bool Contiene(std::string_view codigo) const { return plegados_.contains(Pliega(codigo)); }

private:
    // The code in lower case, in a buffer kept from one question to the next.
    std::string_view Pliega(std::string_view codigo) const;

    store::TextSet plegados_;
    mutable std::string plegado_;
};

// The text with every Windows-1252 letter in lower case (A-Z, accented letters, Š Œ Ž Ÿ).
std::string MinusculasAnsi(const std::string& texto);

}  // namespace import
