// Teaching assignments in ASIGT.DBF.
#include "centro.h"

using namespace prueba;

class Asignaciones : public Centro {
protected:
    void SetUp() override
    {
        Centro::SetUp();
        archivos["gruposCentro.csv"] = "h\n"
                                       "2026,C1,G1,A,\"1 ESO\",1A\n"
                                       "2026,C1,G2,B,\"1 ESO\",1B\n"
                                       "2026,C2CODIGOLARGO9999,G3,A,\"2 ESO\",2A\n";
        archivos["subgruposCentro.csv"] = "h\nG1,S1,Desdobre,Lab,L\n";
        niveles = kCabeceraNiveles + "\"C1\",\"1 ESO\",\"M\",\"ESO\",\"1\"\n"
                                     "\"C2CODIGOLA\",\"2 ESO\",\"M\",\"ESO\",\"2\"\n";
        archivos["materiasHorarioOfertaCentro.csv"] = "h\n"
                                                      "M1,C1,T1,MAT,Mates,MAT\n"
                                                      "M2,C1,0,LG,Galego,LG\n"
                                                      "M3,C1,0,MAT,Mates,MAT\n"
                                                      "M4,c1,0,FIS,Fisica,FIS\n"
                                                      "M5,C2CODIGOLARGO9999,0,BIO,Bio,BIO\n"
                                                      "M6,C1,X9,QUI,Quimica,QUI\n";
        archivos["actividadesProfesor.csv"] = "codigo,longo,nome\nT1,TITOR,Titoria\n";
    }
};

TEST_F(Asignaciones, EveryGroupWithEverySubjectOfItsCourse)
{
    const Salida s = Importa();
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    SALTA_SIN_DBFCHECK();
    const TablaLeida t = Tabla("ASIGT.DBF");
    std::vector<std::string> pares;
    for (std::size_t i = 0; i < t.registros.size(); ++i)
        pares.push_back(t.Valor(i, "CASIG") + "/" + t.Valor(i, "CGRUP"));
    // Subgroup rows, courses that differ in letter case and course codes cut in GRUPOST give none.
    ASSERT_EQ(pares, (std::vector<std::string>{"MAT/ESO1A", "LG/ESO1A", "QUI/ESO1A", "MAT/ESO1B", "LG/ESO1B",
                                               "QUI/ESO1B"}));
    EXPECT_EQ(t.registros[0], (std::vector<std::string>{"MAT", "", "ESO1A", "", "M", "ESO", "1", "A", "4",
                                                        "1111", "", "G1", "C1", "T1"}));
    EXPECT_EQ(t.Valor(1, "CTAREA"), "");
    EXPECT_EQ(t.Valor(2, "CTAREA"), "");  // X9 is no activity
    // The next group's first row takes its own group's values and its subject's task, looked up
    // for the group before; its further rows are copies of it.
    EXPECT_EQ(t.registros[3], (std::vector<std::string>{"MAT", "", "ESO1B", "", "M", "ESO", "1", "B", "4",
                                                        "1111", "", "G2", "C1", "T1"}));
    EXPECT_EQ(t.registros[5], (std::vector<std::string>{"QUI", "", "ESO1B", "", "M", "ESO", "1", "B", "4",
                                                        "1111", "", "G2", "C1", ""}));
    std::vector<std::string> tipos;
    for (const auto& c : t.campos)
        tipos.push_back(c[0] + ":" + c[1]);
    EXPECT_EQ(tipos, (std::vector<std::string>{"CASIG:C", "CPROF:C", "CGRUP:C", "CAULA:C", "TURNO:C",
                                                "NIVEL:C", "CURSO:C", "GRUPO:C", "HORAS:O", "SESIONES:C",
                                                "NCONEX:C", "CLAVE:C", "CLAVECURSO:C", "CTAREA:C"}));
}
