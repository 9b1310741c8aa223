// Any bytes as a table and its production index: opened, walked in record order and in the
// order of every tag, every field read in every way, searched by locate and by key, and
// written to. The engine may refuse a damaged file with an EngineError; anything else (a
// crash, another exception, a read out of bounds, a hang) is a fault.
//
// Input: byte 0 holds options (bit 0: open exclusive; bit 1: also write), bytes 1 and 2 the
// length of the ".DBF" part (little-endian, cut to what follows), then the ".DBF" bytes, then
// the ".MDX" bytes (none: no index file).
#include "files/process.h"
#include "store/errors.h"
#include "store/paths.h"
#include "store/table.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A drive C: of its own per fuzzing process, with ZTEMP, removed at exit.
struct Unidad {
    fs::path raiz;
    Unidad()
    {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        raiz = base / ("tabla_fuzz." + std::to_string(files::processId()));
        fs::create_directories(raiz / "ZTEMP");
        store::setDriveC(raiz.string());
    }
    ~Unidad()
    {
        std::error_code ec;
        fs::remove_all(raiz, ec);
    }
};

const Unidad& unidad()
{
    static const Unidad u;
    return u;
}

void escribe(const fs::path& ruta, const std::uint8_t* datos, std::size_t tam)
{
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    if (!f.write(reinterpret_cast<const char*>(datos), static_cast<std::streamsize>(tam)) || !f.flush())
        std::abort();
}

// Runs one operation; the engine may refuse it.
template <typename F>
void intenta(F&& operacion)
{
    try {
        operacion();
    } catch (const store::EngineError&) {
    }
}

// Every field of the current record read in every way; gives the texts read.
std::vector<std::string> leeCampos(store::Table& t)
{
    std::vector<std::string> textos;
    for (const store::FieldDef& campo : t.fields()) {
        std::string texto;
        intenta([&] { texto = t.asText(campo.name); });
        intenta([&] { (void)t.asInteger(campo.name); });
        intenta([&] { (void)t.asFloat(campo.name); });
        intenta([&] { (void)t.asBool(campo.name); });
        intenta([&] { (void)t.isBlank(campo.name); });
        textos.push_back(texto);
    }
    return textos;
}

// Walks the current order from the first record, at most `limite` records; gives the texts of
// the first record it reads.
std::vector<std::string> recorre(store::Table& t, int limite)
{
    std::vector<std::string> primeros;
    intenta([&] { t.first(); });
    for (int i = 0; i < limite && !t.eof(); ++i) {
        std::vector<std::string> textos = leeCampos(t);
        if (i == 0)
            primeros = std::move(textos);
        intenta([&] { t.next(); });
    }
    intenta([&] { t.last(); });
    intenta([&] { t.prior(); });
    intenta([&] { (void)t.recNo(); });
    return primeros;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tam)
{
    if (tam < 3)
        return 0;
    const fs::path ztemp = unidad().raiz / "ZTEMP";
    const bool exclusiva = datos[0] & 1;
    const bool escribir = datos[0] & 2;
    const std::size_t tamDbf = std::min<std::size_t>(datos[1] | std::size_t(datos[2]) << 8, tam - 3);
    escribe(ztemp / "T.DBF", datos + 3, tamDbf);
    std::error_code ec;
    fs::remove(ztemp / "T.MDX", ec);
    if (tam - 3 > tamDbf)
        escribe(ztemp / "T.MDX", datos + 3 + tamDbf, tam - 3 - tamDbf);

    store::Table t("\\ZTEMP", "T");
    try {
        t.open(exclusiva ? store::Access::Exclusive : store::Access::Shared);
    } catch (const store::EngineError&) {
        return 0;
    }
    std::vector<store::FieldDef> campos = t.fields();
    const std::vector<std::string> primeros = recorre(t, 64);

    for (std::size_t i = 0; i < campos.size() && i < primeros.size(); ++i) {
        intenta([&] { (void)t.locate(campos[i].name, {primeros[i]}); });
        intenta([&] { (void)t.locate(campos[i].name, {1.0}); });
        intenta([&] { (void)t.locate(campos[i].name, {true}); });
    }
    if (campos.size() >= 2 && primeros.size() >= 2)
        intenta([&] { (void)t.locate(campos[0].name + ";" + campos[1].name, {primeros[0], primeros[1]}); });

    // Tags are named after their fields in the tables this program writes; any other name is
    // refused as a missing tag.
    for (std::size_t i = 0; i < campos.size(); ++i) {
        bool activa = false;
        intenta([&] {
            t.setIndex(campos[i].name);
            activa = true;
        });
        if (!activa)
            continue;
        recorre(t, 64);
        if (i < primeros.size())
            intenta([&] { (void)t.findKey({primeros[i]}); });
        intenta([&] { (void)t.findKey({0.0}); });
    }
    intenta([&] { t.setIndex(""); });

    if (escribir && !campos.empty()) {
        intenta([&] {
            t.append();
            t.setText(campos[0].name, "FUZZ");
            t.post();
        });
        intenta([&] { t.cancel(); });
        intenta([&] {
            t.goTo(1);
            t.edit();
            t.setText(campos[0].name, primeros.empty() ? std::string("Z") : primeros[0] + "Z");
            t.post();
        });
        intenta([&] { t.cancel(); });
        intenta([&] { t.deleteRecord(); });
        recorre(t, 8);
    }
    intenta([&] { t.close(); });
    return 0;
}
