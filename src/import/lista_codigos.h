// A list of the short codes handed out in one builder call. A code is taken when an entry
// equals it in full without regard to letter case, as the Windows-1252 locale compares.
#pragma once

#include <string>
#include <unordered_set>

namespace import {

class ListaCodigos {
public:
    void Anade(const std::string& codigo);
    bool Contiene(const std::string& codigo) const;

private:
    std::unordered_set<std::string> plegados_;
};

// The text with every Windows-1252 letter in lower case (A-Z, accented letters, Š Œ Ž Ÿ).
std::string MinusculasAnsi(const std::string& texto);

}  // namespace import
