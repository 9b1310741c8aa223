// The data grid driven through its keys and clicks: the course grid's cut typing and fixed
// columns, its colours, the record keys, the template grid's Enter, errors and scrolling.
#include "ventana_prueba.h"

#include "win32/controles/colores.h"
#include "win32/controles/datos_en_memoria.h"
#include "win32/controles/rejilla_datos.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace controles;
using Estado = DatosRejilla::Estado;

namespace {

std::vector<ColumnaDatos> ColumnasCursos()
{
    return {{"CODCURSO", "CODCURSO", 10, false, 10},
            {"NOMECURSO", "NOMECURSO", 25, false, 60},
            {"TURNO", "TURNO", 1, true, 1},
            {"NIVEL", "NIVEL", 5, true, 5},
            {"CURSO", "CURSO", 3, true, 3}};
}

std::vector<std::vector<std::string>> Cursos(int n)
{
    std::vector<std::vector<std::string>> r;
    for (int i = 0; i < n; ++i)
        r.push_back({"C" + std::to_string(i), "Curso " + std::to_string(i), "M", "ESO", std::to_string(i % 4 + 1)});
    return r;
}

// The course grid of the main window over `filas` courses, focused.
struct Cursos_ {
    explicit Cursos_(int filas) : datos(ColumnasCursos(), Cursos(filas))
    {
        rejilla = RejillaDatos::Crea(v.hwnd(), 30, 6, 6, 430, 166);
        rejilla->ponColumnasFijas(2);
        rejilla->ponColorCeldas(cl::InfoBk);
        rejilla->ponColorFilasAlternas(12632256);
        rejilla->ponColorTitulos(15793151);
        rejilla->ponColorTextoTitulos(cl::Blue);
        rejilla->ponPermiteBorrar(true);
        rejilla->ponDatos(&datos);
        SetFocus(rejilla->hwnd());
        prueba::Bombea();
    }
    prueba::Ventana v;
    DatosEnMemoria datos;
    RejillaDatos* rejilla = nullptr;
};

}  // namespace

TEST(RejillaDatos, TypingIsCutToEachColumnsLength)
{
    Cursos_ c(3);
    ASSERT_EQ(GetFocus(), c.rejilla->hwnd());
    EXPECT_EQ(c.rejilla->columnaActual(), 2) << "the fixed columns take no cursor";

    // The first key opens the editor in place of the text; the rest stop at the length.
    prueba::Escribe(L"TX");
    ASSERT_NE(c.rejilla->editor(), nullptr);
    EXPECT_EQ(GetFocus(), c.rejilla->editor());
    EXPECT_EQ(prueba::Texto(c.rejilla->editor()), "T");
    EXPECT_EQ(c.datos.estado(), Estado::Editando) << "typing puts the record into edit mode";
    prueba::Tecla(VK_TAB);
    EXPECT_EQ(c.rejilla->editor(), nullptr);
    EXPECT_EQ(c.datos.contenido()[0][2], "T");
    EXPECT_EQ(c.datos.estado(), Estado::Editando);
    EXPECT_EQ(c.rejilla->columnaActual(), 3);

    prueba::Escribe(L"BACHILLER");
    prueba::Tecla(VK_TAB);
    EXPECT_EQ(c.datos.contenido()[0][3], "BACHI");
    prueba::Escribe(L"12345");
    // Tab on the last column goes to the next row, which posts the record.
    prueba::Tecla(VK_TAB);
    EXPECT_EQ(c.datos.contenido()[0][4], "123");
    EXPECT_EQ(c.datos.filaActual(), 1);
    EXPECT_EQ(c.rejilla->columnaActual(), 2);
    EXPECT_EQ(c.datos.estado(), Estado::Navegando);

    // A paste is cut as well; F2 opens the editor on the text as it is.
    prueba::Tecla(VK_RIGHT);
    prueba::Tecla(VK_F2);
    ASSERT_NE(c.rejilla->editor(), nullptr);
    EXPECT_EQ(prueba::Texto(c.rejilla->editor()), "ESO");
    SendMessageW(c.rejilla->editor(), EM_SETSEL, 0, -1);
    SendMessageW(c.rejilla->editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"CSDAW-LARGO"));
    prueba::Tecla(VK_RETURN);
    EXPECT_EQ(c.rejilla->editor(), nullptr);
    EXPECT_EQ(c.datos.contenido()[1][3], "CSDAW");
    EXPECT_EQ(c.datos.filaActual(), 1) << "Enter ends the editing where it is";

    // Accents are characters, not bytes.
    prueba::Tecla(VK_LEFT);
    prueba::Escribe(L"Ñ");
    prueba::Tecla(VK_UP);
    EXPECT_EQ(c.datos.contenido()[1][2], "Ñ");
    EXPECT_EQ(c.datos.filaActual(), 0);
}

