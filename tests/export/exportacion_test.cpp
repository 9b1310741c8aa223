// The export as the desktop window's handlers call it: the result code and the messages that
// the window shows, on success, on an error and on a missing folder.
#include "entorno.h"

#include "export/exportacion.h"
#include "export/orden_exportar.h"
#include "store/errors.h"
#include "store/paths.h"

#include <gtest/gtest.h>

using namespace pruebas;

namespace {

class Registro : public import::Mensajes {
public:
    void Muestra(const std::string& texto) override { vistos.push_back(texto); }
    std::vector<std::string> vistos;
};

class ExportacionEnProceso : public UnidadC {
protected:
    void SetUp() override
    {
        UnidadC::SetUp();
        SALTA_SIN_DBFCHECK();
        store::setDriveC(raiz.string());
        CreaTablasImportadas(ztemp);
    }
    void TearDown() override
    {
        store::setDriveC("");
        UnidadC::TearDown();
    }

    void Soluc(const std::vector<std::string>& entradas)
    {
        CreaTabla(ztemp / "SOLUC.DBF", 7,
                  "ASIG:C:4,PROF:C:4,CODGRUPO:C:4,AULA:C:4,DIA:I,HORA:O,SESIONES:O", entradas);
    }

    Registro mensajes;
    import::EstadoConversion estado;
};

}  // namespace

TEST_F(ExportacionEnProceso, ACompletedExportSetsTheResultAndShowsTheEndOnce)
{
    Soluc({"MAT\tD1\tG1\tA12\t1\t1\t1"});
    estado.EstadoTransformacion = -1;
    ASSERT_TRUE(exportacion::ExportaCarpeta(carpeta.string(), estado, mensajes));
    EXPECT_EQ(estado.EstadoTransformacion, 1);
    EXPECT_EQ(estado.CarpetaCSV, carpeta.string() + "/");
    EXPECT_EQ(mensajes.vistos, std::vector<std::string>{"Proceso finalizado"});
    EXPECT_TRUE(fs::exists(ztemp / "PLANTILLA.DBF"));
    EXPECT_EQ(LeeArchivo(carpeta / "HORARIO.CSV"),
              "\"1\",\"Luns\",\"08:00\",\"1A\",\"MAT\",\"Docente 1\",\"\",\"A12\"\r\n");
}

TEST_F(ExportacionEnProceso, AnErrorLeavesTheResultCodeAndShowsNothing)
{
    Soluc({"MAT\tD1\tG1\tA12\t1\t20\t2"});
    for (int antes : {0, -1}) {
        estado.EstadoTransformacion = antes;
        mensajes.vistos.clear();
        try {
            exportacion::ExportaCarpeta(carpeta.string(), estado, mensajes);
            FAIL() << "an hour beyond the template was exported";
        } catch (const store::ListIndexError& e) {
            EXPECT_EQ(e.index(), 20);
        }
        EXPECT_EQ(estado.EstadoTransformacion, antes);
        EXPECT_TRUE(mensajes.vistos.empty());
    }

    // Started again once the entry is mended, the same export completes.
    Soluc({"MAT\tD1\tG1\tA12\t1\t19\t2"});
    exportacion::ExportaCarpeta(carpeta.string(), estado, mensajes);
    EXPECT_EQ(estado.EstadoTransformacion, 1);
}

TEST_F(ExportacionEnProceso, AMissingFolderEndsAnEmbeddedRunWithResultZero)
{
    Soluc({});
    estado.EstadoTransformacion = -1;
    EXPECT_FALSE(exportacion::ExportaCarpeta((raiz / "nowhere").string(), estado, mensajes));
    EXPECT_EQ(estado.EstadoTransformacion, -1);
    EXPECT_EQ(mensajes.vistos, std::vector<std::string>{"No existe la carpeta"});

    estado.ModoLanzamiento = 2;
    EXPECT_FALSE(exportacion::ExportaCarpeta((raiz / "nowhere").string(), estado, mensajes));
    EXPECT_EQ(estado.EstadoTransformacion, 0);
    EXPECT_FALSE(fs::exists(ztemp / "PLANTILLA.DBF"));
}
