// Reading a CSV file of the administration system line by line.
#pragma once

#include "csv/registro_csv.h"
#include "files/file_io.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace csv {

// The longest path that can be opened, as on Windows.
constexpr std::size_t kRutaMaxima = 259;

// The longest line a read takes by default, in bytes before its LF: far beyond any real export.
constexpr std::size_t kLineaMaxima = 16 * 1024 * 1024;

// One input file, read from its start. A line is the bytes up to the next LF, without it; every
// CR in it is removed, and a byte 0x1A ends its text. A last line without LF is a line; a file
// that ends with LF has no empty line after it. A line that is read may hold at most
// lineaMaxima bytes before its LF (its CRs count); a skipped line may be of any length.
class LectorCSV {
public:
    // tamBuffer: the bytes read from the file at a time; the buffer grows for longer lines that
    // are read, up to one byte beyond lineaMaxima.
    explicit LectorCSV(std::size_t tamBuffer = 256 * 1024, std::size_t lineaMaxima = kLineaMaxima);
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

    // Reads the next line and drops it undecoded (the header, whatever it holds); its bytes are
    // not kept, however many they are.
    void SaltaLinea();

    // Reads the next line and returns DivideCampos(DecodificaLinea(line)). The record stays
    // valid until the next call or Cerrar. At the end of the file the record has no fields.
    // A line longer than lineaMaxima throws store::FileError naming the file and the line's
    // number, counted from 1 at the file's start.
    const RegistroCSV& Siguiente();

    void Cerrar();
    bool Abierto() const { return archivo_ != nullptr; }

    // The bytes the buffer holds now: it grows only for the lines that are read.
    std::size_t Capacidad() const { return tamBuffer_; }

private:
    std::string_view leeLinea();
    bool rellena();

    [[noreturn]] void lineaDemasiadoLarga() const;

    std::unique_ptr<files::File> archivo_;
    std::uint64_t posicion_ = 0;  // where the next read starts
    std::string nombre_;  // the file's name in Windows-1252, for errors
    std::size_t lineaMaxima_;
    std::size_t lineas_ = 0;  // lines read or skipped since the file was opened
    std::unique_ptr<char[]> buffer_;  // not cleared first: only what is read from the file is used
    std::size_t tamBuffer_;
    std::size_t inicio_ = 0;  // first unread byte
    std::size_t fin_ = 0;     // end of the bytes read
    bool finArchivo_ = false;
    std::string texto_;
    RegistroCSV registro_;
};

}  // namespace csv
