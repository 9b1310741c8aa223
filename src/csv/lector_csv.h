// Reading a CSV file of the administration system line by line.
#pragma once

#include "csv/registro_csv.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace csv {

// The longest path that can be opened, as on Windows.
constexpr std::size_t kRutaMaxima = 259;

// One input file, read from its start. A line is the bytes up to the next LF, without it; every
// CR in it is removed, and a byte 0x1A ends its text. A last line without LF is a line; a file
// that ends with LF has no empty line after it. Lines have no length limit.
class LectorCSV {
public:
    // tamBuffer: the bytes read from the file at a time; the buffer grows for longer lines.
    explicit LectorCSV(std::size_t tamBuffer = 256 * 1024);
    ~LectorCSV();
    LectorCSV(const LectorCSV&) = delete;
    LectorCSV& operator=(const LectorCSV&) = delete;

    // Opens an existing file for reading; the name is found without regard to letter case.
    // While it is open other programs may read it but not write it. Failures throw
    // store::FileError: 2 missing, 5 not a readable file, 32 held open for writing by another
    // program, 3 a path longer than kRutaMaxima characters.
    void Abrir(const std::string& ruta);

    // True when no line is left: at the end of the file, or when the next line begins with
    // the byte 0x1A.
    bool Fin();

    // Reads the next line and drops it undecoded (the header, whatever it holds).
    void SaltaLinea();

    // Reads the next line and returns DivideCampos(DecodificaLinea(line)). The record stays
    // valid until the next call or Cerrar. At the end of the file the record has no fields.
    const RegistroCSV& Siguiente();

    void Cerrar();
    bool Abierto() const { return fd_ >= 0; }

private:
    std::string_view leeLinea();
    bool rellena();

    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t inicio_ = 0;  // first unread byte
    std::size_t fin_ = 0;     // end of the bytes read
    bool finArchivo_ = false;
    std::string texto_;
    RegistroCSV registro_;
};

}  // namespace csv
