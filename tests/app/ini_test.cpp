// The INI writer for the host's result record, on the files people and other programs leave.
#include "app/core/ini.h"
#include "support/proceso.h"

#include <gtest/gtest.h>

#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using app::ActualizaTextoIni;

std::string Pon(const std::string& texto, const std::string& valor = "1")
{
    return ActualizaTextoIni(texto, "Transformadores", "Transformado", valor);
}

TEST(TextoIni, FicheroVacioRecibeSeccionYClaveConCrLf)
{
    EXPECT_EQ(Pon(""), "[Transformadores]\r\nTransformado=1\r\n");
    EXPECT_EQ(Pon("", "-1"), "[Transformadores]\r\nTransformado=-1\r\n");
}

TEST(TextoIni, ClaveExistenteSeSustituyeYElRestoQuedaIgual)
{
    const std::string antes =
        "; Orbelin\r\n[General]\r\nRuta=C:\\ORBELIN\r\n\r\n[Transformadores]\r\n"
        "Otro=5\r\nTransformado=0\r\nFinal=x\r\n\r\n[Ultima]\r\nA=1\r\n";
    const std::string despues =
        "; Orbelin\r\n[General]\r\nRuta=C:\\ORBELIN\r\n\r\n[Transformadores]\r\n"
        "Otro=5\r\nTransformado=-1\r\nFinal=x\r\n\r\n[Ultima]\r\nA=1\r\n";
    EXPECT_EQ(Pon(antes, "-1"), despues);
}

TEST(TextoIni, NombresSinMayusculasYEspaciosRaros)
{
    // Section and key match whatever their case and the blanks around them; the key keeps
    // the file's spelling, the other lines keep their spacing.
    EXPECT_EQ(Pon("  [ transformadores ]  \r\n\tTRANSFORMADO   =  7  \r\n  x = y \r\n"),
              "  [ transformadores ]  \r\nTRANSFORMADO=1\r\n  x = y \r\n");
}

TEST(TextoIni, ComentariosYClavesParecidasNoCuentan)
{
    const std::string antes =
        "[Transformadores]\r\n;Transformado=9\r\nTransformados=3\r\nXTransformado=4\r\n";
    EXPECT_EQ(Pon(antes), antes + "Transformado=1\r\n");
}

TEST(TextoIni, ClaveNuevaTrasLaUltimaLineaNoBlancaDeSuSeccion)
{
    EXPECT_EQ(Pon("[Transformadores]\r\nA=1\r\n\r\n\r\n[Otra]\r\nB=2\r\n"),
              "[Transformadores]\r\nA=1\r\nTransformado=1\r\n\r\n\r\n[Otra]\r\nB=2\r\n");
    EXPECT_EQ(Pon("[Transformadores]\r\n[Otra]\r\n"),
              "[Transformadores]\r\nTransformado=1\r\n[Otra]\r\n");
}

TEST(TextoIni, SoloLaPrimeraSeccionYLaPrimeraClave)
{
    const std::string antes =
        "[Transformadores]\r\nTransformado=0\r\nTransformado=0\r\n[TRANSFORMADORES]\r\nTransformado=0\r\n";
    EXPECT_EQ(Pon(antes),
              "[Transformadores]\r\nTransformado=1\r\nTransformado=0\r\n[TRANSFORMADORES]\r\nTransformado=0\r\n");
}

TEST(TextoIni, SeccionNuevaAlFinalConElFinDeLineaDelFichero)
{
    EXPECT_EQ(Pon("[Otra]\nA=1\n"), "[Otra]\nA=1\n[Transformadores]\nTransformado=1\n");
    // A last line without its line end gets one before the new lines.
    EXPECT_EQ(Pon("[Otra]\r\nA=1"), "[Otra]\r\nA=1\r\n[Transformadores]\r\nTransformado=1\r\n");
    EXPECT_EQ(Pon("[Transformadores]\r\nA=1"), "[Transformadores]\r\nA=1\r\nTransformado=1\r\n");
    EXPECT_EQ(Pon("[Transformadores]\r\nTransformado=5"), "[Transformadores]\r\nTransformado=1");
}

TEST(TextoIni, ClavesAntesDeLaPrimeraSeccionNoSonDeNinguna)
{
    EXPECT_EQ(Pon("Transformado=3\r\n"), "Transformado=3\r\n[Transformadores]\r\nTransformado=1\r\n");
}

TEST(TextoIni, BytesWindows1252YSeccionSinCierre)
{
    // Letters with accents fold as Windows folds them; bytes above 0x7F stay untouched.
    EXPECT_EQ(ActualizaTextoIni("[CAMI\xD3N]\r\nCLAVE=\xE9\r\n", "cami\xF3n", "clave", "\xC1"),
              "[CAMI\xD3N]\r\nCLAVE=\xC1\r\n");
    EXPECT_EQ(Pon("[Transformadores\r\nTransformado=0\r\n"), "[Transformadores\r\nTransformado=1\r\n");
}

