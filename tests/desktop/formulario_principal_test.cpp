// The main window's behaviour without any toolkit: the launch modes, both roads handler by
// handler with what each shows, hides and says, the close with its result record, and the
// work folder held while a direction runs.
#include "vista_prueba.h"

#include "desktop/formulario_plantilla.h"
#include "desktop/formulario_principal.h"
#include "files/folders.h"
#include "store/table.h"
#include "store/work_lock.h"

#include <fstream>
#include <map>
#include <sstream>

using namespace pruebas;

namespace {

using Estado = desktop::FuenteDatos::Estado;

std::string LeeTexto(const fs::path& ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// TURNO, NIVEL and CURSO of every course of the sample centre, by CODCURSO.
std::map<std::string, std::vector<std::string>> Niveles()
{
    std::ifstream f(prueba::Ruta(prueba::RutaCompilada(SOURCE_DIR "/samples/niveles.csv")));
    std::map<std::string, std::vector<std::string>> r;
    std::string linea;
    std::getline(f, linea);
    while (std::getline(f, linea)) {
        if (!linea.empty() && linea.back() == '\r')
            linea.pop_back();
        std::vector<std::string> campos;
        std::string resto = linea.substr(1, linea.size() - 2);
        for (std::size_t p; (p = resto.find("\",\"")) != std::string::npos; resto.erase(0, p + 3))
            campos.push_back(resto.substr(0, p));
        campos.push_back(resto);
        r[campos[0]] = {campos[2], campos[3], campos[4]};
    }
    return r;
}

// Types the codes of every course into the course grid's source, as a user would, except the
// NIVEL of `salvo`.
void RellenaCursos(desktop::FuenteDatos& cursos, const std::string& salvo = {})
{
    const auto niveles = Niveles();
    ASSERT_FALSE(niveles.empty());
    for (int fila = 0; fila < cursos.NumeroFilas(); ++fila) {
        const auto it = niveles.find(cursos.Valor(fila, 0));
        ASSERT_NE(it, niveles.end()) << cursos.Valor(fila, 0);
        for (int c = 0; c < 3; ++c)
            if (!(it->first == salvo && c == 1))
                cursos.Escribe(fila, 2 + c, it->second[static_cast<std::size_t>(c)]);
    }
}

bool CarpetaLibre()
{
    store::WorkLock otra;
    try {
        otra.take("\\ZTEMP");
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

class Principal : public UnidadC {
protected:
    void SetUp() override
    {
        UnidadC::SetUp();
        vista.carpeta = prueba::Texto(zare);
    }

    VistaPrueba vista;
};

}  // namespace

TEST_F(Principal, LaunchModesFromTheCommandLine)
{
    {
        SCOPED_TRACE("stand-alone: none, one or three parameters");
        for (const std::vector<std::string>& p : {std::vector<std::string>{}, {"importar"}, {"importar", "1A2B", "x"}}) {
            VistaPrueba v;
            desktop::FormularioPrincipal f(v);
            f.estado().EstadoTransformacion = 5;
            f.AplicaLanzamiento(p);
            EXPECT_EQ(f.estado().EstadoTransformacion, 0);
            EXPECT_EQ(f.estado().ModoLanzamiento, 0);
            EXPECT_TRUE(v.llamadas.empty());
        }
    }
    {
        SCOPED_TRACE("importar: only the export direction, over the whole upper area");
        VistaPrueba v;
        desktop::FormularioPrincipal f(v);
        f.AplicaLanzamiento({"IMPORTAR", "1a2b"});
        EXPECT_EQ(f.estado().ModoLanzamiento, 2);
        EXPECT_EQ(v.llamadas, (std::vector<std::string>{"Incrusta 6699", "Muestra Draw3D2 0", "PonLugar Draw3D3 0,0,599,99"}));
    }
    {
        SCOPED_TRACE("exportar 0: embedded in no window, only the import direction");
        VistaPrueba v;
        desktop::FormularioPrincipal f(v);
        f.AplicaLanzamiento({"exportar", "0"});
        EXPECT_EQ(f.estado().ModoLanzamiento, 2);
        EXPECT_EQ(v.llamadas, (std::vector<std::string>{"Incrusta 0", "Muestra Draw3D3 0", "PonLugar Draw3D2 0,0,599,99"}));
    }
    {
        SCOPED_TRACE("another word: embedded with both directions");
        VistaPrueba v;
        desktop::FormularioPrincipal f(v);
        f.AplicaLanzamiento({"otra", "FF"});
        EXPECT_EQ(f.estado().ModoLanzamiento, 2);
        EXPECT_EQ(v.llamadas, std::vector<std::string>{"Incrusta 255"});
    }
    {
        SCOPED_TRACE("a bad handle: the system's message, then stand-alone");
        VistaPrueba v;
        desktop::FormularioPrincipal f(v);
        f.AplicaLanzamiento({"importar", "0x1A"});
        EXPECT_EQ(f.estado().ModoLanzamiento, 0);
        EXPECT_EQ(v.llamadas, std::vector<std::string>{"Error '$0x1A' no es un valor entero v\xE1lido."});
    }
    {
        SCOPED_TRACE("a handle that names no window: the system's message, then stand-alone with both panels");
        VistaPrueba v;
        v.falloIncrusta = "Invalid window handle";
        desktop::FormularioPrincipal f(v);
        f.AplicaLanzamiento({"importar", "1"});
        EXPECT_EQ(f.estado().ModoLanzamiento, 0);
        EXPECT_EQ(v.llamadas, (std::vector<std::string>{"Incrusta 1", "CursorNormal", "Error Invalid window handle."}));
        EXPECT_TRUE(f.AlCerrar());
    }
}

TEST_F(Principal, TheResultRecordIsWrittenAtCloseOnlyWhenEmbedded)
{
    const fs::path ini = raiz / "Orbelin.ini";
    {
        desktop::FormularioPrincipal f(vista);
        f.PonRutaResultado(prueba::Texto(ini));
        f.AplicaLanzamiento({});
        EXPECT_TRUE(f.AlCerrar());
        EXPECT_FALSE(fs::exists(ini));
    }
    {
        desktop::FormularioPrincipal f(vista);
        f.PonRutaResultado(prueba::Texto(ini));
        f.AplicaLanzamiento({"exportar", "0"});
        EXPECT_TRUE(f.AlCerrar());
        EXPECT_EQ(LeeTexto(ini), "[Transformadores]\r\nTransformado=0\r\n");
        f.estado().EstadoTransformacion = -1;
        f.AnfitrionaDesaparecida();
        EXPECT_EQ(LeeTexto(ini), "[Transformadores]\r\nTransformado=-1\r\n");
    }
    {
        SCOPED_TRACE("a record that cannot be written keeps the window open and says so");
        vista.Olvida();
        desktop::FormularioPrincipal f(vista);
        const fs::path imposible = raiz / "no-existe" / "Orbelin.ini";
        f.PonRutaResultado(prueba::Texto(imposible));
        f.AplicaLanzamiento({"exportar", "0"});
        vista.Olvida();
        EXPECT_FALSE(f.AlCerrar());
        ASSERT_EQ(vista.llamadas.size(), 2u);
        EXPECT_EQ(vista.llamadas[0], "CursorNormal");
        EXPECT_EQ(vista.llamadas[1], "Error Unable to write to " + prueba::Texto(imposible) + ".");
    }
}

TEST_F(Principal, ButtonsAndF1ReachTheirHandlers)
{
    desktop::FormularioPrincipal f(vista);
    f.Clic("BClose");
    f.Clic("Button1");
    f.Clic("Label3");  // no button: nothing
    f.F1("Directorios");
    f.F1("");
    EXPECT_EQ(vista.llamadas,
              (std::vector<std::string>{"Cierra", "Ayuda ZARE.CHM 0", "Ayuda ZARE.CHM 3", "Ayuda ZARE.CHM 3"}));
    EXPECT_EQ(f.wwDBGridNIVIMPCalcCellColors("CODCURSO"), desktop::cl::BtnFace);
    EXPECT_EQ(f.wwDBGridNIVIMPCalcCellColors("NOMECURSO"), desktop::cl::BtnFace);
    EXPECT_EQ(f.wwDBGridNIVIMPCalcCellColors("NIVEL"), desktop::kSinColor);
    EXPECT_EQ(f.wwDBGridNIVIMPCalcCellColors("codcurso"), desktop::kSinColor);
}

TEST_F(Principal, AMissingFolderStopsEitherDirection)
{
    vista.carpeta = prueba::Texto(raiz / "no-existe");
    {
        SCOPED_TRACE("stand-alone: the message and nothing else");
        desktop::FormularioPrincipal f(vista);
        f.Clic("BExportar");
        f.Clic("BImportar");
        EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"Mensaje No existe la carpeta", "Mensaje No existe la carpeta"}));
        EXPECT_EQ(f.estado().EstadoTransformacion, 0);
    }
    {
        SCOPED_TRACE("embedded import: -1 and the window closes");
        desktop::FormularioPrincipal f(vista);
        f.AplicaLanzamiento({"exportar", "0"});
        vista.Olvida();
        f.Clic("BExportar");
        EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"Mensaje No existe la carpeta", "Cierra"}));
        EXPECT_EQ(f.estado().EstadoTransformacion, -1);
    }
    {
        SCOPED_TRACE("embedded export: 0, not -1, and the window closes");
        desktop::FormularioPrincipal f(vista);
        f.AplicaLanzamiento({"importar", "0"});
        f.estado().EstadoTransformacion = 1;
        vista.Olvida();
        f.Clic("BImportar");
        EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"Mensaje No existe la carpeta", "Cierra"}));
        EXPECT_EQ(f.estado().EstadoTransformacion, 0);
    }
}

