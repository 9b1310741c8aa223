// The export end to end: `transorbelin exportar` over tables made by the independent engine
// dbfcheck, with HORARIO.CSV, HORARIOZARECSV.DBF and PLANTILLA.DBF checked byte by byte.
#include "entorno.h"

#include "store/paths.h"
#include "store/table.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

using namespace pruebas;

namespace {

// A line of HORARIO.CSV as ZARE reads it, the empty RESERVADO included.
std::string Linea(int n, const std::string& dia, const std::string& hora, const std::string& grupo,
                  const std::string& materia, const std::string& profesor, const std::string& aula)
{
    return "\"" + std::to_string(n) + "\",\"" + dia + "\",\"" + hora + "\",\"" + grupo + "\",\"" +
           materia + "\",\"" + profesor + "\",\"\",\"" + aula + "\"\r\n";
}

// SOLUC's fields at each level the timetabling product may have written: dBASE III with N and
// decimals, dBASE IV with F, dBASE 7 with I and O.
std::string CamposSoluc(int nivel)
{
    const std::string texto = "ASIG:C:4,PROF:C:4,CODGRUPO:C:4,AULA:C:4,";
    switch (nivel) {
    case 3: return texto + "DIA:N:2:0,HORA:N:6:2,SESIONES:N:6:2,TURNO:C:1,NIVEL:C:5";
    case 4: return texto + "DIA:N:2:0,HORA:F:8:2,SESIONES:F:8:2,TURNO:C:1,NIVEL:C:5";
    default: return texto + "DIA:I,HORA:O,SESIONES:O,TURNO:C:1,NIVEL:C:5";
    }
}

class Exportar : public UnidadC {
protected:
    void TablasImportadas() { CreaTablasImportadas(ztemp); }

    void Soluc(int nivel, const std::vector<std::string>& entradas)
    {
        CreaTabla(ztemp / "SOLUC.DBF", nivel, CamposSoluc(nivel), entradas);
    }

    std::string Horario() const { return LeeArchivo(carpeta / "HORARIO.CSV"); }
};

// Entries in SOLUC's field order: ASIG, PROF, CODGRUPO, AULA, DIA, HORA, SESIONES.
const std::vector<std::string> kSolucCompleta = {
    "MAT\tD1\tG1\tA12\t1\t1\t1",        // hour 1
    "MAT\tD1\tG2\tA12\t2\t3\t2",        // two consecutive hours; the first G2 gives 2A and C2
    "MAT\tD1\tG1\tA12\t0\t1\t1",        // day 0: left out
    "MAT\tD1\tG1\tA12\t\t1\t1",         // empty day: left out
    "MAT\tXX\tG1\tA12\t1\t2\t1",        // unknown teacher: left out
    "FIS\tD1\tG1\tA12\t1\t2\t1",        // no such subject for the course: left out
    "MAT\tD3\tG1\tB1\t3\t2\t1",         // numbering goes on without a gap
    "LIN\tD3\tG1S\tB1\t4\t5\t1",        // a subgroup's short name
    "TIC\tD3\tGX\tB1\t5\t1\t1",         // unknown group: empty, subject under an empty course
    "MAT\tD1\tG1\tA12\t9\t1\t1",        // day 9: empty day name, still written
    "MAT\tD1\tG1\tA12\t6\t6\t0",        // no hours
    "MAT\tD1\tG1\tA12\t6\t6\t-2",       // negative hours
    "MAT\tD1\tG1\tA12\t1\t2\t1.5",      // fractional: slot 3 of Monday
    "MAT\tD1\tG1\tA12\t1\t2.5\t1.5",    // fractional hour too: slot 4, its time cut to 5
    "MAT\tD1\tG1\tA12\t2\t1\t1.5",      // slot 1 of Tuesday is missing: empty start time
    "MAT\tD1\tG1\tA12\t2\t2\t-1.5",     // negative with a fraction: one line, slot 3
    "MAT\tD1\tG1\tA12\t1\t2.5\t1",      // hour 2.5 rounds to 2
    "MAT\tD1\tG1\tA12\t1\t3.5\t1",      // hour 3.5 rounds to 4
    "MAT\tD2\tG1\tA12\t3\t1\t1",        // a teacher's name with a comma and quotes
    "MAT\tD1\tG1\tA12\t6\t4\t1",        // Saturday
    "MAT\tD1\tG1\tA12\t7\t16\t2",       // hours 16 and 17: 23:00 then 00:00
    "MAT\tD1\tG1\tA12\t1\t25\t1.5",     // fractional entries never look at the template
};

std::string HorarioCompleto()
{
    const std::string docente = "Docente 1", ana = "Ana Souto", pepe = "P\xE9rez, \"\"Pepe\"\"";
    return Linea(1, "Luns", "08:00", "1A", "MAT", docente, "A12") +
           Linea(2, "Martes", "10:00", "2A", "MAT2", docente, "A12") +
           Linea(3, "Martes", "11:00", "2A", "MAT2", docente, "A12") +
           Linea(4, "M\xE9rcores", "09:00", "1A", "MAT", ana, "B1") +
           Linea(5, "Xoves", "12:00", "1A-1", "LING", ana, "B1") +
           Linea(6, "Venres", "08:00", "", "TIC-X", ana, "B1") +
           Linea(7, "", "08:00", "1A", "MAT", docente, "A12") +
           Linea(8, "Luns", "09:30", "1A", "MAT", docente, "A12") +
           Linea(9, "Luns", "10:15", "1A", "MAT", docente, "A12") +
           Linea(10, "Martes", "", "1A", "MAT", docente, "A12") +
           Linea(11, "Martes", "12:00", "1A", "MAT", docente, "A12") +
           Linea(12, "Luns", "09:00", "1A", "MAT", docente, "A12") +
           Linea(13, "Luns", "11:00", "1A", "MAT", docente, "A12") +
           Linea(14, "M\xE9rcores", "08:00", "1A", "MAT", pepe, "A12") +
           Linea(15, "S\xE1" "bado", "11:00", "1A", "MAT", docente, "A12") +
           Linea(16, "Domingo", "23:00", "1A", "MAT", docente, "A12") +
           Linea(17, "Domingo", "00:00", "1A", "MAT", docente, "A12") +
           Linea(18, "Luns", "", "1A", "MAT", docente, "A12");
}

class ExportarNivel : public Exportar, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(ExportarNivel, WritesEveryEntryAsTheTimetableFileExpects)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(GetParam(), kSolucCompleta);
    EscribeArchivo(carpeta / "HORARIO.CSV", "an earlier export\r\n");