class ArchivoIni : public ::testing::Test {
protected:
    prueba::CarpetaTemporal carpeta;
    std::string ruta = carpeta / "Orbelin.ini";

    bool Escribe(const std::string& valor)
    {
        return app::EscribeValorIni(ruta, "Transformadores", "Transformado", valor);
    }
};

TEST_F(ArchivoIni, CreaElArchivoQueFalta)
{
    ASSERT_TRUE(Escribe("0"));
    EXPECT_EQ(prueba::Lee(ruta), "[Transformadores]\r\nTransformado=0\r\n");
    ASSERT_TRUE(Escribe("1"));
    EXPECT_EQ(prueba::Lee(ruta), "[Transformadores]\r\nTransformado=1\r\n");
}

TEST_F(ArchivoIni, ConservaElModoDelArchivoYSigueLosEnlaces)
{
#ifdef _WIN32
    GTEST_SKIP() << "file modes and symbolic links are POSIX's; Windows writes the file with WritePrivateProfileStringA";
#else
    prueba::Escribe(carpeta / "real.ini", "[A]\r\nB=1\r\n");
    ASSERT_EQ(::chmod((carpeta / "real.ini").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.ini", ruta.c_str()), 0);
    ASSERT_TRUE(Escribe("-1"));
    EXPECT_EQ(prueba::Lee(carpeta / "real.ini"), "[A]\r\nB=1\r\n[Transformadores]\r\nTransformado=-1\r\n");
    struct stat st;
    ASSERT_EQ(::lstat(ruta.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat((carpeta / "real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
}

TEST_F(ArchivoIni, FallaSinTocarNadaCuandoNoSePuedeEscribir)
{
#ifndef _WIN32
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes whatever the permissions say";
#endif
    // A read-only file in a writable folder is not replaced (on Windows: the read-only attribute).
    prueba::Escribe(ruta, "[Transformadores]\r\nTransformado=0\r\n");
    namespace fs = std::filesystem;
    fs::permissions(prueba::Ruta(ruta), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
#ifdef _WIN32
    if (std::ofstream(prueba::Ruta(ruta), std::ios::app))
        GTEST_SKIP() << "this user writes read-only files (Wine's read-only attribute is a Unix mode, and root ignores it)";
#endif
    EXPECT_FALSE(Escribe("1"));
    EXPECT_EQ(prueba::Lee(ruta), "[Transformadores]\r\nTransformado=0\r\n");
    fs::permissions(prueba::Ruta(ruta), fs::perms::owner_write, fs::perm_options::add);
    SALTA_EN_WINDOWS("a folder's permissions do not keep new files out on Windows");
#ifndef _WIN32
    // A folder that takes no new file.
    const std::string cerrada = carpeta / "cerrada";
    ::mkdir(cerrada.c_str(), 0555);
    EXPECT_FALSE(app::EscribeValorIni(cerrada + "/Orbelin.ini", "Transformadores", "Transformado", "1"));
    EXPECT_FALSE(prueba::fs::exists(cerrada + "/Orbelin.ini"));
#endif
}

TEST_F(ArchivoIni, ArchivoEscribibleEnCarpetaCerradaSeReescribeEnSuSitio)
{
#ifdef _WIN32
    GTEST_SKIP() << "a folder's permissions do not keep new files out on Windows";
#else
    const std::string cerrada = carpeta / "cerrada";
    ::mkdir(cerrada.c_str(), 0755);
    const std::string dentro = cerrada + "/Orbelin.ini";
    prueba::Escribe(dentro, "[X]\r\n");
    ::chmod(cerrada.c_str(), 0555);
    EXPECT_TRUE(app::EscribeValorIni(dentro, "Transformadores", "Transformado", "1"));
    EXPECT_EQ(prueba::Lee(dentro), "[X]\r\n[Transformadores]\r\nTransformado=1\r\n");
    ::chmod(cerrada.c_str(), 0755);
#endif
}

TEST_F(ArchivoIni, UnaCarpetaConElNombreDelArchivoOUnaRutaImposibleEsUnFallo)
{
    prueba::fs::create_directory(prueba::Ruta(ruta));
    EXPECT_FALSE(Escribe("1"));
    prueba::Escribe(carpeta / "fichero", "x");
    EXPECT_FALSE(app::EscribeValorIni(carpeta / "fichero/Orbelin.ini", "Transformadores", "Transformado", "1"));
    EXPECT_EQ(prueba::Lee(carpeta / "fichero"), "x");
}

TEST(TextoError, NombraLaRuta)
{
    EXPECT_EQ(app::TextoNoSePuedeEscribir("/opt/x/Orbelin.ini"), "Unable to write to /opt/x/Orbelin.ini");
}

}  // namespace
