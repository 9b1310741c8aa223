// The sample centre in samples/ imported whole.
#include "centro.h"

using namespace prueba;

using Muestra = Centro;

TEST_F(Muestra, ImportsTheSampleCentre)
{
    const std::string muestras = std::string(SOURCE_DIR) + "/samples";
    ASSERT_TRUE(fs::exists(muestras + "/zare/convocatoriasCentro.csv"));
    const std::string convocatoria = Divide(Lee(muestras + "/convocatoria.txt"), '\n')[0];
    const Salida s = Transorbelin({"importar", muestras + "/zare", convocatoria, muestras + "/niveles.csv"});
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    EXPECT_EQ(s.salida, "Proceso finalizado\n");

    // Every stored code is unique where the code lists hand codes out.
    for (const auto& [tabla, campo] : std::vector<std::pair<std::string, std::string>>{
             {"GRUPOST.DBF", "ABREV"}, {"PROFT.DBF", "ABREV"}, {"AULAT.DBF", "ABREV"}, {"ASIGNOMT.DBF", "COD"}}) {
        const auto codigos = Tabla(tabla).Columna(campo);
        EXPECT_GT(codigos.size(), 5u) << tabla;
        std::set<std::string> distintos(codigos.begin(), codigos.end());
        EXPECT_EQ(distintos.size(), codigos.size()) << tabla;
    }
    EXPECT_GT(Tabla("ASIGT.DBF").registros.size(), 50u);
}
