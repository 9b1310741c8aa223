// Reading a file must not allocate per line once its buffers have grown: this program's
// operator new counts the allocations around the reading loop.
#include "csv/lector_csv.h"

#include "support/sistema.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

namespace {
std::atomic<long> asignaciones{0};
}

void* operator new(std::size_t n)
{
    ++asignaciones;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(LectorAsignaciones, NoAllocationPerLineOnceWarm)
{
    namespace fs = std::filesystem;
    const fs::path ruta = fs::temp_directory_path() / ("asignaciones_test." + std::to_string(prueba::IdProceso()) + ".csv");
    {
        std::ofstream out(ruta, std::ios::binary);
        out << "h\n";
        for (int i = 0; i < 20000; ++i)
            out << i << ",\"Mu\xC3\xB1oz P\xC3\xA9rez, Ana\",\"1\xC2\xBA ESO\",x y z," << (i % 7 ? "AULA" : "") << "\r\n";
    }
    csv::LectorCSV lector(4096);
    lector.Abrir(ruta.string());
    lector.SaltaLinea();
    for (int i = 0; i < 10; ++i)
        lector.Siguiente();  // the record's strings reach their sizes
    const long antes = asignaciones.load();
    long lineas = 0;
    while (!lector.Fin()) {
        lector.Siguiente();
        ++lineas;
    }
    const long durante = asignaciones.load() - antes;
    lector.Cerrar();
    fs::remove(ruta);
    EXPECT_EQ(lineas, 19990);
    EXPECT_LE(durante, 2) << durante << " allocations for " << lineas << " lines";
}
