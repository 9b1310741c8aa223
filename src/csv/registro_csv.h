// The fields of one CSV line, numbered from 0, as 8-bit Windows-1252 texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace csv {

class RegistroCSV {
public:
    // Field i. A position that is not below Cuenta() throws store::ListIndexError, the error
    // the builders rely on for short lines; it names the record's file and line when known.
    const std::string& Campo(int i) const;

    // The file (its name, which must outlive the record) and the line the record came from,
    // for errors. A copy has none.
    void PonOrigen(const std::string* archivo, std::size_t linea)
    {
        archivo_ = archivo;
        linea_ = linea;
    }
    int Cuenta() const { return static_cast<int>(cuenta_); }

    // Building a record. The strings of earlier lines are kept and reused, so that reading a
    // file allocates nothing per line once the longest fields have been seen.
    void Vacia() { cuenta_ = 0; }
    // Appends an empty field and returns it for the caller to fill.
    std::string& NuevoCampo();
    void Agrega(std::string_view campo) { NuevoCampo().assign(campo); }

    RegistroCSV() = default;
    RegistroCSV(const RegistroCSV& otro);
    RegistroCSV& operator=(const RegistroCSV& otro);
    RegistroCSV(RegistroCSV&&) noexcept = default;
    RegistroCSV& operator=(RegistroCSV&&) noexcept = default;

    friend bool operator==(const RegistroCSV& a, const RegistroCSV& b);

private:
    std::vector<std::string> campos_;  // the first cuenta_ are this record's fields
    std::size_t cuenta_ = 0;
    const std::string* archivo_ = nullptr;
    std::size_t linea_ = 0;
};

}  // namespace csv
