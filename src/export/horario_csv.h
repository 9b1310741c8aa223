// The timetable file "HORARIO.CSV" in ZARE's layout: no header, one line per timetable line,
// every value in double quotes, Windows-1252 bytes as stored, CR LF after every line.
#pragma once

#include "files/file_io.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace exportacion {

inline const std::string kArchivoHorario = "HORARIO.CSV";

// One line without its line end: the values in double quotes, separated by commas. A double
// quote inside a value is doubled so that the line splits back into the same values; a comma
// stays as it is.
std::string LineaHorario(const std::vector<std::string>& valores);

// The file inside a folder, written through the file layer one line at a time: each line is
// in the file when AnadeLinea returns, and the file only ever ends with a whole line. Failures
// are FileError.
class ArchivoHorario {
public:
    explicit ArchivoHorario(const std::string& carpeta);
    ~ArchivoHorario();  // closes the file without reporting
    ArchivoHorario(const ArchivoHorario&) = delete;
    ArchivoHorario& operator=(const ArchivoHorario&) = delete;

    // Replaces an earlier file of the same name, found without regard to letter case, with an
    // empty "HORARIO.CSV", and keeps it open for appending. A symbolic link in its place is
    // replaced, never written through; a FIFO or a folder there is refused at once.
    void Crea();
    // Writes the line and CR LF at the end of the file, in one write. When the write fails
    // (a full disk) the part of the line that reached the file is cut away again: the lines
    // before stay, and the error is reported.
    void AnadeLinea(const std::string& linea);
    // Closes the file. One that was deleted while being written is reported as not found: its
    // lines went nowhere.
    void Cierra();

    const std::string& Ruta() const { return ruta_; }

private:
    std::string carpeta_;
    std::string ruta_;
    std::unique_ptr<files::File> archivo_;
    std::uint64_t fin_ = 0;  // the end of the last whole line, where the next one goes
    std::string linea_;      // the line being written, with its end
};

}  // namespace exportacion
