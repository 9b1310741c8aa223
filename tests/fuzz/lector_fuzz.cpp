// Any file through LectorCSV, with buffers from one byte up, against the plain line rules of
// referencia.h: the same lines, the same fields, and an end.
#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"
#include "csv/lector_csv.h"
#include "referencia.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// One file per fuzzing process, rewritten for every input and removed at exit.
struct Archivo {
    std::string ruta;
    Archivo()
    {
        const std::filesystem::path carpeta =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        ruta = (carpeta / ("lector_fuzz." + std::to_string(::getpid()) + ".csv")).string();
    }
    ~Archivo() { ::unlink(ruta.c_str()); }
};

const std::string& rutaArchivo()
{
    static const Archivo archivo;
    return archivo.ruta;
}

void escribe(std::string_view bytes)
{
    const int fd = ::open(rutaArchivo().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam)
{
    // The first byte picks the buffer size and whether the first line is skipped as a header.
    if (tam == 0)
        return 0;
    const std::size_t tamBuffer = (datos[0] & 0x3F) + 1;
    const bool conCabecera = datos[0] & 0x40;
    const std::string_view archivo(reinterpret_cast<const char*>(datos + 1), tam - 1);
    escribe(archivo);

    const std::vector<std::string> lineas = referencia::lineas(archivo);
    csv::LectorCSV lector(tamBuffer);
    lector.Abrir(rutaArchivo());
    std::size_t leidas = 0;
    if (conCabecera && !lector.Fin()) {
        lector.SaltaLinea();
        ++leidas;
    }
    while (!lector.Fin()) {
        if (leidas >= lineas.size())
            std::abort();  // more lines than the file has
        const csv::RegistroCSV& registro = lector.Siguiente();
        const csv::RegistroCSV esperado = csv::DivideCampos(csv::DecodificaLinea(lineas[leidas]));
        if (!(registro == esperado))
            std::abort();
        ++leidas;
    }
    if (leidas != lineas.size())
        std::abort();
    // At the end, or at a line that begins with 0x1A, a read gives no fields.
    if (lector.Siguiente().Cuenta() != 0)
        std::abort();
    lector.Cerrar();
    return 0;
}
