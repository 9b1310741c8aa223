// Groups and subgroups in GRUPOST.DBF.
#include "centro.h"

#include "import/importacion.h"
#include "store/paths.h"
#include "store/table.h"

#include <regex>

using namespace prueba;

namespace {

const std::string kDosCursos =
    "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n"
    "\"C1\",\"1 ESO\",\"M\",\"ESO\",\"1\"\n"
    "\"C2\",\"Primeiro de Bacharelato\",\"T\",\"BAC\",\"1\"\n";

struct MensajesAnotados : import::Mensajes {
    std::vector<std::string> textos;
    void Muestra(const std::string& texto) override { textos.push_back(texto); }
};

}  // namespace

class Grupos : public Centro {
protected:
    void SetUp() override
    {
        Centro::SetUp();
        niveles = kDosCursos;
    }
};

// The help page on the course sheet gives an example of the codes groups get: an import with
// its values gives those codes.
TEST_F(Grupos, TheHelpPagesExampleIsWhatTheImportDoes)
{
    const std::string pagina = Lee(RutaCompilada(SOURCE_DIR) + "/help/cursos.html");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(pagina, m,
                                  std::regex("con NIVEL <code>(\\w+)</code> y\\s+CURSO <code>(\\w+)</code> los "
                                             "grupos (\\w) y (\\w) de ese curso quedan como <code>(\\w+)</code>, "
                                             "<code>(\\w+)</code>")));
    niveles = kCabeceraNiveles + "\"C1\",\"1 ESO\",\"M\",\"" + m[1].str() + "\",\"" + m[2].str() + "\"\n";
    archivos["gruposCentro.csv"] = "h\n2026,C1,G1," + m[3].str() + ",\"1 ESO\",x\n2026,C1,G2," + m[4].str() +
                                   ",\"1 ESO\",y\n";
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("GRUPOST.DBF").Columna("ABREV"), (std::vector<std::string>{m[5].str(), m[6].str()}));
}

TEST_F(Grupos, CodesFromLevelCourseAndNameKeptApart)
{
    archivos["gruposCentro.csv"] =
        "h\n"
        "2026,C1,G1,A,\"1 ESO\",1A\n"
        "2026,C1,G2,A,\"1 ESO\",1A-bis\n"
        "2026,C1,G3,A,\"1 ESO\",1A-ter\n"
        "2026,C1,G4,a,\"1 ESO\",1a\n"
        "2025,C1,G5,Z,\"1 ESO\",1Z\n"          // another call
        "2026,C1,G6,B,\"Outro nome\",XB\n"     // a course name that CURSOST lacks
        "2026,C2,G7,\"Ciencias e Tecnolox\xC3\xAD" "a\",\"Primeiro de Bacharelato\",\"1\xC2\xBA CT\"\n";
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("GRUPOST.DBF");
    ASSERT_EQ(t.Columna("ABREV"),
              (std::vector<std::string>{"ESO1A", "ESO1AA", "ESO1AB", "ESO1aC", "BAC1Cienci"}));
    EXPECT_EQ(t.Columna("CODGRUZARE"), (std::vector<std::string>{"G1", "G2", "G3", "G4", "G7"}));
    EXPECT_FALSE(fs::exists(ztemp + "/GRUPOST.MDX"));

    // Every field of one group row.
    EXPECT_EQ(t.registros[4], (std::vector<std::string>{
                                  "BAC1Cienci", "T", "BAC", "1", "Ci",
                                  "", "Primeiro de Bacharelato / Ciencias e Tecnolox\xED" "a", "",
                                  "G7", "", "C2", "Ciencias e Tecnolox\xED" "a", "1\xBA CT", "", "",
                                  "Primeiro de Bacharelato"}));
    std::vector<std::string> tamanos;
    for (const auto& c : t.campos)
        tamanos.push_back(c[0] + ":" + c[1] + c[2]);
    EXPECT_EQ(tamanos, (std::vector<std::string>{
                           "ABREV:C10", "TURNO:C1", "NIVEL:C5", "CURSO:C3", "GRUPO:C2",
                           "NUMALUMN:C2", "DESCRIP:C80", "TUTOR:C10", "CODGRUZARE:C15",
                           "CODSUBGRUZARE:C15", "CODCURSOZARE:C15", "NOMEGRUPOZARE:C100",
                           "NOMEABREVGRUPZARE:C100", "NOMESUBGRUZARE:C100",
                           "NOMEABREVSUBGRUZARE:C100", "NOMECURSOZARE:C100"}));
}