TEST_F(Principal, TheWholeImportHandlerByHandler)
{
    desktop::FormularioPrincipal f(vista);
    f.AplicaLanzamiento({"exportar", "0"});
    vista.Olvida();

    // The import button: the folder taken, both directions off, the calls shown in edit mode.
    f.Clic("BExportar");
    EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"Habilita BExportar 0", "Muestra Directorios 0",
                                                        "Muestra Unidades 0", "Habilita BImportar 0", "Muestra Panel1 1"}));
    EXPECT_EQ(f.estado().EstadoTransformacion, 1);
    EXPECT_EQ(f.estado().CarpetaCSV, prueba::Texto(zare) + files::separator());
    desktop::FuenteDatos& convocatorias = f.wwDataSourceCODCENTRO();
    ASSERT_EQ(convocatorias.NumeroFilas(), 3);
    EXPECT_EQ(convocatorias.Valor(0, 0), "2026");
    EXPECT_EQ(convocatorias.FilaActual(), 0);
    EXPECT_EQ(convocatorias.EstadoActual(), Estado::Editando);
    EXPECT_FALSE(CarpetaLibre()) << "the work folder is held from the import button on";

    // "Continuar" on the second call: the course screen in place of the call panel.
    convocatorias.IrAFila(1);
    vista.Olvida();
    f.Clic("BitBtn1");
    EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"Muestra Panel1 0", "Muestra Panel2 1"}));
    desktop::FuenteDatos& cursos = f.wwDataSourceNIVIMP();
    ASSERT_GT(cursos.NumeroFilas(), 1);
    EXPECT_EQ(cursos.EstadoActual(), Estado::Editando);

    // "Aceptar" with a course without its level: the incomplete state, nothing imported.
    RellenaCursos(cursos, cursos.Valor(1, 0));
    vista.Olvida();
    f.Clic("BitBtn2");
    EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"ConfirmaEdicion wwDBGridNIVIMP", "Muestra Label9 1",
                                                        "Muestra BitBtn2 0", "Muestra Button2 1"}));
    EXPECT_EQ(f.estado().NivelesIncompletos, 1);
    EXPECT_FALSE(fs::exists(ztemp / "GRUPOST.DBF"));

    // "Volver a los Datos", the level typed, and "Aceptar" again: the run, under the hourglass.
    vista.Olvida();
    f.Clic("Button2");
    EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"Muestra Button2 0", "Muestra BitBtn2 1", "Muestra Label9 0",
                                                        "Muestra Panel1 0", "Muestra Panel2 1"}));
    EXPECT_EQ(cursos.FilaActual(), 0);
    RellenaCursos(cursos);
    const int numeroCursos = cursos.NumeroFilas();
    vista.Olvida();
    f.Clic("BitBtn2");
    EXPECT_EQ(vista.llamadas,
              (std::vector<std::string>{"ConfirmaEdicion wwDBGridNIVIMP", "Muestra Panel2 0", "CursorEspera", "CursorNormal",
                                        "Habilita BImportar 0", "Mensaje Proceso finalizado", "Cierra"}));
    EXPECT_EQ(f.estado().NivelesIncompletos, 0);
    EXPECT_EQ(f.estado().EstadoTransformacion, 1);
    for (const char* tabla : {"GRUPOST.DBF", "ASIGNOMT.DBF", "PROFT.DBF", "AULAT.DBF", "ASIGT.DBF"})
        EXPECT_TRUE(fs::exists(ztemp / tabla)) << tabla;
    EXPECT_TRUE(CarpetaLibre()) << "the work folder is let go when the import has ended";

    // The codes typed went into the course table.
    store::Table t("\\ZTEMP", "CURSOST");
    t.open(store::Access::Shared);
    const auto niveles = Niveles();
    int vistos = 0;
    for (t.first(); !t.eof(); t.next(), ++vistos)
        EXPECT_EQ(t.asText("NIVEL"), niveles.at(t.asText("CODCURSO"))[1]);
    EXPECT_EQ(vistos, numeroCursos);
}

