// The launch from the command line: the direction word, the host handle in base 16.
#include "app/core/lanzamiento.h"
#include "store/paths.h"

#include <gtest/gtest.h>

namespace {

using app::InterpretaParametros;
using app::Paneles;

TEST(Hexadecimal, DigitosDeCualquierCasoHastaFFFFFFFF)
{
    EXPECT_EQ(app::ConvierteHexadecimal("$1A2B"), 0x1A2Bu);
    EXPECT_EQ(app::ConvierteHexadecimal("$1a2b"), 0x1A2Bu);
    EXPECT_EQ(app::ConvierteHexadecimal("$1234"), 0x1234u);  // read in base 16, not 10
    EXPECT_EQ(app::ConvierteHexadecimal("$0"), 0u);
    EXPECT_EQ(app::ConvierteHexadecimal("$FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(app::ConvierteHexadecimal("$00000000FFFFFFFF"), 0xFFFFFFFFu);
}

TEST(Hexadecimal, TodoLoDemasEsUnFallo)
{
    for (const char* malo : {"$", "$100000000", "$0x12", "$-1", "$+1", "$ 12", "$12 ", "$G", "12", "",
                             "$1.5", "$FFFFFFFFF"})
        EXPECT_FALSE(app::ConvierteHexadecimal(malo)) << malo;
}

TEST(Parametros, LaOpcionUnidadCVaAntesDeLosParametros)
{
    std::vector<std::string> p{"--unidad-c", "/tmp/unidad", "importar", "1A2B"};
    EXPECT_TRUE(app::QuitaOpcionUnidadC(p));
    EXPECT_EQ(p, (std::vector<std::string>{"importar", "1A2B"}));
    EXPECT_EQ(store::driveC(), "/tmp/unidad");
    EXPECT_EQ(InterpretaParametros(p).ModoLanzamiento, 2);
    store::setDriveC("");

    p = {"importar", "1A2B"};  // no option: nothing taken
    EXPECT_TRUE(app::QuitaOpcionUnidadC(p));
    EXPECT_EQ(p.size(), 2u);
    for (std::vector<std::string> malo : {std::vector<std::string>{"--unidad-c"}, {"--unidad-c", ""},
                                          {"--unidad-c", "", "importar", "1A2B"}}) {
        const auto dado = malo;
        EXPECT_FALSE(app::QuitaOpcionUnidadC(malo));
        EXPECT_EQ(malo, dado);
    }
}

TEST(Parametros, NingunoUnoOTresEsIndependiente)
{
    for (const auto& p : std::vector<std::vector<std::string>>{
             {}, {"importar"}, {"importar", "1A", "x"}, {"exportar", "1A", "x", "y"}}) {
        const app::Lanzamiento l = InterpretaParametros(p);
        EXPECT_EQ(l.ModoLanzamiento, 0);
        EXPECT_EQ(l.paneles, Paneles::Ambos);
        EXPECT_TRUE(l.error.empty());
    }
}

TEST(Parametros, LaPalabraEligeElPanel)
{
    struct Caso {
        std::string palabra;
        Paneles paneles;
    };
    for (const Caso& c : std::vector<Caso>{{"importar", Paneles::SoloExportacion},
                                           {"IMPORTAR", Paneles::SoloExportacion},
                                           {"ImPoRtAr", Paneles::SoloExportacion},
                                           {"exportar", Paneles::SoloImportacion},
                                           {"EXPORTAR", Paneles::SoloImportacion},
                                           {"otra", Paneles::Ambos},
                                           {"importar ", Paneles::Ambos},
                                           {"", Paneles::Ambos}}) {
        const app::Lanzamiento l = InterpretaParametros({c.palabra, "1A2B"});
        EXPECT_EQ(l.ModoLanzamiento, 2) << c.palabra;
        EXPECT_EQ(l.ventana, 0x1A2Bu) << c.palabra;
        EXPECT_EQ(l.paneles, c.paneles) << c.palabra;
        EXPECT_TRUE(l.error.empty());
    }
    // Letters outside A to Z are not lowered: "\xC9XPORTAR" stays another word.
    EXPECT_EQ(InterpretaParametros({"\xC9XPORTAR", "1"}).paneles, Paneles::Ambos);
}

TEST(Parametros, VentanaCeroTambienEsEmbebida)
{
    const app::Lanzamiento l = InterpretaParametros({"exportar", "0"});
    EXPECT_EQ(l.ModoLanzamiento, 2);
    EXPECT_EQ(l.ventana, 0u);
    EXPECT_EQ(l.paneles, Paneles::SoloImportacion);
}

TEST(Parametros, HandleMaloDaElErrorYLaVentanaIndependiente)
{
    const app::Lanzamiento l = InterpretaParametros({"importar", "0x1A"});
    EXPECT_EQ(l.error, "'$0x1A' no es un valor entero v\xE1lido");
    EXPECT_EQ(l.ModoLanzamiento, 0);
    EXPECT_EQ(l.paneles, Paneles::Ambos);
    EXPECT_EQ(InterpretaParametros({"exportar", ""}).error, "'$' no es un valor entero v\xE1lido");
    EXPECT_EQ(InterpretaParametros({"exportar", "123456789"}).error,
              "'$123456789' no es un valor entero v\xE1lido");
}

}  // namespace
