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
// `sinComillas`: the caller knows no value holds one, as most lines' do, and nothing is searched.
void AnadeLineaHorario(std::string& destino, const std::vector<std::string_view>& valores,
                       bool sinComillas = false);

class BorradorHorario;

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

    // After Crea: puts the draft's file in this one's place, in one step, and keeps it open for
    // more lines after the draft's. When it cannot be moved, its lines are copied instead. A
    // failure of the draft's own close is reported once it is in place, as a close of this
    // file would be.
    void TomaBorrador(BorradorHorario& borrador);

    // Lines wait until they fill a piece of this size (one write instead of one per line).
    static constexpr std::size_t kTamanoEscritura = 256 * 1024;

private:
    void AbreSiFalta();
    void Vuelca();
    void CopiaBorrador(const std::string& ruta, std::uint64_t tamano);
    void Escribe(std::string_view texto);

    std::string carpeta_;
    std::string ruta_;
    std::unique_ptr<files::File> archivo_;
    std::uint64_t fin_ = 0;  // the end of the last whole line written, where the next piece goes
    std::string pendiente_;  // whole lines, with their ends, not written yet
};

// The lines of a new "HORARIO.CSV" written, while they are made, into a file of their own
// beside it, so that a 10 MB timetable needs no memory to wait in: the export puts the draft in
// the file's place once its work table is whole, and removes it when it stops before. Used
// while it works: a draft that cannot be made or written gives the lines back to its caller,
// its whole lines written before kept.
class BorradorHorario {
public:
    // In the folder the file goes to; nothing is made before the first lines.
    explicit BorradorHorario(const std::string& carpeta);
    ~BorradorHorario();  // removes a draft not taken, without reporting
    BorradorHorario(const BorradorHorario&) = delete;
    BorradorHorario& operator=(const BorradorHorario&) = delete;

    // Writes whole lines after the earlier ones. False when they are not in the draft (it could
    // not be made, or a write failed now or before): the caller keeps them, and every later
    // line, itself.
    bool Anade(std::string_view lineas);
    // Whether a draft file exists, with the lines Anade took.
    bool Existe() const { return static_cast<bool>(archivo_); }

private:
    friend class ArchivoHorario;

    std::string ruta_;
    std::unique_ptr<files::File> archivo_;
    std::uint64_t fin_ = 0;  // the end of its whole lines
    bool fallido_ = false;   // it could not be made, or a write failed
};

}  // namespace exportacion
