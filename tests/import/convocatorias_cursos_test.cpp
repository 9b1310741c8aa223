// Calls, courses, the course codes and the incomplete-courses stop, through `transorbelin`.
#include "centro.h"

using namespace prueba;

using Convocatorias = Centro;

TEST_F(Convocatorias, ListsEveryLineInFileOrder)
{
    archivos["convocatoriasCentro.csv"] =
        "\xEF\xBB\xBF" "conv,desc\n2026,\"Curso 2026, ordinaria\"\n2026,Duplicada\n"
        "CONVOCATORIA1234,\"A\xC3\xB1o largo\"\n2025,dos palabras\n";
    EscribeArchivos();
    const Salida s = Transorbelin({"convocatorias", zare});
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(s.salida, "2026\tCurso 2026, ordinaria\n2026\tDuplicada\nCONVOCATOR\tA\xC3\xB1o largo\n2025\tdos\n");
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("CONVOCAZARE.DBF");
    ASSERT_EQ(t.campos.size(), 2u);
    EXPECT_EQ(t.campos[0], (std::vector<std::string>{"CONVOCATORIA", "C", "10", "0"}));
    EXPECT_EQ(t.campos[1], (std::vector<std::string>{"DESCRIPCION", "C", "60", "0"}));
    EXPECT_EQ(t.Columna("DESCRIPCION")[2], "A\xF1o largo");
    EXPECT_FALSE(fs::exists(ztemp + "/CONVOCAZARE.MDX"));
}

TEST_F(Convocatorias, MissingFileLeavesAnEmptyTable)
{
    archivos.erase("convocatoriasCentro.csv");
    EscribeArchivos();
    const Salida s = Transorbelin({"convocatorias", zare});
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida, "No existe archivo de Convocatorias(convocatoriasCentro.CSV)\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_TRUE(Tabla("CONVOCAZARE.DBF").registros.empty());
}

TEST_F(Convocatorias, ShortLineStopsKeepingTheRecordsBefore)
{
    archivos["convocatoriasCentro.csv"] = "conv,desc\n2026,Uno\n2025\n2024,Tres\n";
    EscribeArchivos();
    Salida s = Transorbelin({"convocatorias", zare});
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (1)\nconvocatoriasCentro.csv, l\xC3\xADnea 3\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("CONVOCAZARE.DBF").Columna("CONVOCATORIA"), std::vector<std::string>{"2026"});

    archivos["convocatoriasCentro.csv"] = "conv,desc\n2026,Uno\n\n";
    EscribeArchivos();
    s = Transorbelin({"convocatorias", zare});
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (0)\nconvocatoriasCentro.csv, l\xC3\xADnea 3\n");
}

TEST_F(Convocatorias, MissingFolderAndWorkFolder)
{
    EscribeArchivos();
    Salida s = Transorbelin({"convocatorias", raiz / "no-existe"});
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida, "No existe la carpeta\n");

    fs::remove_all(ztemp);
    s = Transorbelin({"convocatorias", zare});
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("ZTEMP"), std::string::npos) << s.errores;
}

TEST_F(Convocatorias, WrongUsage)
{
    EXPECT_EQ(Transorbelin({}).estado, 64);
    EXPECT_EQ(Transorbelin({"convocatorias"}).estado, 64);
    EXPECT_EQ(Transorbelin({"importar", zare, "2026"}).estado, 64);
    EXPECT_EQ(Transorbelin({"otra", zare}).estado, 64);
}

using Cursos = Centro;

