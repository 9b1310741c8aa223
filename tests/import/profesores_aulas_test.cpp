// Teachers in PROFT.DBF and classrooms in AULAT.DBF.
#include "centro.h"

using namespace prueba;

using Profesores = Centro;

TEST_F(Profesores, OneRowPerEmployeeWithCapitalsCode)
{
    archivos["profesoresGrupoCentro.csv"] =
        "empregado,grupo,nome\n"
        "E1,G1,\"Ana P\xC3\xA9rez Ruiz\"\n"
        "E1,G2,\"Ana P\xC3\xA9rez Ruiz (outra)\"\n"
        "E2,G1,\"Alberto Paz Rey\"\n"
        "E3,G1,\"Andr\xC3\xA9s Pino R\xC3\xADos\"\n"
        "E4,G1,GARCIALOPEZMARIA\n"
        "E5,G1,GARCIALOPEZJUAN\n"
        "E6,G1,\"\xC3\xA1ngel n\xC3\xBA\xC3\xB1" "ez\"\n"
        "E7,G1,outro\n";
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("PROFT.DBF");
    ASSERT_EQ(t.Columna("ABREV"),
              (std::vector<std::string>{"APR", "APR1", "APR2", "GARCIALOPE", "GAR1", "", "1"}));
    EXPECT_EQ(t.registros[0], (std::vector<std::string>{"APR", "Ana P\xE9rez Ruiz", "", "", "E1"}));
    EXPECT_EQ(t.Columna("X_EMPLEADO"),
              (std::vector<std::string>{"E1", "E2", "E3", "E4", "E5", "E6", "E7"}));

    // The tag on ABREV, as the other engine sees and searches it.
    const Salida tags = Dbfcheck({"tags", ztemp + "/PROFT.DBF"});
    EXPECT_NE(tags.salida.find("ABREV"), std::string::npos) << tags.salida << tags.errores;
    EXPECT_EQ(Dbfcheck({"find", ztemp + "/PROFT.DBF", "ABREV", "APR1"}).salida, "found\t2\n");
    EXPECT_EQ(Dbfcheck({"find", ztemp + "/PROFT.DBF", "ABREV", "GAR1"}).salida, "found\t5\n");
    EXPECT_EQ(Dbfcheck({"find", ztemp + "/PROFT.DBF", "ABREV", "XYZ"}).salida, "not found\n");
}

TEST_F(Profesores, HeaderOnlyGivesAnEmptyIndexedTable)
{
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0);
    SALTA_SIN_DBFCHECK();
    EXPECT_TRUE(Tabla("PROFT.DBF").registros.empty());
    EXPECT_NE(Dbfcheck({"tags", ztemp + "/PROFT.DBF"}).salida.find("ABREV"), std::string::npos);
}

TEST_F(Profesores, ShortLineAndMissingFile)
{
    archivos["profesoresGrupoCentro.csv"] = "h\nE1,G1,Ana\nE2,G1\n";
    Salida s = Importa();
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (2)\nprofesoresGrupoCentro.csv, l\xC3\xADnea 3\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("PROFT.DBF").Columna("ABREV"), std::vector<std::string>{"A"});

    archivos.erase("profesoresGrupoCentro.csv");
    fs::remove_all(zare);
    s = Importa();
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida, "No existe archivo de profesores (profesoresGrupoCentro.csv)\nProceso finalizado\n");
    EXPECT_EQ(Tabla("PROFT.DBF").Columna("ABREV"), std::vector<std::string>{"A"});  // left as it was
}

using Aulas = Centro;

TEST_F(Aulas, OneRowPerClassroomCode)
{
    archivos["aulasCentro.csv"] = "codigo,nome\n"
                                  "A1,\"Aula 1\"\n"
                                  "A1,\"Aula repetida\"\n"
                                  "a1,\"Aula min\xC3\xBAscula\"\n"
                                  "lab,Laboratorio\n"
                                  "LAB,\"Lab grande\"\n"
                                  "LABORATORIO1,x\n"
                                  "LABORATORIO2,y\n";
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("AULAT.DBF");
    ASSERT_EQ(t.Columna("ABREV"), (std::vector<std::string>{"A1", "a11", "lab", "LAB1", "LABORATORI", "LAB2"}));
    EXPECT_EQ(t.Columna("CODAULA"),
              (std::vector<std::string>{"A1", "a1", "lab", "LAB", "LABORATORI", "LABORATORI"}));
    EXPECT_EQ(t.registros[0], (std::vector<std::string>{"A1", "Aula 1", "", "", "A1"}));
    EXPECT_EQ(t.campos[3], (std::vector<std::string>{"MAXALUM", "I", "4", "0"}));
}

TEST_F(Aulas, ShortLineAndMissingFile)
{
    archivos["aulasCentro.csv"] = "h\nA1,Uno\nA2\n";
    Salida s = Importa();
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (1)\naulasCentro.csv, l\xC3\xADnea 3\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("AULAT.DBF").Columna("ABREV"), std::vector<std::string>{"A1"});

    archivos.erase("aulasCentro.csv");
    fs::remove_all(zare);
    s = Importa();
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida, "No existe archivo de Aulas (aulasCentro.CSV)\nProceso finalizado\n");
}
