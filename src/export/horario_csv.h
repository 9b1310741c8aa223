// The timetable file "HORARIO.CSV" in ZARE's layout: no header, one line per timetable line,
// every value in double quotes, Windows-1252 bytes as stored, CR LF after every line.
#pragma once

#include <string>
#include <vector>

namespace exportacion {

inline const std::string kArchivoHorario = "HORARIO.CSV";

// One line without its line end: the values in double quotes, separated by commas. A double
// quote inside a value is doubled so that the line splits back into the same values; a comma
// stays as it is.
std::string LineaHorario(const std::vector<std::string>& valores);

// The file inside a folder, written through the operating system one line at a time: each
// line is in the file when AnadeLinea returns. Failures are FileError.
class ArchivoHorario {
public:
    explicit ArchivoHorario(const std::string& carpeta);
    ~ArchivoHorario();  // closes the file without reporting
    ArchivoHorario(const ArchivoHorario&) = delete;
    ArchivoHorario& operator=(const ArchivoHorario&) = delete;

    // Replaces an earlier file of the same name, found without regard to letter case, with an
    // empty "HORARIO.CSV", and keeps it open for appending.
    void Crea();
    // Writes the line and CR LF at the end of the file, in one write.
    void AnadeLinea(const std::string& linea);
    // Closes the file. One that was deleted while being written is reported as not found: its
    // lines went nowhere.
    void Cierra();

    const std::string& Ruta() const { return ruta_; }

private:
    std::string carpeta_;
    std::string ruta_;
    int fd_ = -1;
    std::string linea_;  // the line being written, with its end
};

}  // namespace exportacion
