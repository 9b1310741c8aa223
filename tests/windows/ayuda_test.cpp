// The Windows program's help through the system's HTML Help viewer: ZARE.CHM beside the program,
// each help context of help/contextos.tsv asked of HtmlHelpA, and the cases without help.
// Under Wine the viewer opens its window without drawing the pages (Wine has no Gecko here);
// scripts/windows-tests gives it a display, and ayuda.sh reads from Wine's trace which page
// each context opened.
#include "support/proceso.h"
#include "win32/ayuda.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;

namespace {

// The contexts of the one table the CHM and the Linux help are built from, context 0 left out
// (the contents, which HH_DISPLAY_TOC shows).
std::map<int, std::string> Contextos()
{
    std::map<int, std::string> contextos;
    std::istringstream texto(prueba::Lee(prueba::RutaCompilada(SOURCE_DIR) + "/help/contextos.tsv"));
    std::string linea;
    while (std::getline(texto, linea)) {
        if (linea.empty() || linea[0] == '#')
            continue;
        const auto tab = linea.find('\t');
        const int contexto = std::stoi(linea.substr(0, tab));
        if (contexto != 0)
            contextos[contexto] = linea.substr(tab + 1, linea.find('\t', tab + 1) - tab - 1);
    }
    return contextos;
}

// A context the program never asks for: ZARE.CHM maps no page to it.
constexpr int kContextoSinPagina = 9999;

}  // namespace

TEST(AyudaRuta, UnNombreSinCarpetaEstaJuntoAlPrograma)
{
    EXPECT_EQ(win32::RutaArchivoAyuda("ZARE.CHM", "C:\\Orbelin"), "C:\\Orbelin\\ZARE.CHM");
    EXPECT_EQ(win32::RutaArchivoAyuda("ZARE.CHM", "C:\\Orbelin\\"), "C:\\Orbelin\\ZARE.CHM");
    EXPECT_EQ(win32::RutaArchivoAyuda("D:\\Ayudas\\ZARE.CHM", "C:\\Orbelin"), "D:\\Ayudas\\ZARE.CHM");
    EXPECT_EQ(win32::RutaArchivoAyuda("ayuda\\ZARE.CHM", "C:\\Orbelin"), "ayuda\\ZARE.CHM");
    const std::string carpeta = win32::CarpetaPrograma();
    EXPECT_TRUE(fs::exists(prueba::Ruta(carpeta) / "ZARE.CHM")) << carpeta;
}

TEST(AyudaRuta, SoloArchivosChm)
{
    EXPECT_TRUE(win32::EsArchivoAyuda("ZARE.CHM"));
    EXPECT_TRUE(win32::EsArchivoAyuda("C:\\x\\zare.chm"));
    EXPECT_TRUE(win32::EsArchivoAyuda("Zare.Chm"));
    EXPECT_FALSE(win32::EsArchivoAyuda("ZARE.HLP"));
    EXPECT_FALSE(win32::EsArchivoAyuda("ZARE.CHM.txt"));
    EXPECT_FALSE(win32::EsArchivoAyuda("chm"));
    EXPECT_FALSE(win32::EsArchivoAyuda(""));
}

// Every context the program uses opens a window on its topic; a context without a topic opens
// none, which shows that the map in the file is what answers. The help window belongs to the
// window that asked, so that a modal window's help stays usable with it.
TEST(Ayuda, CadaContextoAbreSuTema)
{
    const auto contextos = Contextos();
    ASSERT_FALSE(contextos.empty());
    HWND llamante = CreateWindowExW(0, L"STATIC", L"llamante", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(llamante, nullptr);
    {
        win32::Ayuda ayuda;
        ASSERT_TRUE(ayuda.VisorCargado()) << "hhctrl.ocx did not load";
        for (const auto& [contexto, pagina] : contextos) {
            const win32::ResultadoAyuda r = ayuda.MuestraContexto(llamante, contexto);
            EXPECT_NE(r.ventana, nullptr) << "context " << contexto << " (" << pagina << ")";
            EXPECT_EQ(r.error, "");
            EXPECT_EQ(GetWindow(r.ventana, GW_OWNER), llamante);
        }
        const win32::ResultadoAyuda sinTema = ayuda.MuestraContexto(llamante, kContextoSinPagina);
        EXPECT_EQ(sinTema.ventana, nullptr);
        EXPECT_EQ(sinTema.error, "");

        const win32::ResultadoAyuda contenido = ayuda.MuestraContenido(llamante);
        EXPECT_NE(contenido.ventana, nullptr);
        EXPECT_EQ(contenido.error, "");
    }
    DestroyWindow(llamante);
}

// The help file in folders with accents: the ANSI code page spells "José Núñez" (HtmlHelpA); a
// folder in Greek letters it cannot spell goes through HtmlHelpW.
TEST(Ayuda, CarpetasConAcentosYOtrasLetras)
{
    CarpetaTemporal tmp;
    const std::string original = win32::RutaArchivoAyuda("ZARE.CHM", win32::CarpetaPrograma());
    for (const std::string nombre : {"Orbelin José Núñez", "\xCE\x92\xCE\xBF\xCE\xAE\xCE\xB8\xCE\xB5\xCE\xB9\xCE\xB1"}) {
        const std::string carpeta = tmp / nombre;
        fs::create_directories(prueba::Ruta(carpeta));
        fs::copy_file(prueba::Ruta(original), prueba::Ruta(carpeta) / "ZARE.CHM");
        win32::Ayuda ayuda("ZARE.CHM", carpeta);
        const win32::ResultadoAyuda r = ayuda.MuestraContexto(nullptr, Contextos().begin()->first);
        EXPECT_NE(r.ventana, nullptr) << carpeta;
        EXPECT_EQ(r.error, "");
    }
}

// Without the file: no window, and a text that names where it was looked for.
TEST(Ayuda, SinElArchivoLoDice)
{
    CarpetaTemporal tmp;
    win32::Ayuda ayuda("ZARE.CHM", prueba::Texto(tmp.ruta()));
    const std::string ruta = tmp / "ZARE.CHM";
    EXPECT_EQ(ayuda.Ruta(), win32::RutaArchivoAyuda("ZARE.CHM", prueba::Texto(tmp.ruta())));
    for (const win32::ResultadoAyuda& r : {ayuda.MuestraContenido(nullptr), ayuda.MuestraContexto(nullptr, 3)}) {
        EXPECT_EQ(r.ventana, nullptr);
        EXPECT_EQ(r.error, win32::TextoAyudaNoInstalada(ayuda.Ruta()));
        EXPECT_NE(r.error.find("ZARE.CHM"), std::string::npos);
        EXPECT_EQ(r.error.rfind("La ayuda no est\xC3\xA1 instalada", 0), 0u) << r.error;
    }
    // A folder by the file's name is no help file either.
    fs::create_directory(prueba::Ruta(ruta));
    EXPECT_EQ(ayuda.MuestraContenido(nullptr).error, win32::TextoAyudaNoInstalada(ayuda.Ruta()));
}

// A help file that is not a .chm is not asked for at all, and nothing is said.
TEST(Ayuda, OtroTipoDeArchivoNoSeAtiende)
{
    win32::Ayuda ayuda("ZARE.HLP");
    const win32::ResultadoAyuda r = ayuda.MuestraContenido(nullptr);
    EXPECT_EQ(r.ventana, nullptr);
    EXPECT_EQ(r.error, "");
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