TEST(RejillaDatos, FixedColumnsTakeNoCursorAndReadOnlyColumnsNoTyping)
{
    Cursos_ c(5);
    const RECT r = c.rejilla->rectanguloCelda(3, 0);
    prueba::Clic(c.rejilla->hwnd(), r.left + 3, r.top + 3);
    EXPECT_EQ(c.datos.filaActual(), 3);
    EXPECT_EQ(c.rejilla->columnaActual(), 2);
    prueba::Tecla(VK_LEFT);
    EXPECT_EQ(c.rejilla->columnaActual(), 2);
    prueba::Tecla(VK_END);
    EXPECT_EQ(c.rejilla->columnaActual(), 4);
    prueba::Tecla(VK_RIGHT);
    EXPECT_EQ(c.rejilla->columnaActual(), 4);
    prueba::Tecla(VK_HOME);
    EXPECT_EQ(c.rejilla->columnaActual(), 2);
    // Shift+Tab on the first editable column goes to the row above's last one.
    prueba::TeclaCon(VK_SHIFT, VK_TAB);
    EXPECT_EQ(c.datos.filaActual(), 2);
    EXPECT_EQ(c.rejilla->columnaActual(), 4);

    // A read-only column out of the fixed ones: the cursor goes there, typing does not.
    DatosEnMemoria soloLectura({{"A", "A", 4, false, 4}, {"B", "B", 4, true, 4}}, {{"uno", "dos"}});
    c.rejilla->ponColumnasFijas(0);
    c.rejilla->ponDatos(&soloLectura);
    EXPECT_EQ(c.rejilla->columnaActual(), 0);
    prueba::Escribe(L"x");
    EXPECT_EQ(c.rejilla->editor(), nullptr);
    EXPECT_FALSE(c.rejilla->editaCelda());
    EXPECT_EQ(soloLectura.contenido()[0][0], "uno");
    EXPECT_EQ(soloLectura.estado(), Estado::Navegando);
    c.rejilla->ponDatos(nullptr);
}

