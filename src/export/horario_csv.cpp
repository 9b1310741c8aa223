#include "export/horario_csv.h"

#include "store/errors.h"
#include "store/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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
void Cierra(int fd)
{
    if (::close(fd) != 0 && errno != EINTR)
        store::throwFileErrorFromErrno();
}

}  // namespace

std::string LineaHorario(const std::vector<std::string>& valores)
{
    std::string linea;
    for (std::size_t i = 0; i < valores.size(); ++i) {
        linea += i == 0 ? "\"" : ",\"";
        for (char c : valores[i]) {
            if (c == '"')
                linea += '"';
            linea += c;
        }
        linea += '"';
    }
    return linea;
}

ArchivoHorario::ArchivoHorario(const std::string& carpeta)
    : carpeta_(store::resolveFolder(carpeta)),
      ruta_(carpeta_ == "/" ? "/" + kArchivoHorario : carpeta_ + "/" + kArchivoHorario)
{
}

void ArchivoHorario::Crea()
{
    // A file of the same name in another letter case is the one being replaced.
    const std::string anterior = store::pathInFolder(carpeta_, kArchivoHorario);
    if (anterior != ruta_ && store::fileExists(anterior))
        ::unlink(anterior.c_str());
    const int fd = ::open(ruta_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        store::throwFileErrorFromErrno();
    Cierra(fd);
}

void ArchivoHorario::AnadeLinea(const std::string& linea)
{
    int fd;
    do
        fd = ::open(ruta_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        store::throwFileErrorFromErrno();
    try {
        EscribeTodo(fd, linea + "\r\n");
    } catch (...) {
        ::close(fd);
        throw;
    }
    Cierra(fd);
}

}  // namespace exportacion
