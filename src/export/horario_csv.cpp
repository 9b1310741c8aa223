#include "export/horario_csv.h"

#include "store/errors.h"
#include "store/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace exportacion {

namespace {

// Writes all of `datos`, going on after a short write or an interrupted call.
void EscribeTodo(int fd, const std::string& datos)
{
    std::size_t hecho = 0;
    while (hecho < datos.size()) {
        const ssize_t n = ::write(fd, datos.data() + hecho, datos.size() - hecho);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            store::throwFileErrorFromErrno();
        }
        hecho += static_cast<std::size_t>(n);
    }
}

// Closes `fd`; a failed close can mean that the data did not reach the file.
void CierraDescriptor(int fd)
{
    if (::close(fd) != 0 && errno != EINTR)
        store::throwFileErrorFromErrno();
}

}  // namespace

std::string LineaHorario(const std::vector<std::string>& valores)
{
    std::string linea;
    std::size_t longitud = 0;
    for (const std::string& valor : valores)
        longitud += valor.size() + 3;
    linea.reserve(longitud + 8);
    for (std::size_t i = 0; i < valores.size(); ++i) {
        linea += i == 0 ? "\"" : ",\"";
        std::string_view resto = valores[i];
        for (std::size_t comilla; (comilla = resto.find('"')) != std::string_view::npos;) {
            linea.append(resto.substr(0, comilla + 1));
            linea += '"';
            resto.remove_prefix(comilla + 1);
        }
        linea.append(resto);
        linea += '"';
    }
    return linea;
}

ArchivoHorario::ArchivoHorario(const std::string& carpeta)
    : carpeta_(store::resolveFolder(carpeta)),
      ruta_(carpeta_ == "/" ? "/" + kArchivoHorario : carpeta_ + "/" + kArchivoHorario)
{
}

ArchivoHorario::~ArchivoHorario()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void ArchivoHorario::Crea()
{
    // A file of the same name in another letter case is the one being replaced.
    const std::string anterior = store::pathInFolder(carpeta_, kArchivoHorario);
    if (anterior != ruta_ && store::fileExists(anterior))
        ::unlink(anterior.c_str());
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    // Kept open for the lines: one write each instead of an open, a write and a close.
    const int fd = ::open(ruta_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        store::throwFileErrorFromErrno();
    fd_ = fd;
}

void ArchivoHorario::AnadeLinea(const std::string& linea)
{
    if (fd_ < 0) {
        // Not created here: the file must exist already.
        int fd;
        do
            fd = ::open(ruta_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            store::throwFileErrorFromErrno();
        fd_ = fd;
    }
    linea_.assign(linea);
    linea_ += "\r\n";
    EscribeTodo(fd_, linea_);
}

void ArchivoHorario::Cierra()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    struct stat st;
    const bool borrado = ::fstat(fd, &st) == 0 && st.st_nlink == 0;
    CierraDescriptor(fd);
    if (borrado)
        throw store::FileError(2);
}

}  // namespace exportacion