TEST(RejillaDatos, AlternateRowsCellColoursAndTheCurrentCell)
{
    Cursos_ c(6);
    std::vector<std::string> campos;
    c.rejilla->ponColoresCelda([&](const std::string& campo, const RejillaDatos::EstadoCelda&, RejillaDatos::ColorCelda& color) {
        campos.push_back(campo);
        if (campo == "CODCURSO" || campo == "NOMECURSO")
            color.fondo = ColorWindows(cl::BtnFace);
    });
    const COLORREF info = GetSysColor(COLOR_INFOBK);
    const COLORREF plata = RGB(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(c.rejilla->fondoCelda(2, 3), info);
    EXPECT_EQ(c.rejilla->fondoCelda(3, 3), plata);
    EXPECT_EQ(c.rejilla->fondoCelda(3, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.rejilla->fondoCelda(2, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(std::find(campos.begin(), campos.end(), "NOMECURSO"), campos.end());
    EXPECT_NE(std::find(campos.begin(), campos.end(), "NIVEL"), campos.end());
    // The cursor's cell, highlighted while the grid has the focus.
    COLORREF tinta = 0;
    EXPECT_EQ(c.rejilla->fondoCelda(0, 2, nullptr, &tinta), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(tinta, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(c.rejilla->fondoCelda(0, 3), info);
    // With a current-row colour the whole row is blended with it, in white letters.
    c.rejilla->ponColorFilaActual(cl::Maroon);
    EXPECT_EQ(c.rejilla->fondoCelda(0, 3, nullptr, &tinta), Mezcla(info, RGB(128, 0, 0), 0.72));
    EXPECT_EQ(tinta, RGB(255, 255, 255));

    // The same colours on screen: a cell of row 3 and one of row 2, and the title row.
    c.rejilla->ponColorFilaActual(std::nullopt);
    RECT cliente;
    GetClientRect(c.rejilla->hwnd(), &cliente);
    HDC pantalla = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(pantalla);
    HBITMAP mapa = CreateCompatibleBitmap(pantalla, cliente.right, cliente.bottom);
    ReleaseDC(nullptr, pantalla);
    HGDIOBJ viejo = SelectObject(dc, mapa);
    SendMessageW(c.rejilla->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const RECT r3 = c.rejilla->rectanguloCelda(3, 3), r2 = c.rejilla->rectanguloCelda(2, 3);
    EXPECT_EQ(GetPixel(dc, r3.right - 4, r3.top + 2), plata);
    EXPECT_EQ(GetPixel(dc, r2.right - 4, r2.top + 2), info);
    EXPECT_EQ(GetPixel(dc, r3.right - 4, 4), RGB(0xFF, 0xFB, 0xF0));  // 15793151 as the titles' colour
    SelectObject(dc, viejo);
    DeleteObject(mapa);
    DeleteDC(dc);
}

TEST(RejillaDatos, CtrlDeleteAsksThroughTheHandlerFirst)
{
    Cursos_ c(4);
    std::vector<std::string> preguntas;
    bool respuesta = false;
    c.rejilla->ponPregunta([&](const std::string& p) {
        preguntas.push_back(p);
        return respuesta;
    });
    prueba::Tecla(VK_DOWN);
    ASSERT_EQ(c.datos.filaActual(), 1);
    prueba::TeclaCon(VK_CONTROL, VK_DELETE);
    ASSERT_EQ(preguntas.size(), 1u);
    EXPECT_EQ(preguntas[0], "Delete record?");
    EXPECT_EQ(c.datos.filas(), 4) << "answered no";
    respuesta = true;
    prueba::TeclaCon(VK_CONTROL, VK_DELETE);
    EXPECT_EQ(preguntas.size(), 2u);
    ASSERT_EQ(c.datos.filas(), 3);
    EXPECT_EQ(c.datos.contenido()[1][0], "C2");
    EXPECT_EQ(c.datos.filaActual(), 1);
    // Delete alone deletes nothing, and a grid that may not delete does not ask.
    prueba::Tecla(VK_DELETE);
    EXPECT_EQ(c.datos.filas(), 3);
    c.rejilla->ponPermiteBorrar(false);
    prueba::TeclaCon(VK_CONTROL, VK_DELETE);
    EXPECT_EQ(preguntas.size(), 2u);
    EXPECT_EQ(c.datos.filas(), 3);
}

TEST(RejillaDatos, InsertOrDownAtTheEndAddsAndEscDropsTheChanges)
{
    Cursos_ c(3);
    // A grid that may not add ignores both keys.
    prueba::TeclaCon(VK_CONTROL, VK_END);
    EXPECT_EQ(c.datos.filaActual(), 2);
    prueba::Tecla(VK_DOWN);
    prueba::Tecla(VK_INSERT);
    EXPECT_EQ(c.datos.filas(), 3);

    c.rejilla->ponPermiteAnadir(true);
    prueba::Tecla(VK_DOWN);
    ASSERT_EQ(c.datos.filas(), 4);
    EXPECT_EQ(c.datos.estado(), Estado::Anadiendo);
    EXPECT_EQ(c.datos.filaActual(), 3);
    // A new row still blank does not start another.
    prueba::Tecla(VK_DOWN);
    EXPECT_EQ(c.datos.filas(), 4);
    prueba::Tecla(VK_ESCAPE);
    EXPECT_EQ(c.datos.filas(), 3);
    EXPECT_EQ(c.datos.estado(), Estado::Navegando);

    // Insert starts one too; typed into and left, it stays.
    prueba::Tecla(VK_INSERT);
    ASSERT_EQ(c.datos.filas(), 4);
    prueba::Escribe(L"N");
    prueba::Tecla(VK_UP);
    EXPECT_EQ(c.datos.filas(), 4);
    EXPECT_EQ(c.datos.contenido()[3][2], "N");
    EXPECT_EQ(c.datos.estado(), Estado::Navegando);

    // Esc in the editor drops the typing; Esc after it drops the record's changes.
    prueba::Escribe(L"Z");
    prueba::Tecla(VK_ESCAPE);
    EXPECT_EQ(c.rejilla->editor(), nullptr);
    EXPECT_EQ(c.datos.contenido()[2][2], "M");
    EXPECT_EQ(c.datos.estado(), Estado::Navegando);
    prueba::Escribe(L"Q");
    prueba::Tecla(VK_TAB);
    EXPECT_EQ(c.datos.contenido()[2][2], "Q");
    EXPECT_EQ(c.datos.estado(), Estado::Editando);
    prueba::Tecla(VK_ESCAPE);
    EXPECT_EQ(c.datos.contenido()[2][2], "M");
    EXPECT_EQ(c.datos.estado(), Estado::Navegando);
}

TEST(RejillaDatos, EnterMovesOnAsTabInTheTemplateGridAndWholeNumberColumnsTakeDigits)
{
    prueba::Ventana v;
    DatosEnMemoria horas({{"HORA", "HORA", 4, true, 4, true, true}, {"HORAINICIO", "HORA INICIO CLASE", 13, true, 5}},
                         {{"1", "08:00"}, {"2", "09:00"}, {"3", "10:00"}});
    auto* r = RejillaDatos::Crea(v.hwnd(), 40, 10, 10, 205, 225);
    r->ponLineasTitulo(2);
    r->ponEnterComoTab(true);
    r->ponBarraHorizontal(true);
    r->ponDatos(&horas);
    EXPECT_TRUE(GetWindowLongPtrW(r->hwnd(), GWL_STYLE) & WS_HSCROLL);
    SetFocus(r->hwnd());
    prueba::Bombea();
    prueba::Escribe(L"a1b2");
    ASSERT_NE(r->editor(), nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(r->editor(), GWL_STYLE) & ES_RIGHT) << "numbers stand right";
    EXPECT_EQ(prueba::Texto(r->editor()), "12");
    prueba::Tecla(VK_RETURN);
    EXPECT_EQ(horas.contenido()[0][0], "12");
    EXPECT_EQ(r->columnaActual(), 1);
    prueba::Escribe(L"08:15:00");
    prueba::Tecla(VK_RETURN);
    EXPECT_EQ(horas.contenido()[0][1], "08:15");
    EXPECT_EQ(horas.filaActual(), 1);
    EXPECT_EQ(r->columnaActual(), 0);
    EXPECT_EQ(horas.estado(), Estado::Navegando);
}

TEST(RejillaDatos, AnErrorOfTheDataIsShownAndTheCursorStays)
{
    struct Exigente : DatosEnMemoria {
        using DatosEnMemoria::DatosEnMemoria;
        void ponTexto(int f, int c, const std::string& t) override
        {
            if (t == "!")
                throw std::runtime_error("Valor no válido");
            DatosEnMemoria::ponTexto(f, c, t);
        }
    };
    prueba::Ventana v;
    Exigente datos(ColumnasCursos(), Cursos(3));
    auto* r = RejillaDatos::Crea(v.hwnd(), 30, 6, 6, 430, 166);
    r->ponColumnasFijas(2);
    r->ponDatos(&datos);
    std::vector<std::string> errores;
    r->ponAlFallar([&](const std::string& t) { errores.push_back(t); });
    SetFocus(r->hwnd());
    prueba::Escribe(L"!");
    prueba::Tecla(VK_DOWN);
    ASSERT_EQ(errores.size(), 1u);
    EXPECT_EQ(errores[0], "Valor no válido");
    EXPECT_EQ(datos.filaActual(), 0);
    ASSERT_NE(r->editor(), nullptr) << "the editor stays open to be mended";
    EXPECT_EQ(GetFocus(), r->editor());
    prueba::Escribe(L"\bT");
    prueba::Tecla(VK_DOWN);
    EXPECT_EQ(datos.contenido()[0][2], "T");
    EXPECT_EQ(datos.filaActual(), 1);
}

TEST(RejillaDatos, ScrollsToTheCurrentRowAndByItsBar)
{
    Cursos_ c(40);
    const int visibles = c.rejilla->filasVisibles();
    ASSERT_GT(visibles, 3);
    ASSERT_LT(visibles, 40);
    prueba::TeclaCon(VK_CONTROL, VK_END);
    EXPECT_EQ(c.datos.filaActual(), 39);
    EXPECT_EQ(c.rejilla->filaSuperior(), 40 - visibles);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(c.rejilla->hwnd(), SB_VERT, &si);
    EXPECT_EQ(si.nPos, 40 - visibles);
    EXPECT_EQ(si.nMax, 39);
    EXPECT_EQ(si.nPage, static_cast<UINT>(visibles));
    SendMessageW(c.rejilla->hwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(c.rejilla->filaSuperior(), 0);
    EXPECT_EQ(c.datos.filaActual(), 39) << "the bar scrolls without moving the cursor";
    SendMessageW(c.rejilla->hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(c.rejilla->filaSuperior(), 1);
    prueba::Tecla(VK_PRIOR);
    EXPECT_EQ(c.datos.filaActual(), 39 - visibles);
    prueba::TeclaCon(VK_CONTROL, VK_HOME);
    EXPECT_EQ(c.datos.filaActual(), 0);
    EXPECT_EQ(c.rejilla->filaSuperior(), 0);
    // A click below the last row in sight's top selects the row there.
    const RECT r = c.rejilla->rectanguloCelda(2, 3);
    prueba::Clic(c.rejilla->hwnd(), r.left + 2, r.top + 2);
    EXPECT_EQ(c.datos.filaActual(), 2);
    EXPECT_EQ(c.rejilla->columnaActual(), 3);
}

TEST(RejillaDatos, EntryAndExitFollowTheWindowsFocus)
{
    Cursos_ c(3);
    int entradas = 0, salidas = 0;
    c.rejilla->ponAlEntrar([&] { ++entradas; });
    c.rejilla->ponAlSalir([&] { ++salidas; });
    HWND boton = CreateWindowExW(0, L"BUTTON", L"Otro", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 500, 10, 80, 24, c.v.hwnd(),
                                 nullptr, nullptr, nullptr);
    SetFocus(boton);
    prueba::Bombea();
    EXPECT_EQ(salidas, 1);
    SetFocus(c.rejilla->hwnd());
    prueba::Bombea();
    EXPECT_EQ(entradas, 1);
    // The editor is inside the grid: no exit.
    prueba::Escribe(L"T");
    ASSERT_NE(c.rejilla->editor(), nullptr);
    EXPECT_EQ(salidas, 1);
    // Leaving from the editor ends the editing, keeping the text.
    SetFocus(boton);
    prueba::Bombea();
    EXPECT_EQ(salidas, 2);
    EXPECT_EQ(c.rejilla->editor(), nullptr);
    EXPECT_EQ(c.datos.contenido()[0][2], "T");
}

TEST(RejillaDatos, FixedColumnsStayWhileTheOthersScrollSideways)
{
    prueba::Ventana v;
    DatosEnMemoria datos({{"A", "A", 6, false, 6}, {"B", "B", 20, true, 20}, {"C", "C", 20, true, 20}, {"D", "D", 20, true, 20}},
                         {{"a1", "b1", "c1", "d1"}, {"a2", "b2", "c2", "d2"}});
    auto* r = RejillaDatos::Crea(v.hwnd(), 40, 10, 10, 300, 150);
    r->ponColumnasFijas(1);
    r->ponDatos(&datos);
    SetFocus(r->hwnd());
    RECT cliente;
    GetClientRect(r->hwnd(), &cliente);
    const int indicador = r->rectanguloCelda(0, 0).left;
    const int finFijas = r->rectanguloCelda(0, 0).right;
    ASSERT_GT(r->anchoColumna(1) + r->anchoColumna(2) + r->anchoColumna(3), cliente.right - finFijas)
        << "the columns must not all fit for this test";
    prueba::Tecla(VK_END);
    EXPECT_EQ(r->columnaActual(), 3);
    EXPECT_EQ(r->rectanguloCelda(0, 0).left, indicador) << "the fixed column stays";
    EXPECT_LE(r->rectanguloCelda(0, 3).right, cliente.right) << "the current column is in sight";
    EXPECT_GE(r->rectanguloCelda(0, 3).left, finFijas);
    EXPECT_LT(r->rectanguloCelda(0, 1).left, finFijas) << "the first ones went behind the fixed one";
    // A click just right of the fixed column takes the column seen there, not one behind it.
    const RECT visto = r->rectanguloCelda(1, 2).right > finFijas + 2 ? r->rectanguloCelda(1, 2) : r->rectanguloCelda(1, 3);
    const int columnaVista = visto.left == r->rectanguloCelda(1, 2).left ? 2 : 3;
    prueba::Clic(r->hwnd(), finFijas + 1, visto.top + 2);
    EXPECT_EQ(datos.filaActual(), 1);
    EXPECT_EQ(r->columnaActual(), columnaVista);
    prueba::Tecla(VK_HOME);
    EXPECT_EQ(r->columnaActual(), 1);
    EXPECT_EQ(r->rectanguloCelda(0, 1).left, finFijas) << "back in place";
}