TEST_F(Principal, AnErrorWhileTheCallsAreReadStopsTheImportAndFreesTheFolder)
{
    {
        std::ofstream(zare / "convocatoriasCentro.csv", std::ios::binary | std::ios::trunc)
            << "convocatoria,descripcion\r\n2026,\"Curso\"\r\nsolo\r\n";
    }
    desktop::FormularioPrincipal f(vista);
    f.Clic("BExportar");
    EXPECT_EQ(vista.llamadas,
              (std::vector<std::string>{"Habilita BExportar 0", "Muestra Directorios 0", "Muestra Unidades 0",
                                        "Habilita BImportar 0", "CursorNormal",
                                        "Error List index out of bounds (1)\nconvocatoriasCentro.csv, l\xEDnea 3"}));
    EXPECT_TRUE(CarpetaLibre());
    EXPECT_FALSE(vista.Hubo("Muestra Panel1 1"));
}

TEST_F(Principal, AFolderInUseStopsBothDirectionsBeforeTheyChangeAnything)
{
    store::WorkLock otra;
    otra.take("\\ZTEMP");
    desktop::FormularioPrincipal f(vista);
    f.Clic("BExportar");
    f.Clic("BImportar");
    ASSERT_EQ(vista.llamadas.size(), 4u);
    for (std::size_t i : {0u, 2u})
        EXPECT_EQ(vista.llamadas[i], "CursorNormal");
    for (std::size_t i : {1u, 3u})
        EXPECT_NE(vista.llamadas[i].find("est\xE1 en uso"), std::string::npos) << vista.llamadas[i];
    EXPECT_EQ(f.estado().EstadoTransformacion, 0);
    EXPECT_FALSE(fs::exists(ztemp / "CONVOCAZARE.DBF"));
    EXPECT_FALSE(fs::exists(ztemp / "PLANTILLA.DBF"));
}