    const Ejecucion r = Exporta();
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, "Proceso finalizado\n");
    EXPECT_EQ(r.errores, "");
    EXPECT_EQ(Horario(), HorarioCompleto());

    // The work table holds the same lines, as another dBASE engine reads it.
    EXPECT_EQ(Volcado(ztemp / "HORARIOZARECSV.DBF", "field"),
              (std::vector<std::string>{"NLIN\tI\t4\t0", "DIASEM\tC\t10\t0", "HORAINI\tC\t5\t0",
                                        "GRUPO_SUBGRU\tC\t200\t0", "MATERIA\tC\t200\t0",
                                        "PROFESOR\tC\t200\t0", "RESERVADO\tC\t50\t0",
                                        "AULA\tC\t100\t0"}));
    const std::vector<std::string> registros = Volcado(ztemp / "HORARIOZARECSV.DBF", "record");
    ASSERT_EQ(registros.size(), 18u);
    EXPECT_EQ(registros[0], "1\tLuns\t08:00\t1A\tMAT\tDocente 1\t\tA12");
    EXPECT_EQ(registros[17], "18\tLuns\t\t1A\tMAT\tDocente 1\t\tA12");
}

INSTANTIATE_TEST_SUITE_P(NivelesDBase, ExportarNivel, ::testing::Values(3, 4, 7),
                         [](const auto& info) { return "dBASE" + std::to_string(info.param); });

