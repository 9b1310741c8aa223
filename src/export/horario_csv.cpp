#include "export/horario_csv.h"

#include "files/folders.h"
#include "files/process.h"
#include "store/errors.h"
#include "store/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace exportacion {

namespace {

[[noreturn]] void FalloDeArchivo(int error)
{
    store::FileError fallo(store::windowsErrorCode(error));
    fallo.ponLugar(kArchivoHorario);
    throw fallo;
}

// A regular file or a symbolic link, the link itself looked at, not what it points to.
bool ArchivoOEnlace(const std::string& ruta)
{
    const files::EntryKind tipo = files::entryKind(ruta);
    return tipo == files::EntryKind::File || tipo == files::EntryKind::Link;
}

}  // namespace

void AnadeLineaHorario(std::string& destino, const std::vector<std::string_view>& valores, bool sinComillas)
{
    // Room for the longest line the values can make (every character a quote, to be doubled,
    // unless none holds one), then the characters in place and the string cut to what they took.
    std::size_t mayor = valores.size() * 3;
    for (const std::string_view valor : valores)
        mayor += (sinComillas ? 1 : 2) * valor.size();
    const std::size_t inicio = destino.size();
    destino.resize(inicio + mayor);
    char* const principio = destino.data() + inicio;
    char* p = principio;
    for (std::size_t i = 0; i < valores.size(); ++i) {
        if (i > 0)
            *p++ = ',';
        *p++ = '"';
        std::string_view resto = valores[i];
        for (const char* comilla;
             !sinComillas && !resto.empty() &&
             (comilla = static_cast<const char*>(std::memchr(resto.data(), '"', resto.size())));) {
            const std::size_t hasta = static_cast<std::size_t>(comilla - resto.data()) + 1;
            std::memcpy(p, resto.data(), hasta);
            p += hasta;
            *p++ = '"';
            resto.remove_prefix(hasta);
        }
        if (!resto.empty())
            std::memcpy(p, resto.data(), resto.size());
        p += resto.size();
        *p++ = '"';
    }
    destino.resize(inicio + static_cast<std::size_t>(p - principio));
}

ArchivoHorario::ArchivoHorario(const std::string& carpeta)
    : carpeta_(store::resolveFolder(carpeta)),
      ruta_(files::joinPath(carpeta_, kArchivoHorario))
{
}

ArchivoHorario::~ArchivoHorario()
{
    // Stopped by an error elsewhere: the lines that were made still reach the file.
    try {
        Vuelca();
    } catch (...) {
    }
}

void ArchivoHorario::Crea()
{
    files::FileSystem& sistema = files::fileSystem();
    // A file of the same name in another letter case is the one being replaced; a link by that
    // name is removed itself, whatever it points to.
    const std::string anterior = files::pathInFolder(carpeta_, kArchivoHorario);
    if (anterior != ruta_ && ArchivoOEnlace(anterior))
        sistema.remove(anterior);
    archivo_.reset();
    pendiente_.clear();
    fin_ = 0;
    // Kept open for the lines: one write each instead of an open, a write and a close.
    std::unique_ptr<files::File> archivo;
    if (const int error = sistema.open(ruta_, files::OpenMode::CreateTruncate, files::Sharing::ReadWrite, archivo))
        FalloDeArchivo(error);
    archivo_ = std::move(archivo);
}

void ArchivoHorario::AnadeLineas(std::string_view lineas)
{
    AbreSiFalta();
    if (pendiente_.empty() && lineas.size() >= kTamanoEscritura) {
        Escribe(lineas);  // a whole piece already: written as it is, not copied first
        return;
    }
    pendiente_ += lineas;
    if (pendiente_.size() >= kTamanoEscritura)
        Vuelca();
}

void ArchivoHorario::AbreSiFalta()
{
    if (archivo_)
        return;
    // Not created here: the file must exist already, and the lines go after its end.
    std::unique_ptr<files::File> archivo;
    if (const int error = files::fileSystem().open(ruta_, files::OpenMode::ReadWrite, files::Sharing::ReadWrite, archivo))
        FalloDeArchivo(error);
    if (!archivo->writable())
        FalloDeArchivo(EACCES);
    files::FileStatus estado;
    if (const int error = archivo->status(estado))
        FalloDeArchivo(error);
    archivo_ = std::move(archivo);
    fin_ = estado.size;
}

void ArchivoHorario::Vuelca()
{
    if (!archivo_ || pendiente_.empty())
        return;
    std::string texto;
    texto.swap(pendiente_);  // what fails is dropped too: the lines before it stay
    Escribe(texto);
    texto.clear();
    pendiente_.swap(texto);  // its room is kept for the next lines
}

