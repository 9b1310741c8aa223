// Reading speed of the import's inner loop: a generated 100 MB CSV file read line by line,
// decoded from UTF-8 and split into fields, as the table builders read ZARE's files.
#include "csv/decodifica_linea.h"
#include "csv/divide_campos.h"
#include "csv/lector_csv.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTamArchivo = 100 * 1000 * 1000;

// A deterministic mix of the values ZARE writes: codes, Spanish names with accents in UTF-8,
// quoted fields (some holding commas or doubled quotes), numbers and empty fields.
class Generador {
public:
    std::string linea()
    {
        static const char* const nombres[] = {"Mar\xC3\xAD" "a Jos\xC3\xA9", "Jos\xC3\xA9 Luis", "Ana", "Iv\xC3\xA1n",
                                              "Luc\xC3\xAD" "a", "Pablo", "Nuria", "\xC3\x81ngel"};
        static const char* const apellidos[] = {"Garc\xC3\xAD" "a", "P\xC3\xA9rez", "Fern\xC3\xA1ndez", "L\xC3\xB3pez",
                                                "Mu\xC3\xB1oz", "Rodr\xC3\xADguez", "Castro", "Iba\xC3\xB1" "ez"};
        static const char* const materias[] = {"Lengua Castellana y Literatura", "Matem\xC3\xA1ticas",
                                               "Educaci\xC3\xB3n F\xC3\xADsica", "Geograf\xC3\xAD" "a e Historia",
                                               "Ingl\xC3\xA9s", "F\xC3\xADsica y Qu\xC3\xADmica", "Tecnolog\xC3\xAD" "a",
                                               "M\xC3\xBAsica"};
        std::string s;
        s += std::to_string(10000000 + siguiente() % 89999999);
        s += ",\"";
        s += apellidos[siguiente() % 8];
        s += ' ';
        s += apellidos[siguiente() % 8];
        s += ", ";
        s += nombres[siguiente() % 8];
        s += "\",\"";
        s += std::to_string(1 + siguiente() % 4);
        s += "\xC2\xBA ESO ";
        s += static_cast<char>('A' + siguiente() % 5);
        s += "\",\"";
        s += materias[siguiente() % 8];
        s += "\",";
        s += std::to_string(siguiente() % 6);
        if (siguiente() % 4 == 0) {
            s += ",\"Aula \"\"B\"\" 2\",";
        } else {
            s += ",AULA";
            s += std::to_string(siguiente() % 40);
            s += ',';
        }
        if (siguiente() % 3 != 0) {
            s += "2024-09-";
            s += std::to_string(10 + siguiente() % 20);
        }
        s += ",S,N,,";
        s += std::to_string(siguiente() % 1000);
        s += "\r\n";
        return s;
    }

private:
    std::uint32_t siguiente()
    {
        estado_ = estado_ * 1664525u + 1013904223u;
        return estado_ >> 8;
    }
    std::uint32_t estado_ = 12345;
};

// The file, made once per run in the temporary folder and removed at exit.
struct Archivo {
    fs::path ruta = fs::temp_directory_path() / ("csv_bench." + std::to_string(::getpid()) + ".csv");
    std::size_t bytes = 0;
    std::size_t lineas = 0;

    Archivo()
    {
        std::ofstream out(ruta, std::ios::binary);
        Generador g;
        out << "dni,nombre,grupo,materia,horas,aula,fecha,a,b,c,orden\r\n";
        std::string bloque;
        while (bytes < kTamArchivo) {
            bloque.clear();
            for (int i = 0; i < 1000; ++i, ++lineas)
                bloque += g.linea();
            out << bloque;
            bytes += bloque.size();
        }
    }
    ~Archivo() { fs::remove(ruta); }
};

const Archivo& archivo()
{
    static const Archivo a;
    return a;
}

// Shown as MB=N/s: decimal megabytes per second.
void ponVelocidad(benchmark::State& state, std::size_t bytesPorIteracion)
{
    const auto total = static_cast<double>(bytesPorIteracion) * static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    state.counters["MB"] = benchmark::Counter(total / 1e6, benchmark::Counter::kIsRate);
}

// The whole file as a builder reads it: header dropped, then every line decoded and split.
void LeeArchivoCompleto(benchmark::State& state)
{
    const Archivo& a = archivo();
    std::size_t campos = 0;
    for (auto _ : state) {
        csv::LectorCSV lector;
        lector.Abrir(a.ruta.string());
        lector.SaltaLinea();
        while (!lector.Fin())
            campos += static_cast<std::size_t>(lector.Siguiente().Cuenta());
        lector.Cerrar();
    }
    benchmark::DoNotOptimize(campos);
    if (campos != a.lineas * 11 * static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("wrong number of fields");
    ponVelocidad(state, a.bytes);
}
BENCHMARK(LeeArchivoCompleto)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// The two halves on lines already in memory, to see where the time goes.
std::vector<std::string> lineasEnMemoria(std::size_t& bytes)
{
    Generador g;
    std::vector<std::string> lineas;
    bytes = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string l = g.linea();
        l.resize(l.size() - 2);
        bytes += l.size();
        lineas.push_back(std::move(l));
    }
    return lineas;
}

void SoloDecodifica(benchmark::State& state)
{
    std::size_t bytes;
    const auto lineas = lineasEnMemoria(bytes);
    std::string texto;
    for (auto _ : state)
        for (const auto& l : lineas) {
            csv::DecodificaLinea(l, texto);
            benchmark::DoNotOptimize(texto.data());
        }
    ponVelocidad(state, bytes);
}
BENCHMARK(SoloDecodifica)->Unit(benchmark::kMillisecond);

void SoloDivide(benchmark::State& state)
{
    std::size_t bytes;
    const auto lineas = lineasEnMemoria(bytes);
    std::vector<std::string> textos;
    for (const auto& l : lineas)
        textos.push_back(csv::DecodificaLinea(l));
    csv::RegistroCSV registro;
    for (auto _ : state)
        for (const auto& t : textos) {
            csv::DivideCampos(t, registro);
            benchmark::DoNotOptimize(registro.Cuenta());
        }
    ponVelocidad(state, bytes);
}
BENCHMARK(SoloDivide)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
