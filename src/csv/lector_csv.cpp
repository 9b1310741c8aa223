#include "csv/lector_csv.h"

#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"
#include "files/folders.h"
#include "store/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace csv {

namespace {

constexpr char kFinDeTexto = 0x1A;
constexpr int kErrorNoAbierto = 103;  // Windows: file not open
constexpr int kErrorDatos = 13;       // Windows: the data is invalid

// A number of bytes as an error names it: in MiB or KiB when it is a whole number of them.
std::string textoBytes(std::size_t bytes)
{
    constexpr std::size_t kKiB = 1024, kMiB = 1024 * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    if (bytes >= kKiB && bytes % kKiB == 0)
        return std::to_string(bytes / kKiB) + " KiB";
    return std::to_string(bytes) + " bytes";
}

// Characters of a path, counting each UTF-8 sequence as one.
std::size_t caracteres(const std::string& ruta)
{
    return static_cast<std::size_t>(std::count_if(ruta.begin(), ruta.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string textoRutaLarga(std::size_t largo)
{
    return "Nombre de archivo inv\xE1lido: la ruta tiene " + std::to_string(largo) +
           " caracteres y el m\xE1ximo es " + std::to_string(kRutaMaxima);
}

}  // namespace

LectorCSV::LectorCSV(std::size_t tamBuffer, std::size_t lineaMaxima)
    : lineaMaxima_(lineaMaxima),
      buffer_(new char[std::max<std::size_t>(tamBuffer, 1)]),
      tamBuffer_(std::max<std::size_t>(tamBuffer, 1))
{
}

LectorCSV::~LectorCSV()
{
    Cerrar();
}

void LectorCSV::Abrir(const std::string& ruta)
{
    Cerrar();
    if (const std::size_t largo = caracteres(ruta); largo > kRutaMaxima)
        throw store::FileError(3, textoRutaLarga(largo));

    const std::string real = files::findPathNoCase(ruta);
    // The name as it is on disk, in Windows-1252 like every text of the errors.
    const std::string nombre = files::fileName(real);
    nombre_ = DecodificaLinea(nombre);
    if (nombre_.empty())
        nombre_ = nombre;
    // "Deny write", as the administration's files were always opened: others may read the
    // file meanwhile, and one that another program holds open for writing is refused (EBUSY,
    // the sharing violation 32).
    std::unique_ptr<files::File> archivo;
    if (const int error = files::fileSystem().open(real, files::OpenMode::ReadOnly, files::Sharing::DenyWrite, archivo)) {
        store::FileError fallo(store::windowsErrorCode(error));
        fallo.ponLugar(nombre_);
        throw fallo;
    }
    archivo_ = std::move(archivo);
    posicion_ = 0;
    lineas_ = 0;
    inicio_ = fin_ = 0;
    finArchivo_ = false;
}

void LectorCSV::Cerrar()
{
    archivo_.reset();
    inicio_ = fin_ = 0;
    finArchivo_ = false;
}

// Reads more of the file behind the unread bytes, which move to the buffer's start; the buffer
// doubles when they fill it, but grows no further than one byte beyond the longest line a read
// takes, enough to tell that a line is longer. False when nothing more could be read.
bool LectorCSV::rellena()
{
    if (!archivo_)
        throw store::FileError(kErrorNoAbierto);
    if (finArchivo_)
        return false;
    if (inicio_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + inicio_, fin_ - inicio_);
        fin_ -= inicio_;
        inicio_ = 0;
    }
    if (fin_ == tamBuffer_) {
        const std::size_t doble = tamBuffer_ * 2;
        const std::size_t tam = lineaMaxima_ < doble ? std::max(lineaMaxima_ + 1, tamBuffer_ + 1) : doble;
        std::unique_ptr<char[]> mayor(new char[tam]);
        std::memcpy(mayor.get(), buffer_.get(), fin_);
        buffer_ = std::move(mayor);
        tamBuffer_ = tam;
    }
    std::size_t leidos = 0;
    if (const int error = archivo_->readAt(posicion_, buffer_.get() + fin_, tamBuffer_ - fin_, leidos))
        throw store::FileError(store::windowsErrorCode(error));
    posicion_ += leidos;
    if (leidos == 0) {
        finArchivo_ = true;
        return false;
    }
    fin_ += leidos;
    return true;
}

bool LectorCSV::Fin()
{
    if (inicio_ == fin_ && !rellena())
        return true;
    return buffer_[inicio_] == kFinDeTexto;
}

void LectorCSV::lineaDemasiadoLarga() const
{
    throw store::FileError(kErrorDatos, "La l\xEDnea " + std::to_string(lineas_ + 1) + " de " + nombre_ +
                                            " tiene m\xE1s de " + textoBytes(lineaMaxima_));
}

// The next line's text, inside the buffer: CRs removed, cut at 0x1A. Empty at the end of the
// file.
std::string_view LectorCSV::leeLinea()
{
    std::size_t buscado = inicio_;  // bytes before this hold no LF
    char* lf;
    while (!(lf = static_cast<char*>(std::memchr(buffer_.get() + buscado, '\n', fin_ - buscado)))) {
        const std::size_t vistos = fin_ - inicio_;
        if (vistos > lineaMaxima_)
            lineaDemasiadoLarga();  // before the buffer grows for it
        if (!rellena())
            break;
        buscado = inicio_ + vistos;
    }
    char* const principio = buffer_.get() + inicio_;
    char* final = lf ? lf : buffer_.get() + fin_;
    if (static_cast<std::size_t>(final - principio) > lineaMaxima_)
        lineaDemasiadoLarga();
    inicio_ = static_cast<std::size_t>(final - buffer_.get()) + (lf ? 1 : 0);
    ++lineas_;

    if (void* sub = std::memchr(principio, kFinDeTexto, static_cast<std::size_t>(final - principio)))
        final = static_cast<char*>(sub);
    // Usually one CR, the line's last character: cut off; others are taken out from the first on.
    if (auto* cr = static_cast<char*>(std::memchr(principio, '\r', static_cast<std::size_t>(final - principio))))
        final = cr + 1 == final ? cr : std::remove(cr, final, '\r');
    return {principio, static_cast<std::size_t>(final - principio)};
}

void LectorCSV::SaltaLinea()
{
    // Only the LF is looked for; the bytes before it are dropped as they are read.
    while (true) {
        const std::size_t sinLeer = fin_ - inicio_;
        if (const void* lf = std::memchr(buffer_.get() + inicio_, '\n', sinLeer)) {
            inicio_ = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.get()) + 1;
            break;
        }
        inicio_ = fin_;
        if (!rellena())
            break;
    }
    ++lineas_;
}

const RegistroCSV& LectorCSV::Siguiente()
{
    DecodificaLinea(leeLinea(), texto_);
    DivideCampos(texto_, registro_);
    registro_.PonOrigen(&nombre_, lineas_);
    return registro_;
}

}  // namespace csv
