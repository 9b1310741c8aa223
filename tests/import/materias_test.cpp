// Subjects and activities in ASIGNOMT.DBF and ASIGNOMT2.DBF.
#include "centro.h"

using namespace prueba;

class Materias : public Centro {
protected:
    void SetUp() override
    {
        Centro::SetUp();
        archivos["materiasHorarioOfertaCentro.csv"] =
            "materia,curso,tarefa,longo,nome,abrev\n"
            "M1,C1,0,MAT,\"Matem\xC3\xA1ticas\",MAT1\n"
            "M2,C1,0,\"Lingua Galega\",\"Lingua Galega e Literatura\",LGL\n"
            "M3,C1,T1,\"Historia do Mundo Contemporaneo\",Historia,HMC\n"
            "M4,C1,0,\"Lingua Gallega\",Outra,LG2\n"
            "M1B,C2,0,MAT,\"Matem\xC3\xA1ticas II\",MAT2\n"
            "M5,C1,0,mat,\"min\xC3\xBAsculas\",m\n"
            "M6,C1,0,Matematicas,\"Matem\xC3\xA1ticas Aplicadas\",MA\n";
        archivos["materiasHorarioOfertaXeral.csv"] =
            "materia,curso,tarefa,longo,nome,abrev\n"
            "X1,C1,0,LATIN,\"Lat\xC3\xADn\",LAT\n"
            "X2,C99,0,GRIEGO,Grego,GR\n"   // a course the centre lacks, no activity: skipped
            "X3,C99,T2,FILO,Filosof\xC3\xAD" "a,FIL\n"
            "X4,C1,0,MAT,\"Matem\xC3\xA1ticas\",MAT\n";
        archivos["actividadesProfesor.csv"] =
            "codigo,longo,nome\n"
            "T1,TITOR,\"Titor\xC3\xAD" "a de grupo\"\n"
            "MAT,Math,xxx\n"     // a subject's code: skipped
            "T1,dup,dup\n"       // an earlier activity's code: skipped
            "T2,GARDA,\"Garda de patio\"\n";
    }
};

TEST_F(Materias, CatalogueAndOfferRows)
{
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida cat = Tabla("ASIGNOMT.DBF");
    ASSERT_EQ(cat.Columna("COD"), (std::vector<std::string>{"MAT", "LG", "HdMC", "LG1", "mat1", "MA",
                                                             "LATIN", "FILO", "T1", "T2"}));
    EXPECT_EQ(cat.registros[2], (std::vector<std::string>{"HdMC", "Historia d", "Historia", "False", "T1",
                                                          "Historia do Mundo Contemporaneo"}));
    EXPECT_EQ(cat.registros[8], (std::vector<std::string>{"T1", "TITOR", "Titor\xED" "a de grupo", "True", "T1",
                                                          "TITOR"}));
    EXPECT_EQ(cat.Valor(0, "CODTAREA"), "");

    const TablaLeida oferta = Tabla("ASIGNOMT2.DBF");
    ASSERT_EQ(oferta.Columna("COD"), (std::vector<std::string>{"MAT", "LG", "HdMC", "LG1", "MAT", "mat1",
                                                                "MA", "LATIN", "FILO", "MAT", "T1", "T2"}));
    EXPECT_EQ(oferta.registros[4], (std::vector<std::string>{"MAT", "MAT", "Matem\xE1ticas II", "M1B", "C2",
                                                             "False", "", "MAT2"}));
    EXPECT_EQ(oferta.registros[8], (std::vector<std::string>{"FILO", "FILO", "Filosof\xED" "a", "X3", "C99",
                                                             "False", "T2", "FIL"}));
    EXPECT_EQ(oferta.registros[11], (std::vector<std::string>{"T2", "GARDA", "Garda de patio", "", "", "True",
                                                              "T2", ""}));
    std::vector<std::string> tipos;
    for (const auto& c : oferta.campos)
        tipos.push_back(c[0] + ":" + c[1]);
    EXPECT_EQ(tipos, (std::vector<std::string>{"COD:C", "CODLARGO:C", "NOMBRE:C", "CODMATERIA:C",
                                                "CODCURSO:C", "ESTAREA:L", "CODTAREA:C", "ABREVZARE:C"}));
}