TEST_F(Principal, TheWholeExportWithAnHourCorrectedInTheTemplateWindow)
{
    // The centre imported first, in an earlier run, and the timetable Orbelin computed.
    {
        VistaPrueba v;
        v.carpeta = vista.carpeta;
        desktop::FormularioPrincipal importacion(v);
        importacion.Clic("BExportar");
        importacion.Clic("BitBtn1");
        RellenaCursos(importacion.wwDataSourceNIVIMP());
        importacion.Clic("BitBtn2");
        ASSERT_TRUE(v.Hubo("Mensaje Proceso finalizado"));
    }
    for (const char* tabla : {"SOLUC.DBF", "DIASHORAST.DBF"})
        fs::copy_file(prueba::Ruta(prueba::RutaCompilada(std::string(SOURCE_DIR "/samples/orbelin/")) + tabla), ztemp / tabla);

    desktop::FormularioPrincipal f(vista);
    f.AplicaLanzamiento({"importar", "0"});
    vista.alPlantilla = [&] {
        // The template is built before the window opens; in the window the first hour is moved.
        EXPECT_TRUE(fs::exists(ztemp / "PLANTILLA.DBF"));
        EXPECT_FALSE(CarpetaLibre());
        VistaPrueba vp;
        desktop::FormularioPlantilla plantilla(vp);
        plantilla.Entra("PlantiHorDBGrid");
        desktop::FuenteDatos& horas = plantilla.wwDataSource1();
        ASSERT_EQ(horas.NumeroFilas(), 20);
        EXPECT_EQ(horas.Valor(0, 1), "08:00");
        horas.Escribe(0, 1, "08:30");
        plantilla.AlCerrar();  // the close box: what was typed is kept
        EXPECT_EQ(vp.llamadas, std::vector<std::string>{"ConfirmaEdicion PlantiHorDBGrid"});
        EXPECT_FALSE(plantilla.TablaAbierta());
    };
    vista.Olvida();
    f.Clic("BImportar");
    // The hourglass goes before the export's message is shown.
    EXPECT_EQ(vista.llamadas, (std::vector<std::string>{"VentanaPlantilla", "CursorEspera", "CursorNormal",
                                                        "Mensaje Proceso finalizado", "CursorNormal",
                                                        "Habilita BImportar 0", "Habilita BExportar 0", "Cierra"}));
    EXPECT_EQ(f.estado().EstadoTransformacion, 1);
    EXPECT_TRUE(CarpetaLibre());
    const std::string horario = LeeTexto(zare / "HORARIO.CSV");
    EXPECT_FALSE(horario.empty());
    EXPECT_NE(horario.find("08:30"), std::string::npos);
}

TEST_F(Principal, ABuilderWithoutItsFileSaysSoUnderTheHourglassAndTheRunGoesOn)
{
    fs::remove(zare / "aulasCentro.csv");
    desktop::FormularioPrincipal f(vista);
    f.AplicaLanzamiento({"exportar", "0"});
    f.Clic("BExportar");
    f.Clic("BitBtn1");
    RellenaCursos(f.wwDataSourceNIVIMP());
    vista.Olvida();
    f.Clic("BitBtn2");
    EXPECT_EQ(vista.llamadas,
              (std::vector<std::string>{"ConfirmaEdicion wwDBGridNIVIMP", "Muestra Panel2 0", "CursorEspera",
                                        "Mensaje No existe archivo de Aulas (aulasCentro.CSV) (espera)", "CursorNormal",
                                        "Habilita BImportar 0", "Mensaje Proceso finalizado", "Cierra"}));
    EXPECT_EQ(f.estado().EstadoTransformacion, -1);
    EXPECT_TRUE(fs::exists(ztemp / "ASIGT.DBF")) << "the builders after the missing file still ran";
}
