// transorbelin as scripts use it: the work folder held by one run at a time, output that could
// not be written reported as an error, and wrong usage.
#include "import/centro.h"

#include "app/core/salida_comprobada.h"
#include "files/folders.h"
#include "store/errors.h"
#include "store/paths.h"
#include "store/work_lock.h"

#include <gtest/gtest.h>

#include <ostream>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using prueba::Salida;

class LineaComandos : public prueba::Centro {
protected:
    void SetUp() override
    {
        Centro::SetUp();
        EscribeArchivos();
    }

    // Everything in ZTEMP but the lock file.
    std::vector<std::string> Tablas() const
    {
        std::vector<std::string> r;
        for (const auto& e : fs::directory_iterator(ztemp))
            if (e.path().filename() != store::kWorkLockFile)
                r.push_back(e.path().filename().string());
        return r;
    }

    // Runs transorbelin with its standard output written to the file at `salida`.
    int ConSalida(const std::vector<std::string>& args, const std::string& salida, std::string& errores)
    {
        std::vector<std::string> orden{prueba::Programa("transorbelin"), "--unidad-c", prueba::Texto(raiz.ruta())};
        orden.insert(orden.end(), args.begin(), args.end());
        prueba::Proceso proceso(orden, "", salida, raiz / "err");
        const int estado = proceso.Espera();
        errores = prueba::SinCR(prueba::Lee(raiz / "err"));
        return estado;
    }
};

TEST_F(LineaComandos, ASecondRunOnTheWorkFolderIsRefusedBeforeItChangesAnything)
{
    store::setDriveC(prueba::Texto(raiz.ruta()));
    store::WorkLock otraTransformacion;
    otraTransformacion.take("\\ZTEMP");
    ASSERT_TRUE(otraTransformacion.held());

    for (const std::vector<std::string>& orden :
         {std::vector<std::string>{"convocatorias", zare}, {"cursos", zare, "2026"},
          {"importar", zare, "2026", raiz / "niveles.csv"}, {"exportar", zare}}) {
        const Salida s = Transorbelin(orden);
        EXPECT_EQ(s.estado, 2) << orden[0];
        EXPECT_NE(s.errores.find("La carpeta de trabajo \\ZTEMP (" + files::joinPath(prueba::Texto(raiz.ruta()), "ZTEMP") + ") est\xC3\xA1 en uso"),
                  std::string::npos)
            << orden[0] << ": " << s.errores;
        EXPECT_TRUE(s.salida.empty()) << orden[0];
        EXPECT_TRUE(Tablas().empty()) << orden[0];
    }
    EXPECT_FALSE(fs::exists(fs::path(zare) / "HORARIO.CSV"));

    otraTransformacion.release();
    const Salida s = Transorbelin({"importar", zare, "2026", raiz / "niveles.csv"});
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_FALSE(Tablas().empty());
    store::setDriveC("");
}

TEST_F(LineaComandos, TheLockIsTheFoldersNotTheProcesss)
{
    // Two holders in one process exclude each other as two processes do, and a released
    // folder can be taken again.
    store::setDriveC(prueba::Texto(raiz.ruta()));
    store::WorkLock primero, segundo;
    primero.take("\\ZTEMP");
    EXPECT_THROW(segundo.take("C:\\ZTEMP"), store::EngineError);
    EXPECT_FALSE(segundo.held());
    primero.release();
    EXPECT_NO_THROW(segundo.take("\\ZTEMP"));
    EXPECT_TRUE(segundo.held());
    store::setDriveC("");
}

TEST_F(LineaComandos, OutputThatCannotBeWrittenIsAnError)
{
    std::string errores;
    // With somewhere to write the orders succeed.
    EXPECT_EQ(ConSalida({"cursos", zare, "2026"}, raiz / "hoja.csv", errores), 0) << errores;
    EXPECT_NE(prueba::Lee(raiz / "hoja.csv").find("\"C1\",\"1 ESO\""), std::string::npos);
    EXPECT_EQ(ConSalida({"convocatorias", zare}, raiz / "lista.txt", errores), 0) << errores;
    EXPECT_NE(prueba::Lee(raiz / "lista.txt").find("2026"), std::string::npos);
    SALTA_EN_WINDOWS("Windows has no /dev/full to send the output to");
    EXPECT_EQ(ConSalida({"cursos", zare, "2026"}, "/dev/full", errores), 2);
    EXPECT_EQ(errores, "Disco lleno.\n");
    EXPECT_EQ(ConSalida({"convocatorias", zare}, "/dev/full", errores), 2);
    EXPECT_EQ(errores, "Disco lleno.\n");
}

TEST(SalidaComprobada, ReportsTheFirstFailureOfAWriteOrOfTheClose)
{
#ifdef _WIN32
    GTEST_SKIP() << "writes to POSIX pipes and /dev/full through file descriptors";
#else
    std::signal(SIGPIPE, SIG_IGN);
    // Over a descriptor, as the program's standard output is.
    const auto escribe = [](int fd) {
        return [fd](const char* datos, std::size_t n) { return ::write(fd, datos, n) < 0 ? errno : 0; };
    };
    const auto cierra = [](int fd) { return [fd] { return ::close(fd) == 0 ? 0 : errno; }; };
    {
        int tubo[2];
        ASSERT_EQ(::pipe(tubo), 0);
        ::close(tubo[0]);  // nobody reads
        app::SalidaComprobada bufer(escribe(tubo[1]), cierra(tubo[1]));
        std::ostream salida(&bufer);
        salida << "\"CODCURSO\"\n";
        EXPECT_FALSE(bufer.Cierra());
        EXPECT_EQ(bufer.Error(), EPIPE);
    }
    {
        const int lleno = ::open("/dev/full", O_WRONLY);
        ASSERT_GE(lleno, 0);
        app::SalidaComprobada bufer(escribe(lleno), cierra(lleno));
        std::ostream salida(&bufer);
        salida << std::string(200000, 'x');  // more than one block: the failure comes before the close
        EXPECT_FALSE(bufer.Cierra());
        EXPECT_EQ(bufer.Error(), ENOSPC);
    }
    {
        int tubo[2];
        ASSERT_EQ(::pipe(tubo), 0);
        app::SalidaComprobada bufer(escribe(tubo[1]), cierra(tubo[1]));
        std::ostream salida(&bufer);
        salida << "linea\n";
        EXPECT_TRUE(bufer.Cierra());
        char leido[16] = {};
        EXPECT_EQ(::read(tubo[0], leido, sizeof leido), 6);
        EXPECT_STREQ(leido, "linea\n");
        ::close(tubo[0]);
    }
#endif
}

TEST_F(LineaComandos, AnEmptyDriveCIsWrongUsage)
{
    const Salida s = prueba::EjecutaTransorbelin({"--unidad-c", "", "convocatorias", zare});
    EXPECT_EQ(s.estado, 64);
    EXPECT_NE(s.errores.find("uso: transorbelin"), std::string::npos);
    EXPECT_TRUE(Tablas().empty());
}

}  // namespace