// Writes whole lines after the end of the last ones. When the disk takes only part of them,
// the whole lines it took stay and the part of a line after them is cut away again, so that
// the file ends with a whole line.
void ArchivoHorario::Escribe(std::string_view texto)
{
    const int error = archivo_->writeAt(fin_, texto.data(), texto.size());
    if (error) {
        files::FileStatus estado;
        std::uint64_t llegado = 0;
        if (archivo_->status(estado) == 0 && estado.size > fin_)
            llegado = std::min<std::uint64_t>(estado.size - fin_, texto.size());
        std::uint64_t enteras = 0;
        if (llegado >= 2) {
            const std::size_t finLinea = texto.rfind("\r\n", static_cast<std::size_t>(llegado - 2));
            if (finLinea != std::string_view::npos)
                enteras = finLinea + 2;
        }
        archivo_->truncate(fin_ + enteras);
        FalloDeArchivo(error);
    }
    fin_ += texto.size();
}

void ArchivoHorario::TomaBorrador(BorradorHorario& borrador)
{
    if (!borrador.archivo_)
        return;
    // This file's own handle first: Windows moves no file onto one that is open.
    if (archivo_) {
        Vuelca();
        const std::unique_ptr<files::File> propio = std::move(archivo_);
        if (const int error = propio->close())
            FalloDeArchivo(error);
    }
    const std::unique_ptr<files::File> suyo = std::move(borrador.archivo_);
    const int alCerrar = suyo->close();
    if (files::fileSystem().rename(borrador.ruta_, ruta_) != 0) {
        // Removed whether or not its lines could all be copied.
        try {
            CopiaBorrador(borrador.ruta_, borrador.fin_);
        } catch (...) {
            files::fileSystem().remove(borrador.ruta_);
            throw;
        }
        files::fileSystem().remove(borrador.ruta_);
    }
    if (alCerrar)
        FalloDeArchivo(alCerrar);  // its lines may not have reached the disk
}

// The draft's lines appended as lines made here would be, in pieces that end with a line.
void ArchivoHorario::CopiaBorrador(const std::string& ruta, std::uint64_t tamano)
{
    std::unique_ptr<files::File> borrador;
    if (const int error = files::fileSystem().open(ruta, files::OpenMode::ReadOnly, files::Sharing::ReadWrite, borrador))
        FalloDeArchivo(error);
    std::string trozo(kTamanoEscritura, '\0');
    std::string resto;
    for (std::uint64_t leido = 0; leido < tamano;) {
        const std::size_t pide = static_cast<std::size_t>(std::min<std::uint64_t>(trozo.size(), tamano - leido));
        std::size_t llegado = 0;
        if (const int error = borrador->readAt(leido, trozo.data(), pide, llegado))
            FalloDeArchivo(error);
        if (llegado == 0)
            FalloDeArchivo(EIO);  // shorter than what was written to it
        leido += llegado;
        resto.append(trozo.data(), llegado);
        const std::size_t finLinea = resto.rfind("\r\n");
        if (finLinea == std::string::npos)
            continue;
        AnadeLineas(std::string_view(resto).substr(0, finLinea + 2));
        resto.erase(0, finLinea + 2);
    }
    if (!resto.empty())
        AnadeLineas(resto);
}

void ArchivoHorario::Cierra()
{
    if (!archivo_)
        return;
    Vuelca();
    const std::unique_ptr<files::File> archivo = std::move(archivo_);
    files::FileStatus estado;
    const bool borrado = archivo->status(estado) == 0 && estado.links == 0;
    if (const int error = archivo->close())
        FalloDeArchivo(error);  // the lines may not have reached the disk
    if (borrado)
        FalloDeArchivo(ENOENT);
}

BorradorHorario::BorradorHorario(const std::string& carpeta)
    : ruta_(files::joinPath(store::resolveFolder(carpeta), "." + kArchivoHorario + "." + std::to_string(files::processId())))
{
}

BorradorHorario::~BorradorHorario()
{
    if (!archivo_)
        return;
    archivo_->close();
    archivo_.reset();
    files::fileSystem().remove(ruta_);
}

bool BorradorHorario::Anade(std::string_view lineas)
{
    if (fallido_)
        return false;
    if (!archivo_) {
        // A new name only: a file someone left there is not ours to replace or remove.
        std::unique_ptr<files::File> archivo;
        if (files::fileSystem().open(ruta_, files::OpenMode::CreateNew, files::Sharing::ReadWrite, archivo) != 0) {
            fallido_ = true;
            return false;
        }
        archivo_ = std::move(archivo);
    }
    if (archivo_->writeAt(fin_, lineas.data(), lineas.size()) != 0) {
        archivo_->truncate(fin_);  // only its whole lines stay
        fallido_ = true;
        return false;
    }
    fin_ += lineas.size();
    return true;
}

}  // namespace exportacion
