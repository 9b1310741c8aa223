// The timetable file "HORARIO.CSV" in ZARE's layout: no header, one line per timetable line,
// every value in double quotes, Windows-1252 bytes as stored, CR LF after every line.
#pragma once

#include "files/file_io.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace exportacion {

inline const std::string kArchivoHorario = "HORARIO.CSV";

// Puts one line, without its line end, at the end of `destino`: the values in double quotes,
// separated by commas. A double quote inside a value is doubled so that the line splits back
// into the same values; a comma stays as it is.
void AnadeLineaHorario(std::string& destino, const std::vector<std::string_view>& valores);

// The file inside a folder, written through the file layer: lines are gathered and written in
// pieces of kTamanoEscritura bytes and at the close, each piece made of whole lines, so the file
// only ever ends with a whole line. Failures are FileError.
class ArchivoHorario {
public:
    explicit ArchivoHorario(const std::string& carpeta);
    ~ArchivoHorario();  // writes what waits and closes the file, without reporting
    ArchivoHorario(const ArchivoHorario&) = delete;
    ArchivoHorario& operator=(const ArchivoHorario&) = delete;

    // Replaces an earlier file of the same name, found without regard to letter case, with an
    // empty "HORARIO.CSV", and keeps it open for appending. A symbolic link in its place is
    // replaced, never written through; a FIFO or a folder there is refused at once.
    void Crea();
    // Adds lines, each with its CR LF already, at the end of the file. When a write fails (a
    // full disk) the part of its piece that reached the file is cut away again: the lines
    // written before stay, and the error is reported.
    void AnadeLineas(std::string_view lineas);
    // Writes what waits and closes the file. One that was deleted while being written is
    // reported as not found: its lines went nowhere.
    void Cierra();

    const std::string& Ruta() const { return ruta_; }

    // Lines wait until they fill a piece of this size (one write instead of one per line).
    static constexpr std::size_t kTamanoEscritura = 256 * 1024;

private:
    void AbreSiFalta();
    void Vuelca();
    void Escribe(std::string_view texto);

    std::string carpeta_;
    std::string ruta_;
    std::unique_ptr<files::File> archivo_;
    std::uint64_t fin_ = 0;  // the end of the last whole line written, where the next piece goes
    std::string pendiente_;  // whole lines, with their ends, not written yet
};

}  // namespace exportacion