TEST_F(Grupos, LongBasesNeverShareAStoredCode)
{
    archivos["gruposCentro.csv"] = "h\n"
                                   "2026,C1,G1,ABCDEFG,\"1 ESO\",x\n"
                                   "2026,C1,G2,ABCDEFH,\"1 ESO\",x\n"
                                   "2026,C1,G3,ABCDEF,\"1 ESO\",x\n";
    ASSERT_EQ(Importa().estado, 0);
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("GRUPOST.DBF").Columna("ABREV"),
              (std::vector<std::string>{"ESO1ABCDEF", "ESO1ABCDEA", "ESO1ABCDEB"}));
}

TEST_F(Grupos, ShortLineEndsTheRunKeepingEarlierRows)
{
    archivos["gruposCentro.csv"] = "h\n2026,C1,G1,A,\"1 ESO\",1A\n2026,C1,G2,B,\"1 ESO\"\n";
    const Salida s = Importa();
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (5)\ngruposCentro.csv, l\xC3\xADnea 3\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("GRUPOST.DBF").Columna("ABREV"), std::vector<std::string>{"ESO1A"});
    // No later builder ran: not even the subjects', whose tables are built while the groups are.
    NadaDe({"ASIGNOMT.DBF", "ASIGNOMT2.DBF", "PROFT.DBF"});
}

TEST_F(Grupos, SubgroupsNumberedAfterTheirParent)
{
    archivos["gruposCentro.csv"] = "h\n"
                                   "2026,C1,G1,A,\"1 ESO\",1A\n"
                                   "2026,C1,G2,A1,\"1 ESO\",1A1\n"      // holds ESO1A1 already
                                   "2026,C1,G3,ABCDEF,\"1 ESO\",1L\n";  // a ten-character code
    std::string sub = "h\n";
    for (int n = 1; n <= 10; ++n)
        sub += "G1,S" + std::to_string(n) + ",Desdobre,\"Grupo " + std::to_string(n) + "\",D" + std::to_string(n) + "\n";
    sub += "G3,T1,Lab,Primeiro,L1\nG3,T2,Lab,Segundo,L2\nG3,T3,Lab,Terceiro,L3\nGX,Z1,a,b,c\n";
    archivos["subgruposCentro.csv"] = sub;
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("GRUPOST.DBF");
    ASSERT_EQ(t.Columna("ABREV"),
              (std::vector<std::string>{"ESO1A", "ESO1A1", "ESO1ABCDEF", "ESO1A2", "ESO1A3", "ESO1A4",
                                        "ESO1A5", "ESO1A6", "ESO1A7", "ESO1A8", "ESO1A9", "ESO1A10",
                                        "ESO1A11", "ESO1ABCDE1", "ESO1ABCDE2", "ESO1ABCDE3"}));
    const auto grupo = t.Columna("GRUPO");
    EXPECT_EQ(grupo[3], "2");
    EXPECT_EQ(grupo[11], "0");
    EXPECT_EQ(grupo[15], "3");
    // A subgroup row: the parent's codes and names, its own code, names and description.
    EXPECT_EQ(t.registros[3], (std::vector<std::string>{
                                  "ESO1A2", "M", "ESO", "1", "2", "", "Desdobre (Grupo 1)", "", "G1",
                                  "S1", "C1", "A", "1A", "Grupo 1", "D1", "1 ESO"}));
}

