// The sample centre in samples/ imported whole.
#include "centro.h"

using namespace prueba;

using Muestra = Centro;

TEST_F(Muestra, ImportsTheSampleCentre)
{
    const std::string muestras = RutaCompilada(SOURCE_DIR) + "/samples";
    ASSERT_TRUE(fs::exists(muestras + "/zare/convocatoriasCentro.csv"));
    const Salida s = Transorbelin({"importar", muestras + "/zare", "2026", muestras + "/niveles.csv"});
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    EXPECT_EQ(s.salida, "Proceso finalizado\n");

    // Every stored code is unique where the code lists hand codes out.
    for (const auto& [tabla, campo] : std::vector<std::pair<std::string, std::string>>{
             {"GRUPOST.DBF", "ABREV"}, {"PROFT.DBF", "ABREV"}, {"AULAT.DBF", "ABREV"}, {"ASIGNOMT.DBF", "COD"}}) {
        SALTA_SIN_DBFCHECK();
        const auto codigos = Tabla(tabla).Columna(campo);
        std::set<std::string> distintos(codigos.begin(), codigos.end());
        EXPECT_EQ(distintos.size(), codigos.size()) << tabla;
    }
    const std::vector<std::pair<std::string, std::size_t>> totales = {
        {"CONVOCAZARE.DBF", 3}, {"CURSOST.DBF", 20}, {"GRUPOST.DBF", 53},  {"ASIGNOMT.DBF", 97},
        {"ASIGNOMT2.DBF", 168}, {"PROFT.DBF", 60},   {"AULAT.DBF", 31},    {"ASIGT.DBF", 350}};
    for (const auto& [tabla, filas] : totales)
        EXPECT_EQ(Tabla(tabla).registros.size(), filas) << tabla;
}
