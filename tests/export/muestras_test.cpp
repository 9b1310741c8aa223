// The sample centre end to end: import samples/zare with the course sheet, then export the
// sample timetable samples/orbelin, and check HORARIO.CSV against SOLUC as dbfcheck reads it.
#include "entorno.h"

#include "csv/divide_campos.h"
#include "support/proceso.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>

using namespace pruebas;

namespace {

std::vector<std::string> Campos(const std::string& linea)
{
    std::vector<std::string> campos;
    std::string campo;
    for (char c : linea) {
        if (c == '\t') {
            campos.push_back(campo);
            campo.clear();
        } else {
            campo += c;
        }
    }
    campos.push_back(campo);
    return campos;
}

class Muestras : public UnidadC {};

}  // namespace

TEST_F(Muestras, TheSampleCentreImportsAndItsTimetableExports)
{
    const fs::path muestras = prueba::Ruta(prueba::RutaCompilada(SOURCE_DIR)) / "samples";
    for (const auto& e : fs::directory_iterator(muestras / "zare"))
        fs::copy_file(e.path(), carpeta / e.path().filename());
    for (const char* tabla : {"SOLUC.DBF", "DIASHORAST.DBF"})
        fs::copy_file(muestras / "orbelin" / tabla, ztemp / tabla);

    const prueba::Salida importa = prueba::EjecutaTransorbelin(
        {"--unidad-c", prueba::Texto(raiz), "importar", prueba::Texto(carpeta), "2026",
         prueba::Texto(muestras / "niveles.csv")});
    ASSERT_EQ(importa.estado, 0) << importa.salida << importa.errores;
    const Ejecucion exporta = Exporta();
    ASSERT_EQ(exporta.estado, 0) << exporta.errores;
    EXPECT_EQ(exporta.salida, "Proceso finalizado\n");

    // Every placed entry of the sample resolves through the imported tables, so the file has
    // one line per hour of each entry and one per fractional entry.
    long esperadas = 0;
    int fraccionarias = 0;
    SALTA_SIN_DBFCHECK();
    for (const std::string& registro : Volcado(ztemp / "SOLUC.DBF", "record")) {
        const std::vector<std::string> c = Campos(registro);
        ASSERT_GE(c.size(), 7u);
        if (c[4].empty() || std::stol(c[4]) == 0)
            continue;
        const double sesiones = std::stod(c[6]);
        if (sesiones != std::trunc(sesiones)) {
            ++esperadas;
            ++fraccionarias;
        } else if (sesiones > 0) {
            esperadas += static_cast<long>(sesiones);
        }
    }
    ASSERT_GT(fraccionarias, 0);

    const std::string horario = LeeArchivo(carpeta / "HORARIO.CSV");
    const std::set<std::string> dias = {"Luns", "Martes", "M\xE9rcores", "Xoves", "Venres"};
    const std::regex hora("[0-2][0-9]:[0-5][0-9]");
    std::set<std::string> grupos, horasFraccion;
    long numero = 0;
    std::size_t inicio = 0;
    while (inicio < horario.size()) {
        const std::size_t fin = horario.find("\r\n", inicio);
        ASSERT_NE(fin, std::string::npos) << "a line without CR LF at byte " << inicio;
        const std::string linea = horario.substr(inicio, fin - inicio);
        inicio = fin + 2;
        ASSERT_EQ(linea.find_first_of("\r\n"), std::string::npos);
        const csv::RegistroCSV campos = csv::DivideCampos(linea);
        ASSERT_EQ(campos.Cuenta(), 8) << linea;
        EXPECT_EQ(campos.Campo(0), std::to_string(++numero));
        EXPECT_TRUE(dias.count(campos.Campo(1))) << linea;
        EXPECT_TRUE(std::regex_match(campos.Campo(2), hora)) << linea;
        EXPECT_FALSE(campos.Campo(5).empty()) << linea;
        EXPECT_EQ(campos.Campo(6), "") << linea;
        grupos.insert(campos.Campo(3));
        if (campos.Campo(1) == "Venres" &&
            (campos.Campo(2) == "19:00" || campos.Campo(2) == "20:30"))
            horasFraccion.insert(campos.Campo(2));
    }
    EXPECT_EQ(numero, esperadas);
    // Groups by their ZARE short names, subgroups by theirs; duties have no group.
    EXPECT_TRUE(grupos.count("1\xBA ESO A"));
    EXPECT_TRUE(grupos.count("1ESOA-L1"));
    EXPECT_TRUE(grupos.count(""));
    // The 90-minute blocks start at their DIASHORAST slots.
    EXPECT_EQ(horasFraccion, (std::set<std::string>{"19:00", "20:30"}));
}
