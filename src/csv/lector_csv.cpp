#include "csv/lector_csv.h"

#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"
#include "store/errors.h"
#include "store/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace csv {

namespace {

constexpr char kFinDeTexto = 0x1A;
constexpr int kErrorCompartido = 32;  // Windows: the file is in use by another program
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

// Windows opens these files with "deny write" sharing: others may read, nobody may write, and
// a file already open for writing cannot be opened. POSIX has no sharing modes, so the same
// rule rests on advisory locks over the whole file: the reader holds an open-file-description
// read lock while the file is open, and a program that writes these files is expected to hold
// a write lock (open-file-description or classic record lock) while it writes. A write lock
// held elsewhere makes the reader fail with the sharing error 32, and the reader's lock makes
// a writer's lock attempt fail. Programs that take no locks are not stopped. Where the system
// lacks open-file-description locks, classic record locks do the same between processes.
#ifdef F_OFD_SETLK
constexpr int kOrdenBloqueo = F_OFD_SETLK;
#else
constexpr int kOrdenBloqueo = F_SETLK;
#endif

void bloqueaParaLeer(int fd)
{
    struct flock bloqueo {};
    bloqueo.l_type = F_RDLCK;
    bloqueo.l_whence = SEEK_SET;
    bloqueo.l_start = 0;
    bloqueo.l_len = 0;  // the whole file, however long it grows
    if (::fcntl(fd, kOrdenBloqueo, &bloqueo) == 0)
        return;
    const int error = errno;
    if (error == EAGAIN || error == EACCES)
        throw store::FileError(kErrorCompartido);
    throw store::FileError(store::windowsErrorCode(error));
}

}  // namespace

LectorCSV::LectorCSV(std::size_t tamBuffer, std::size_t lineaMaxima)
    : lineaMaxima_(lineaMaxima), buffer_(std::max<std::size_t>(tamBuffer, 1))
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

    const std::string real = store::findPathNoCase(ruta);
    // The name as it is on disk, in Windows-1252 like every text of the errors.
    const std::string nombre = real.substr(real.find_last_of('/') + 1);
    nombre_ = DecodificaLinea(nombre);
    if (nombre_.empty())
        nombre_ = nombre;
    int fd = -1;
    try {
        // O_NONBLOCK only keeps a FIFO of that name from blocking the open; it is refused below.
        do
            fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            store::throwFileErrorFromErrno();
        struct stat st;
        if (::fstat(fd, &st) != 0)
            store::throwFileErrorFromErrno();
        if (!S_ISREG(st.st_mode))
            throw store::FileError(5);  // a folder or a device, as Windows refuses it
        bloqueaParaLeer(fd);
    } catch (store::FileError& e) {
        if (fd >= 0)
            ::close(fd);
        e.ponLugar(nombre_);
        throw;
    }
    fd_ = fd;
    lineas_ = 0;
    inicio_ = fin_ = 0;
    finArchivo_ = false;
}

void LectorCSV::Cerrar()
{
    if (fd_ >= 0) {
        ::close(fd_);  // closing the description releases its lock
        fd_ = -1;
    }
    inicio_ = fin_ = 0;
    finArchivo_ = false;
}

// Reads more of the file behind the unread bytes, which move to the buffer's start; the buffer
// doubles when they fill it, but grows no further than one byte beyond the longest line a read
// takes, enough to tell that a line is longer. False when nothing more could be read.
bool LectorCSV::rellena()
{
    if (fd_ < 0)
        throw store::FileError(kErrorNoAbierto);
    if (finArchivo_)
        return false;
    if (inicio_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + inicio_, fin_ - inicio_);
        fin_ -= inicio_;
        inicio_ = 0;
    }
    if (fin_ == buffer_.size()) {
        const std::size_t doble = buffer_.size() * 2;
        buffer_.resize(lineaMaxima_ < doble ? std::max(lineaMaxima_ + 1, buffer_.size() + 1) : doble);
    }
    ssize_t leidos;
    do
        leidos = ::read(fd_, buffer_.data() + fin_, buffer_.size() - fin_);
    while (leidos < 0 && errno == EINTR);
    if (leidos < 0)
        store::throwFileErrorFromErrno();
    if (leidos == 0) {
        finArchivo_ = true;
        return false;
    }
    fin_ += static_cast<std::size_t>(leidos);
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
    while (!(lf = static_cast<char*>(std::memchr(buffer_.data() + buscado, '\n', fin_ - buscado)))) {
        const std::size_t vistos = fin_ - inicio_;
        if (vistos > lineaMaxima_)
            lineaDemasiadoLarga();  // before the buffer grows for it
        if (!rellena())
            break;
        buscado = inicio_ + vistos;
    }
    char* const principio = buffer_.data() + inicio_;
    char* final = lf ? lf : buffer_.data() + fin_;
    if (static_cast<std::size_t>(final - principio) > lineaMaxima_)
        lineaDemasiadoLarga();
    inicio_ = static_cast<std::size_t>(final - buffer_.data()) + (lf ? 1 : 0);
    ++lineas_;

    if (void* sub = std::memchr(principio, kFinDeTexto, static_cast<std::size_t>(final - principio)))
        final = static_cast<char*>(sub);
    if (std::memchr(principio, '\r', static_cast<std::size_t>(final - principio)))
        final = std::remove(principio, final, '\r');
    return {principio, static_cast<std::size_t>(final - principio)};
}

void LectorCSV::SaltaLinea()
{
    // Only the LF is looked for; the bytes before it are dropped as they are read.
    while (true) {
        const std::size_t sinLeer = fin_ - inicio_;
        if (const void* lf = std::memchr(buffer_.data() + inicio_, '\n', sinLeer)) {
            inicio_ = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data()) + 1;
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
