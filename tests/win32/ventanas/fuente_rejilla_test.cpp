// The Win32 data grid over a window's data source through the program's adapter, on a real
// table: what is typed into a cell reaches the table in Windows-1252 and comes back in UTF-8,
// typing stops at the field's size, the grid follows changes made through the data source, and
// an integer field refuses text.
#include "desktop/vista_prueba.h"

#include "desktop/fuente_datos.h"
#include "store/table.h"
#include "win32/controles/rejilla_datos.h"
#include "win32/ventanas/fuente_rejilla.h"

#include <commctrl.h>

using namespace pruebas;

namespace {

class Adaptador : public UnidadC {
protected:
    void SetUp() override
    {
        UnidadC::SetUp();
        store::recreateTable("\\ZTEMP", "PRUEBA.DBF", {{"COD", 'C', 5, 0}, {"NUM", 'I', 0, 0}}, {}, {});
        tabla = std::make_unique<store::Table>("\\ZTEMP", "PRUEBA.DBF");
        tabla->open(store::Access::Shared);
        for (const char* cod : {"AAA", "BBB"}) {
            tabla->append();
            tabla->setText("COD", cod);
            tabla->setInteger("NUM", 7);
            tabla->post();
        }
        tabla->first();
        fuente.PonColumnas({{"COD", "C\xD3""DIGO", 5, true}, {"NUM", "NUM", 5, true}});
        fuente.PonTabla(tabla.get());
        fuente.Recarga();
        datos = std::make_unique<ventanas::FuenteRejilla>(fuente);

        ventana = CreateWindowExW(WS_EX_CONTROLPARENT, WC_STATICW, L"prueba", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        rejilla = controles::RejillaDatos::Crea(ventana, 1, 0, 0, 380, 250);
        rejilla->ponDatos(datos.get());
        rejilla->ponAlFallar([this](const std::string& t) { errores.push_back(t); });
        SetFocus(rejilla->hwnd());
    }
    void TearDown() override
    {
        DestroyWindow(ventana);
        datos.reset();
        fuente.PonTabla(nullptr);
        tabla.reset();
        UnidadC::TearDown();
    }

    void Escribe(const std::wstring& texto)
    {
        for (wchar_t c : texto) {
            HWND editor = rejilla->editor();
            SendMessageW(editor ? editor : rejilla->hwnd(), WM_CHAR, c, 0);
        }
    }

    std::unique_ptr<store::Table> tabla;
    desktop::FuenteDatos fuente;
    std::unique_ptr<ventanas::FuenteRejilla> datos;
    HWND ventana = nullptr;
    controles::RejillaDatos* rejilla = nullptr;
    std::vector<std::string> errores;
};

}  // namespace

TEST_F(Adaptador, TypedTextReachesTheTableInWindows1252AndIsCutToTheField)
{
    EXPECT_EQ(datos->columna(0).titulo, "C\xC3\x93""DIGO");
    EXPECT_EQ(datos->columna(0).longitudMaxima, 5);
    EXPECT_TRUE(datos->columna(1).numerica);
    EXPECT_TRUE(datos->columna(1).entera);

    rejilla->irACelda(1, 0);
    Escribe(L"\u00D1and\u00FAes");  // seven characters into a field of five
    ASSERT_TRUE(rejilla->confirmaEdicion());
    EXPECT_EQ(datos->estado(), controles::DatosRejilla::Estado::Editando);
    datos->confirma();
    EXPECT_TRUE(errores.empty());

    tabla->goTo(2);
    EXPECT_EQ(tabla->asText("COD"), "\xD1""and\xFA");
    EXPECT_EQ(datos->texto(1, 0), "\xC3\x91""and\xC3\xBA");
}

TEST_F(Adaptador, TheGridFollowsTheSourceAndAnIntegerFieldRefusesText)
{
    ASSERT_EQ(datos->filas(), 2);
    int avisos = 0;
    const int n = datos->observa([&] { ++avisos; });
    fuente.Anade();
    EXPECT_EQ(datos->filas(), 3);
    EXPECT_EQ(datos->estado(), controles::DatosRejilla::Estado::Anadiendo);
    EXPECT_GT(avisos, 0);
    fuente.Cancela();
    EXPECT_EQ(datos->filas(), 2);
    datos->dejaDeObservar(n);

    rejilla->irACelda(0, 1);
    EXPECT_THROW(datos->ponTexto(0, 1, "x1"), std::exception);
    datos->cancela();
    tabla->goTo(1);
    EXPECT_NE(tabla->asText("NUM").find('7'), std::string::npos);
}
