// The navigator's ten buttons on a grid: enabled by the position and state, clicked through
// mouse messages, calling back, leaving the focus in the grid, and their hints.
#include "ventana_prueba.h"

#include "files/win32.h"
#include "win32/controles/datos_en_memoria.h"
#include "win32/controles/navegador_datos.h"
#include "win32/controles/rejilla_datos.h"

#include <commctrl.h>

#include <string>
#include <vector>

using namespace controles;
using N = NavegadorDatos;

namespace {

std::vector<std::vector<std::string>> Horas(int n)
{
    std::vector<std::vector<std::string>> r;
    for (int i = 0; i < n; ++i)
        r.push_back({std::to_string(i + 1), std::to_string(8 + i) + ":00"});
    return r;
}

void Pulsa(N* n, N::Boton b)
{
    const RECT r = n->rectanguloBoton(b);
    prueba::Clic(n->hwnd(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::vector<bool> Habilitados(const N* n)
{
    std::vector<bool> r;
    for (int b = 0; b < N::kBotones; ++b)
        r.push_back(n->habilitado(static_cast<N::Boton>(b)));
    return r;
}

}  // namespace

TEST(NavegadorDatos, ButtonsMoveAndEditTheGridsRecordsAndCallBack)
{
    prueba::Ventana v;
    DatosEnMemoria datos({{"HORA", "HORA", 4, false, 4, true, true}, {"INICIO", "HORA INICIO CLASE", 13, true, 5}},
                         Horas(25));
    auto* rejilla = RejillaDatos::Crea(v.hwnd(), 40, 10, 10, 205, 225);
    rejilla->ponColumnasFijas(1);
    rejilla->ponDatos(&datos);
    auto* n = N::Crea(v.hwnd(), 41, 10, 240, 240, 25);
    ASSERT_NE(n, nullptr);
    n->ponRejilla(rejilla);
    std::vector<N::Boton> pulsados;
    n->ponAlPulsar([&](N::Boton b) { pulsados.push_back(b); });
    SetFocus(rejilla->hwnd());
    prueba::Bombea();

    // The buttons share the width.
    EXPECT_EQ(n->rectanguloBoton(N::Primero).left, 0);
    EXPECT_EQ(n->rectanguloBoton(N::Refrescar).right, 240);
    EXPECT_EQ(n->rectanguloBoton(N::Anterior).right - n->rectanguloBoton(N::Anterior).left, 24);

    //                               first  -10    prior  next   +10    last   edit   post   cancel refresh
    EXPECT_EQ(Habilitados(n), (std::vector<bool>{false, false, false, true, true, true, true, false, false, true}));
    Pulsa(n, N::Siguiente10);
    EXPECT_EQ(datos.filaActual(), 10);
    Pulsa(n, N::Anterior);
    EXPECT_EQ(datos.filaActual(), 9);
    Pulsa(n, N::Siguiente);
    Pulsa(n, N::Siguiente10);
    Pulsa(n, N::Siguiente10);
    EXPECT_EQ(datos.filaActual(), 24) << "forward 10 stops at the last";
    EXPECT_EQ(Habilitados(n), (std::vector<bool>{true, true, true, false, false, false, true, false, false, true}));
    EXPECT_GT(rejilla->filaSuperior(), 0) << "the grid follows";
    // A disabled button does nothing and calls nobody.
    const std::size_t antes = pulsados.size();
    Pulsa(n, N::Ultimo);
    EXPECT_EQ(pulsados.size(), antes);
    Pulsa(n, N::Anterior10);
    EXPECT_EQ(datos.filaActual(), 14);
    Pulsa(n, N::Primero);
    EXPECT_EQ(datos.filaActual(), 0);
    EXPECT_EQ(pulsados, (std::vector<N::Boton>{N::Siguiente10, N::Anterior, N::Siguiente, N::Siguiente10,
                                              N::Siguiente10, N::Anterior10, N::Primero}));
    EXPECT_EQ(GetFocus(), rejilla->hwnd()) << "the buttons take no focus";

    // Edit, then cancel; edit, type, post.
    Pulsa(n, N::Editar);
    EXPECT_EQ(datos.estado(), DatosRejilla::Estado::Editando);
    EXPECT_EQ(Habilitados(n), (std::vector<bool>{false, false, false, true, true, true, false, true, true, true}));
    Pulsa(n, N::Cancelar);
    EXPECT_EQ(datos.estado(), DatosRejilla::Estado::Navegando);
    prueba::Escribe(L"07:45");
    ASSERT_NE(rejilla->editor(), nullptr);
    Pulsa(n, N::Confirmar);
    EXPECT_EQ(rejilla->editor(), nullptr);
    EXPECT_EQ(datos.contenido()[0][1], "07:45");
    EXPECT_EQ(datos.estado(), DatosRejilla::Estado::Navegando);
    Pulsa(n, N::Refrescar);
    EXPECT_EQ(pulsados.back(), N::Refrescar);

    // A click that leaves its button before the mouse comes up is no click.
    const RECT r = n->rectanguloBoton(N::Siguiente);
    SendMessageW(n->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 3, r.top + 3));
    SendMessageW(n->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.right + 30, r.top + 3));
    SendMessageW(n->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(r.right + 30, r.top + 3));
    prueba::Bombea();
    EXPECT_EQ(datos.filaActual(), 0);
}

TEST(NavegadorDatos, EachButtonHasItsHint)
{
    prueba::Ventana v;
    auto* n = N::Crea(v.hwnd(), 41, 10, 240, 240, 25);
    ASSERT_NE(n->pistas(), nullptr);
    ASSERT_EQ(SendMessageW(n->pistas(), TTM_GETTOOLCOUNT, 0, 0), N::kBotones);
    const char* esperadas[N::kBotones] = {"Move to first record", "Move backward 10 records", "Move to prior record",
                                          "Move to next record", "Move forward 10 records", "Move to last record",
                                          "Edit current record", "Post changes of current record",
                                          "Cancel changes made to current record", "Refresh the contents of the dataset"};
    for (int b = 0; b < N::kBotones; ++b) {
        wchar_t texto[128] = {};
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = n->hwnd();
        ti.uId = static_cast<UINT_PTR>(b);
        ti.lpszText = texto;
        SendMessageW(n->pistas(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&ti));
        EXPECT_EQ(files::win32::narrow(texto), esperadas[b]);
        EXPECT_STREQ(N::Pista(static_cast<N::Boton>(b)), esperadas[b]);
        // Its tool covers its button.
        ASSERT_TRUE(SendMessageW(n->pistas(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
        const RECT r = n->rectanguloBoton(static_cast<N::Boton>(b));
        EXPECT_TRUE(EqualRect(&ti.rect, &r));
    }
    // Without a grid every button is disabled.
    for (int b = 0; b < N::kBotones; ++b)
        EXPECT_FALSE(n->habilitado(static_cast<N::Boton>(b)));
}