TEST_F(Exportar, BuildsTheTemplateOnceAndKeepsTheUsersTimes)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(7, {"MAT\tD1\tG1\tA12\t1\t1\t1"});
    ASSERT_EQ(Exporta().estado, 0);

    const fs::path plantilla = ztemp / "PLANTILLA.DBF";
    EXPECT_EQ(Volcado(plantilla, "field"),
              (std::vector<std::string>{"HORA\tI\t4\t0", "HORAINI\tC\t5\t0", "HORAFIN\tC\t5\t0"}));
    const std::vector<std::string> registros = Volcado(plantilla, "record");
    ASSERT_EQ(registros.size(), 20u);
    EXPECT_EQ(registros[0], "1\t08:00\t09:00");
    EXPECT_EQ(registros[2], "3\t10:00\t11:00");
    EXPECT_EQ(registros[15], "16\t23:00\t24:00");
    EXPECT_EQ(registros[16], "17\t00:00\t01:00");
    EXPECT_EQ(registros[19], "20\t03:00\t04:00");
    const Ejecucion tags = Ejecuta(DBFCHECK_PATH, {"tags", plantilla.string()});
    EXPECT_EQ(tags.salida.substr(0, 13), "tag\tHORA\tHORA") << tags.salida;
    const Ejecucion busca = Ejecuta(DBFCHECK_PATH, {"find", plantilla.string(), "HORA", "17"});
    EXPECT_EQ(busca.salida, "found\t17\n");

    // A template the user changed, in any record order and with fewer hours, is read in HORA
    // order and never rebuilt.
    fs::remove(plantilla);
    for (const auto& e : fs::directory_iterator(ztemp))
        if (e.path().stem() == "PLANTILLA")
            fs::remove(e.path());
    CreaTabla(plantilla, 7, "HORA:I,HORAINI:C:5,HORAFIN:C:5",
              {"3\t10:10\t11:00", "1\t08:10\t09:00", "2\t\t10:00"});
    CreaIndice(plantilla, "HORA", "HORA");
    const std::string antes = LeeArchivo(plantilla);
    Soluc(7, {"MAT\tD1\tG1\tA12\t1\t1\t3"});
    ASSERT_EQ(Exporta().estado, 0);
    EXPECT_EQ(Horario(), Linea(1, "Luns", "08:10", "1A", "MAT", "Docente 1", "A12") +
                             Linea(2, "Luns", "", "1A", "MAT", "Docente 1", "A12") +
                             Linea(3, "Luns", "10:10", "1A", "MAT", "Docente 1", "A12"));
    EXPECT_EQ(LeeArchivo(plantilla), antes);
}

TEST_F(Exportar, AnHourBeyondTheTemplateStopsBeforeTheFileIsTouched)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(3, {"MAT\tD1\tG1\tA12\t1\t1\t1", "MAT\tD1\tG1\tA12\t1\t20\t2",
              "MAT\tD1\tG1\tA12\t1\t2\t1"});
    EscribeArchivo(carpeta / "HORARIO.CSV", "an earlier export\r\n");

    const Ejecucion r = Exporta();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.errores, "List index out of bounds (20)\ntabla SOLUC, registro 2\n");
    EXPECT_EQ(r.salida, "");
    EXPECT_EQ(Horario(), "an earlier export\r\n");
    // What was appended before the error stays in the work table.
    const std::vector<std::string> registros = Volcado(ztemp / "HORARIOZARECSV.DBF", "record");
    ASSERT_EQ(registros.size(), 2u);
    EXPECT_EQ(registros[1], "2\tLuns\t03:00\t1A\tMAT\tDocente 1\t\tA12");

    // An hour below 1 names the position before the first.
    Soluc(3, {"MAT\tD1\tG1\tA12\t1\t0\t1"});
    const Ejecucion cero = Exporta();
    EXPECT_EQ(cero.estado, 2);
    EXPECT_EQ(cero.errores, "List index out of bounds (-1)\ntabla SOLUC, registro 1\n");
    EXPECT_EQ(Horario(), "an earlier export\r\n");
}

