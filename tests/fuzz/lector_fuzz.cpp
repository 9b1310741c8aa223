// Any file through LectorCSV, with buffers from one byte up, against the plain line rules of
// referencia.h: the same lines, the same fields, and an end; with a small line limit, the error
// at the first line read that is longer, and a buffer that grows only for the lines read.
#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"
#include "csv/lector_csv.h"
#include "referencia.h"
#include "files/process.h"
#include "store/errors.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// One file per fuzzing process, rewritten for every input and removed at exit.
struct Archivo {
    std::string ruta;
    Archivo()
    {
        const std::filesystem::path carpeta =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        ruta = (carpeta / ("lector_fuzz." + std::to_string(files::processId()) + ".csv")).string();
    }
    ~Archivo()
    {
        std::error_code ec;
        std::filesystem::remove(ruta, ec);
    }
};

const std::string& rutaArchivo()
{
    static const Archivo archivo;
    return archivo.ruta;
}

void escribe(std::string_view bytes)
{
    std::ofstream f(rutaArchivo(), std::ios::binary | std::ios::trunc);
    if (!f.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !f.flush())
        std::abort();
}

// The bytes before the LF of every line of the file, CRs and all: those that referencia::lineas
// gives, then a line that begins with 0x1A and the ones after it.
std::vector<std::size_t> longitudes(std::string_view archivo)
{
    std::vector<std::size_t> todas;
    std::size_t p = 0;
    while (p < archivo.size()) {
        std::size_t lf = archivo.find('\n', p);
        if (lf == std::string_view::npos)
            lf = archivo.size();
        todas.push_back(lf - p);
        p = lf + 1;
    }
    return todas;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam)
{
    // The first byte picks the buffer size, whether the first line is skipped as a header, and
    // whether the next byte is the longest line a read takes (else the default limit).
    if (tam == 0)
        return 0;
    const std::size_t tamBuffer = (datos[0] & 0x3F) + 1;
    const bool conCabecera = datos[0] & 0x40;
    const bool conLimite = datos[0] & 0x80;
    if (conLimite && tam < 2)
        return 0;
    const std::size_t limite = conLimite ? datos[1] : csv::kLineaMaxima;
    const std::size_t desde = conLimite ? 2 : 1;
    const std::string_view archivo(reinterpret_cast<const char*>(datos + desde), tam - desde);
    escribe(archivo);

    const std::vector<std::string> lineas = referencia::lineas(archivo);
    const std::vector<std::size_t> largos = longitudes(archivo);
    const auto demasiadoLarga = [&](std::size_t linea) {
        return "La l\xEDnea " + std::to_string(linea) + " de " +
               std::filesystem::path(rutaArchivo()).filename().string() + " tiene m\xE1s de " +
               std::to_string(limite) + " bytes";
    };
    csv::LectorCSV lector(tamBuffer, limite);
    lector.Abrir(rutaArchivo());
    std::size_t leidas = 0;
    std::size_t mayorLeida = 0;  // the longest line read, skipped ones left out
    if (conCabecera && !lector.Fin()) {
        lector.SaltaLinea();
        ++leidas;
    }
    while (!lector.Fin()) {
        if (leidas >= lineas.size())
            std::abort();  // more lines than the file has
        mayorLeida = std::max(mayorLeida, largos[leidas]);
        if (largos[leidas] > limite) {
            try {
                lector.Siguiente();
            } catch (const store::FileError& e) {
                if (e.what() != demasiadoLarga(leidas + 1))
                    std::abort();
                if (lector.Capacidad() > std::max(tamBuffer, limite + 1))
                    std::abort();
                return 0;
            }
            std::abort();  // a line beyond the limit was read
        }
        const csv::RegistroCSV& registro = lector.Siguiente();
        const csv::RegistroCSV esperado = csv::DivideCampos(csv::DecodificaLinea(lineas[leidas]));
        if (!(registro == esperado))
            std::abort();
        ++leidas;
    }
    if (leidas != lineas.size())
        std::abort();
    // The buffer grew, by doubling, only for the lines read.
    if (lector.Capacidad() > std::max(tamBuffer, 2 * mayorLeida))
        std::abort();
    // At the end, or at a line that begins with 0x1A, a read gives no fields; the line that
    // begins with 0x1A counts its bytes against the limit like any other.
    const bool larga = leidas < largos.size() && largos[leidas] > limite;
    try {
        if (lector.Siguiente().Cuenta() != 0 || larga)
            std::abort();
    } catch (const store::FileError& e) {
        if (!larga || e.what() != demasiadoLarga(leidas + 1))
            std::abort();
    }
    lector.Cerrar();
    return 0;
}