TEST_F(Materias, MissingFilesStopTheBuilderOnly)
{
    archivos.erase("materiasHorarioOfertaXeral.csv");
    Salida s = Importa();
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida,
              "No existe archivo de Materias Generales (materiasHorarioOfertaXeral.CSV)\nProceso finalizado\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("ASIGNOMT.DBF").registros.size(), 6u);
    EXPECT_TRUE(fs::exists(ztemp + "/PROFT.DBF"));  // the later builders ran

    // Without the centre file the tables of the earlier run stay as they were.
    archivos.erase("materiasHorarioOfertaCentro.csv");
    fs::remove_all(zare);
    s = Importa();
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida,
              "No existe archivo de Materias Centro (materiasHorarioOfertaCentro.CSV)\nProceso finalizado\n");
    EXPECT_EQ(Tabla("ASIGNOMT.DBF").registros.size(), 6u);
}

TEST_F(Materias, MissingActivitiesFile)
{
    archivos.erase("actividadesProfesor.csv");
    const Salida s = Importa();
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.salida, "No existe archivo de Actividades (actividadesProfesor.CSV)\nProceso finalizado\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("ASIGNOMT2.DBF").registros.size(), 10u);
}

TEST_F(Materias, ShortSubjectLineFailsOnTheLongCode)
{
    archivos["materiasHorarioOfertaCentro.csv"] = "h\nM1,C1,0,MAT,Mates,M\nM2,C1,0\n";
    const Salida s = Importa();
    EXPECT_EQ(s.estado, 2);
    EXPECT_EQ(s.errores, "List index out of bounds (3)\nmateriasHorarioOfertaCentro.csv, l\xC3\xADnea 3\n");
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("ASIGNOMT.DBF").Columna("COD"), std::vector<std::string>{"MAT"});
    EXPECT_EQ(Tabla("ASIGNOMT2.DBF").Columna("COD"), std::vector<std::string>{"MAT"});
    // The later builders did not run, not even those whose tables are built while the subjects'
    // are: nothing of theirs is left, in place or aside.
    NadaDe({"PROFT.DBF", "AULAT.DBF", "ASIGT.DBF"});
}

// A line whose long code came before is offered under the code of the catalogue row a search
// of CODLARGO2 finds. A long code with a trailing blank, or longer than the field's 50, is
// stored otherwise than it was given, so no search finds it and its later lines offer nothing.
TEST_F(Materias, ARepeatedLongCodeIsOfferedAsASearchOfTheCatalogueFindsIt)
{
    const std::string largo(60, 'L');
    archivos["materiasHorarioOfertaCentro.csv"] = "materia,curso,tarefa,longo,nome,abrev\n"
                                                  "M1,C1,0," + largo + ",Larga,L1\n"
                                                  "M2,C1,0,\"ESP \",Espazo,E1\n"
                                                  "M3,C1,0,FIS,Fisica,F1\n"
                                                  "M4,C2,0," + largo + ",Larga,L2\n"
                                                  "M5,C2,0,\"ESP \",Espazo,E2\n"
                                                  "M6,C2,0,FIS,Fisica,F2\n";
    archivos["materiasHorarioOfertaXeral.csv"] = "materia,curso,tarefa,longo,nome,abrev\n";
    archivos["actividadesProfesor.csv"] = "codigo,longo,nome\n";
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    EXPECT_EQ(Tabla("ASIGNOMT.DBF").Columna("CODLARGO2"),
              (std::vector<std::string>{std::string(50, 'L'), "ESP", "FIS"}));
    const TablaLeida oferta = Tabla("ASIGNOMT2.DBF");
    EXPECT_EQ(oferta.Columna("CODMATERIA"), (std::vector<std::string>{"M1", "M2", "M3", "M6"}));
    EXPECT_EQ(oferta.Valor(3, "COD"), oferta.Valor(2, "COD"));
}