TEST_F(Exportar, HoursAtTheEndsOfTheIntegersStopOrMissTheirSlotWithoutOverflow)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    EscribeArchivo(carpeta / "HORARIO.CSV", "an earlier export\r\n");

    // The lowest hour a SOLUC value can give is below the template like hour 0; the position
    // before it cannot be told, so the error names the lowest position there is.
    Soluc(7, {"MAT\tD1\tG1\tA12\t1\t-9223372036854775808\t1"});
    const Ejecucion menor = Exporta();
    EXPECT_EQ(menor.estado, 2);
    EXPECT_EQ(menor.errores, "List index out of bounds (-9223372036854775808)\ntabla SOLUC, registro 1\n");
    EXPECT_EQ(Horario(), "an earlier export\r\n");

    // A fractional entry takes the slot 2 x HORA - 1 of DIASHORAST: none is that high or that
    // low (most of these do not even fit in an integer), so the start time is empty, as for any
    // slot the table lacks.
    Soluc(7, {"MAT\tD1\tG1\tA12\t1\t-9223372036854775808\t1.5",
              "MAT\tD1\tG1\tA12\t1\t4611686018427387904\t1.5",
              "MAT\tD1\tG1\tA12\t2\t-4611686018427387904\t1.5",
              "MAT\tD1\tG1\tA12\t2\t9223372036854774784\t1.5", "MAT\tD1\tG1\tA12\t1\t2\t1.5"});
    const Ejecucion fraccion = Exporta();
    EXPECT_EQ(fraccion.estado, 0) << fraccion.errores;
    EXPECT_EQ(fraccion.errores, "");
    EXPECT_EQ(Horario(), Linea(1, "Luns", "", "1A", "MAT", "Docente 1", "A12") +
                             Linea(2, "Luns", "", "1A", "MAT", "Docente 1", "A12") +
                             Linea(3, "Martes", "", "1A", "MAT", "Docente 1", "A12") +
                             Linea(4, "Martes", "", "1A", "MAT", "Docente 1", "A12") +
                             Linea(5, "Luns", "09:30", "1A", "MAT", "Docente 1", "A12"));
}

// A group or subject is the first live record of its key in record order, its texts compared
// exactly, as a locate finds it; a key field that is not text is compared by value.
TEST_F(Exportar, GroupsAndSubjectsAreTheFirstLiveRecordOfTheirKey)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    // The first G2 (2A, course C2) deleted: the second (2B, C3) stands for the code.
    std::string grupos = LeeArchivo(ztemp / "GRUPOST.DBF");
    const auto numero16 = [&](std::size_t at) {
        return std::size_t(static_cast<unsigned char>(grupos[at])) | std::size_t(static_cast<unsigned char>(grupos[at + 1])) << 8;
    };
    grupos[numero16(8) + 2 * numero16(10)] = '*';
    EscribeArchivo(ztemp / "GRUPOST.DBF", grupos);
    Soluc(7, {"MAT\tD1\tG2\tA12\t1\t1\t1", "mat\tD1\tG1\tA12\t1\t2\t1", "MAT\tD1\tg1\tA12\t1\t3\t1"});
    Ejecucion r = Exporta();
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(Horario(), Linea(1, "Luns", "08:00", "2B", "MAT3", "Docente 1", "A12"));

    // A numeric course field: the group's course "012" is the subject's course 12.
    CreaTabla(ztemp / "GRUPOST.DBF", 7, "ABREV:C:10,CODCURSOZARE:C:15,NOMEABREVGRUPZARE:C:100,NOMEABREVSUBGRUZARE:C:100",
              {"G7\t012\t7A\t", "G8\tC8\t8A\t"});
    CreaTabla(ztemp / "ASIGNOMT2.DBF", 7, "COD:C:10,CODCURSO:N:4:0,ABREVZARE:C:100", {"MAT\t12\tMAT-12", "MAT\t13\tMAT-13"});
    Soluc(7, {"MAT\tD1\tG7\tA12\t1\t1\t1", "MAT\tD1\tG8\tA12\t1\t2\t1", "MAT\tD3\tG7\tA12\t2\t1\t1"});
    r = Exporta();
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(Horario(), Linea(1, "Luns", "08:00", "7A", "MAT-12", "Docente 1", "A12") +
                             Linea(2, "Martes", "08:00", "7A", "MAT-12", "Ana Souto", "A12"));
}

TEST_F(Exportar, AnEmptySolutionGivesAnEmptyFile)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(4, {});
    // An earlier file in another letter case is the one replaced.
    EscribeArchivo(carpeta / "horario.csv", "an earlier export\r\n");

    const Ejecucion r = Exporta();
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, "Proceso finalizado\n");
    EXPECT_FALSE(fs::exists(carpeta / "horario.csv"));
    ASSERT_TRUE(fs::exists(carpeta / "HORARIO.CSV"));
    EXPECT_EQ(fs::file_size(carpeta / "HORARIO.CSV"), 0u);
}