TEST_F(Cursos, OneRowPerCourseOfTheSelectedCallInFirstOccurrenceOrder)
{
    archivos["convocatoriasCentro.csv"] = "c,d\n2026,A\n2025,B\n";
    archivos["gruposCentro.csv"] =
        "h\n"
        "2026,C2,G1,A,\"2 ESO\",2A\n"
        "2025,C9,G9,A,\"Outra\",9A\n"      // another call
        "2026,C1,G2,A,\"1 ESO\",1A\n"
        "2026,C2,G3,B,\"Segundo\",2B\n"    // same code, other name: the first stays
        "2026,C3,G4,A,\"1 ESO\",1A\n"      // same name, other code: a row of its own
        "2026X,C8,G8,A,\"Oito\",8A\n";     // call codes compare exactly
    EscribeArchivos();
    const Salida s = Transorbelin({"cursos", zare, "2026"});
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(s.salida, kCabeceraNiveles +
                            "\"C2\",\"2 ESO\",\"\",\"\",\"\"\n"
                            "\"C1\",\"1 ESO\",\"\",\"\",\"\"\n"
                            "\"C3\",\"1 ESO\",\"\",\"\",\"\"\n");
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("CURSOST.DBF");
    std::vector<std::string> nombres;
    for (const auto& c : t.campos)
        nombres.push_back(c[0] + ":" + c[2]);
    EXPECT_EQ(nombres, (std::vector<std::string>{"ABREV:3", "TURNO:1", "NIVEL:5", "CURSO:3",
                                                  "NOMECURSO:50", "CODCURSO:10"}));
    const Salida tags = Dbfcheck({"tags", ztemp + "/CURSOST.DBF"});
    EXPECT_NE(tags.salida.find("CODCURSO"), std::string::npos) << tags.salida << tags.errores;
    EXPECT_EQ(Dbfcheck({"find", ztemp + "/CURSOST.DBF", "CODCURSO", "C3"}).salida, "found\t3\n");
}

TEST_F(Cursos, UnknownCallAndMissingGroupFile)
{
    EscribeArchivos();
    Salida s = Transorbelin({"cursos", zare, "2030"});
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "No existe la convocatoria 2030\n");

    archivos.erase("gruposCentro.csv");
    fs::remove_all(zare);
    EscribeArchivos();
    s = Transorbelin({"cursos", zare, "2026"});
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida, "No existe archivo de Grupos(gruposCentro.CSV)\n" + kCabeceraNiveles);
}

TEST_F(Cursos, ShortLineOfTheCallFailsOnTheCourseName)
{
    archivos["gruposCentro.csv"] = "h\n2026,C1,G1,A,\"1 ESO\",1A\n2025\n2026,C2,G2\n2026,C3,G3,A,x,y\n";
    EscribeArchivos();
    const Salida s = Transorbelin({"cursos", zare, "2026"});
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (4)\ngruposCentro.csv, l\xC3\xADnea 4\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("CURSOST.DBF").Columna("CODCURSO"), std::vector<std::string>{"C1"});
}

using Niveles = Centro;

TEST_F(Niveles, IncompleteCourseStopsBeforeAnyBuilder)
{
    archivos["gruposCentro.csv"] = "h\n2026,C1,G1,A,\"1 ESO\",1A\n2026,C2,G2,A,\"2 ESO\",2A\n";
    niveles = kCabeceraNiveles + "\"C1\",\"1 ESO\",\"\",\"ESO\",\"1\"\n\"C2\",\"2 ESO\",\"M\",\"   \",\"2\"\n";
    const Salida s = Importa();
    EXPECT_EQ(s.estado, 3);
    EXPECT_EQ(s.salida,
              "!!!!!!! ATENCI\xC3\x93N !!!!!!!  Existe alg\xC3\xBAn NIVEL o CURSO, sin contenido. "
              "Debe completar todos los datos en la columna NIVEL y CURSO.\n");
    EXPECT_FALSE(fs::exists(ztemp + "/GRUPOST.DBF"));
}

TEST_F(Niveles, NoCourseOfTheCallIsIncomplete)
{
    archivos["gruposCentro.csv"] = "h\n2025,C1,G1,A,\"1 ESO\",1A\n";
    EXPECT_EQ(Importa().estado, 3);
}

TEST_F(Niveles, ValuesAreCutToTheFieldSizes)
{
    niveles = kCabeceraNiveles + "\"C1\",\"1 ESO\",\"MT\",\"BACHILLER\",\"1234\"\n";
    const Salida s = Importa();
    EXPECT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("CURSOST.DBF");
    EXPECT_EQ(t.Valor(0, "TURNO"), "M");
    EXPECT_EQ(t.Valor(0, "NIVEL"), "BACHI");
    EXPECT_EQ(t.Valor(0, "CURSO"), "123");
    EXPECT_EQ(s.salida, "Proceso finalizado\n");
}