TEST_F(Grupos, SubgroupShortLineReadsColumnsOneThreeFourTwo)
{
    archivos["subgruposCentro.csv"] = "h\nG1,S1,Texto,Nome,N\nG1,S2,Texto,Nome\nG1\n";
    const Salida s = Importa();
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (4)\nsubgruposCentro.csv, l\xC3\xADnea 3\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("GRUPOST.DBF").Columna("ABREV"), (std::vector<std::string>{"ESO1A", "ESO1A1"}));
}

TEST_F(Grupos, MissingFilesGiveTheirMessages)
{
    archivos.erase("subgruposCentro.csv");
    Salida s = Importa();
    EXPECT_EQ(s.estado, 0);  // a missing subgroup file leaves the result code alone
    EXPECT_EQ(s.salida, "No existe archivo de Sub-Grupos (subgruposCentro.CSV)\nProceso finalizado\n");

    // Without the group file the courses are empty, so the builder is reached directly.
    store::setDriveC(Texto(raiz.ruta()));
    import::EstadoConversion estado;
    estado.CarpetaCSV = raiz / "vacia/";
    fs::create_directories(raiz / "vacia");
    MensajesAnotados mensajes;
    import::Importacion importacion(estado, mensajes);
    importacion.ImportaGrupos();
    importacion.ImportaSubgrupos();
    store::setDriveC("");
    EXPECT_EQ(mensajes.textos, (std::vector<std::string>{
                                   "No existe archivo de Grupos (gruposCentro.CSV)",
                                   "No existe archivo de Sub-Grupos (subgruposCentro.CSV)"}));
    EXPECT_EQ(estado.EstadoTransformacion, -1);
    SALTA_SIN_DBFCHECK();
    EXPECT_TRUE(Tabla("GRUPOST.DBF").registros.empty());

    fs::remove(ztemp + "/GRUPOST.DBF");
    store::setDriveC(Texto(raiz.ruta()));
    importacion.ImportaSubgrupos();
    store::setDriveC("");
    EXPECT_EQ(mensajes.textos.back(), "No existe archivo de Grupos (GRUPOST.DBF)");
}

// A subgroup starts as a copy of its parent's row, but the parent's pupils and tutor, which
// another program may have filled in since, are not the subgroup's: they stay blank.
TEST_F(Grupos, ASubgroupTakesItsParentsCodesButNotItsPupilsOrTutor)
{
    ASSERT_EQ(Importa().estado, 0);
    store::setDriveC(Texto(raiz.ruta()));
    {
        store::Table grupos("\\ZTEMP", "GRUPOST");
        grupos.open(store::Access::Exclusive);
        grupos.first();
        grupos.edit();
        grupos.setText("NUMALUMN", "25");
        grupos.setText("TUTOR", "PROF1");
        grupos.post();
        grupos.close();
    }
    Escribe(zare + "/subgruposCentro.csv", "h\nG1,S1,Desdobre,\"Grupo 1\",D1\n");
    import::EstadoConversion estado;
    estado.CarpetaCSV = zare + "/";
    MensajesAnotados mensajes;
    import::Importacion(estado, mensajes).ImportaSubgrupos();
    store::setDriveC("");
    EXPECT_TRUE(mensajes.textos.empty());
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("GRUPOST.DBF");
    ASSERT_EQ(t.registros.size(), 2u);
    EXPECT_EQ(t.registros[0][t.Indice("TUTOR")], "PROF1");
    EXPECT_EQ(t.registros[1], (std::vector<std::string>{"ESO1A1", "M", "ESO", "1", "1", "", "Desdobre (Grupo 1)", "",
                                                        "G1", "S1", "C1", "A", "1A", "Grupo 1", "D1", "1 ESO"}));
}