TEST_F(Exportar, AFileThatCannotBeCreatedIsAnErrorEvenWithoutLines)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(4, {});
    fs::create_directory(carpeta / "HORARIO.CSV");

    const Ejecucion r = Exporta();
    EXPECT_EQ(r.estado, 2);
    EXPECT_EQ(r.errores, "Acceso al archivo denegado.\nHORARIO.CSV\n");
    EXPECT_EQ(r.salida, "");
}

TEST_F(Exportar, MissingFolderTablesOrTagsStopWithoutWriting)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(7, {"MAT\tD1\tG1\tA12\t1\t1\t1"});
    EscribeArchivo(carpeta / "HORARIO.CSV", "an earlier export\r\n");

    const Ejecucion sinCarpeta = Exporta((raiz / "nowhere").string());
    EXPECT_EQ(sinCarpeta.estado, 1);
    EXPECT_EQ(sinCarpeta.salida, "No existe la carpeta\n");

    // PROFT without its tag ABREV.
    for (const auto& e : fs::directory_iterator(ztemp))
        if (e.path().stem() == "PROFT")
            fs::remove(e.path());
    CreaTabla(ztemp / "PROFT.DBF", 4, "ABREV:C:10,NOMBRE:C:80", {"D1\tDocente 1"});
    const Ejecucion sinTag = Exporta();
    EXPECT_EQ(sinTag.estado, 2);
    EXPECT_NE(sinTag.errores, "");
    EXPECT_EQ(sinTag.salida, "");
    EXPECT_EQ(Horario(), "an earlier export\r\n");

    // No DIASHORAST at all.
    CreaIndice(ztemp / "PROFT.DBF", "ABREV", "ABREV");
    fs::remove(ztemp / "DIASHORAST.DBF");
    const Ejecucion sinTabla = Exporta();
    EXPECT_EQ(sinTabla.estado, 2);
    EXPECT_NE(sinTabla.errores, "");
    EXPECT_EQ(Horario(), "an earlier export\r\n");

    // No work folder: the template cannot be built.
    fs::remove_all(ztemp);
    const Ejecucion sinTrabajo = Exporta();
    EXPECT_EQ(sinTrabajo.estado, 2);
    EXPECT_NE(sinTrabajo.errores, "");
    EXPECT_EQ(sinTrabajo.salida, "");
    EXPECT_EQ(Horario(), "an earlier export\r\n");
}

TEST_F(Exportar, ASolutionHeldByAnotherProgramChangesNothing)
{
    SALTA_SIN_DBFCHECK();
    TablasImportadas();
    Soluc(7, {"MAT\tD1\tG1\tA12\t1\t1\t1"});
    ASSERT_EQ(Exporta().estado, 0);
    const std::string horario = Horario();
    const std::string trabajo = LeeArchivo(ztemp / "HORARIOZARECSV.DBF");

#ifndef _WIN32
    // Another process opens SOLUC exclusive through the engine and holds it until told.
    int listo[2], fin[2];
    ASSERT_EQ(::pipe(listo), 0);
    ASSERT_EQ(::pipe(fin), 0);
    const pid_t hijo = ::fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        ::close(listo[0]);
        ::close(fin[1]);
        char c = 'x';
        try {
            store::setDriveC(raiz.string());
            store::Table soluc("\\ZTEMP", "SOLUC");
            soluc.open(store::Access::Exclusive);
            c = 'y';
            (void)!::write(listo[1], &c, 1);
            (void)!::read(fin[0], &c, 1);
        } catch (...) {
            (void)!::write(listo[1], &c, 1);
        }
        ::_exit(0);
    }
    ::close(listo[1]);
    ::close(fin[0]);
    char c = 0;
    ASSERT_EQ(::read(listo[0], &c, 1), 1);
    ASSERT_EQ(c, 'y') << "the holding process could not open SOLUC";

    const Ejecucion r = Exporta();
    ::close(fin[1]);
    ::close(listo[0]);
    int estado = 0;
    ::waitpid(hijo, &estado, 0);

    EXPECT_EQ(r.estado, 2);
    EXPECT_NE(r.errores, "");
    EXPECT_EQ(r.salida, "");
    EXPECT_EQ(Horario(), horario);
    EXPECT_EQ(LeeArchivo(ztemp / "HORARIOZARECSV.DBF"), trabajo);

    // Released, the same export runs.
    EXPECT_EQ(Exporta().estado, 0);
#endif
}
