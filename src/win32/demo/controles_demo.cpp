// Every Win32 control of the desktop program in one window, over made-up data: the shaded
// panels with their labels, the buttons with their glyphs, the folder list with its drive
// picker, the course grid and the timetable grid with its navigator.
//   controles_demo.exe [FOLDER [TEXT]]   the folder list starts in FOLDER (else the current one);
//                                       TEXT is typed into the course grid's third cell, to see
//                                       the cell editor
#include "files/win32.h"
#include "win32/controles/boton.h"
#include "win32/controles/colores.h"
#include "win32/controles/datos_en_memoria.h"
#include "win32/controles/fuente.h"
#include "win32/controles/lista_carpetas.h"
#include "win32/controles/navegador_datos.h"
#include "win32/controles/panel_degradado.h"
#include "win32/controles/rejilla_datos.h"
#include "win32/controles/selector_unidades.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

using namespace controles;

namespace {

constexpr int kAncho = 900;
constexpr int kAlto = 560;

std::unique_ptr<DatosEnMemoria> cursos;
RejillaDatos* rejillaCursos = nullptr;
std::unique_ptr<DatosEnMemoria> horas;

HWND Etiqueta(HWND padre, PanelDegradado* panel, const char* texto, int x, int y, int ancho, int alto,
              std::uint32_t color, bool negrita = false)
{
    HWND e = CreateWindowExW(0, WC_STATICW, files::win32::widen(texto).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, x, y,
                             ancho, alto, padre, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(FuenteMsSansSerif(DpiDe(e), negrita)), TRUE);
    if (panel)
        panel->ponColorTexto(e, color);
    return e;
}

void CreaControles(HWND ventana)
{
    // The two direction panels, shaded as the main window's.
    auto* arriba = PanelDegradado::Crea(ventana, 100, 0, 0, 289, 99);
    arriba->ponColores(8246265, cl::White, 14544639);
    Etiqueta(arriba->hwnd(), arriba, "Transformar datos desde ZARE hacia Orbelin", 24, 8, 250, 40, cl::Black, true);
    CreaBoton(arriba->hwnd(), 101, 88, 62, 89, 25, "Aceptar", true, Glifo::Aceptar);
    auto* derecha = PanelDegradado::Crea(ventana, 110, 290, 0, 310, 99);
    derecha->ponColores(8246265, cl::White, 14544639);
    Etiqueta(derecha->hwnd(), derecha, "Transformar datos desde Orbelin hacia ZARE", 8, 8, 290, 40, cl::Black, true);
    CreaBoton(derecha->hwnd(), 111, 96, 62, 89, 25, "Aceptar", true, Glifo::Aceptar);

    // The folder of the CSV files: the list, its label, its drive picker.
    auto* abajo = PanelDegradado::Crea(ventana, 120, 0, 100, 600, 190);
    abajo->ponColores(16698818, 16708303, 15128780);
    Etiqueta(abajo->hwnd(), abajo, "PRIMERO ==>", 68, 22, 80, 14, cl::Red, true);
    Etiqueta(abajo->hwnd(), abajo, "Seleccione la Carpeta en la que se encuentran los Ficheros CSV de ZARE", 152, 22,
             420, 14, cl::Navy);
    Etiqueta(abajo->hwnd(), abajo, "Ruta Actual:", 152, 36, 62, 14, cl::Navy);
    HWND ruta = Etiqueta(abajo->hwnd(), abajo, "", 216, 36, 300, 14, cl::Red, true);
    auto* lista = ListaCarpetas::Crea(abajo->hwnd(), 121, 150, 52, 288, 110);
    lista->ponEtiqueta(ruta);
    auto* unidades = SelectorUnidades::Crea(abajo->hwnd(), 122, 150, 164, 137, 22);
    unidades->ponLista(lista);
    CreaBoton(abajo->hwnd(), 123, 480, 104, 89, 25, "&Salir", true, Glifo::Salir);
    CreaBoton(abajo->hwnd(), 124, 12, 164, 78, 22, "F1 AYUDA", false);
    CreaBoton(abajo->hwnd(), 125, 480, 140, 100, 25, "Continuar", true, Glifo::Continuar);

    // The course grid: two fixed columns, typing cut to 1, 5 and 3 characters.
    auto* panelCursos = PanelDegradado::Crea(ventana, 130, 0, 291, 600, 269);
    panelCursos->ponColores(cl::InactiveCaptionText, cl::InactiveCaptionText, cl::InactiveCaptionText);
    Etiqueta(panelCursos->hwnd(), panelCursos, "NIVELES DE ESTUDIOS", 16, 8, 140, 14, cl::Maroon, true);
    cursos = std::make_unique<DatosEnMemoria>(
        std::vector<ColumnaDatos>{{"CODCURSO", "CODCURSO", 10, false, 10},
                                  {"NOMECURSO", "NOMECURSO", 25, false, 60},
                                  {"TURNO", "TURNO", 1, true, 1},
                                  {"NIVEL", "NIVEL", 5, true, 5},
                                  {"CURSO", "CURSO", 3, true, 3}},
        std::vector<std::vector<std::string>>{
            {"1BAC-ART", "1º Bacharelato - Artes", "M", "BAC", "1"},
            {"1BAC-CT", "1º Bacharelato - Ciencias e Tecnoloxía", "M", "BAC", "1"},
            {"1BAC-HCS", "1º Bacharelato - Humanidades e Ciencias Sociais", "M", "BAC", "1"},
            {"1BAC-XER", "1º Bacharelato - Xeral", "M", "BAC", "1"},
            {"1CMSMR", "1º CM Sistemas Microinformáticos e Redes", "M", "CMSMR", "1"},
            {"1CMXA", "1º CM Xestión Administrativa", "M", "CMXA", "1"},
            {"1CSDAW", "1º CS Desenvolvemento de Aplicacións Web", "T", "CSDAW", "1"},
            {"1ESO", "1º de Educación Secundaria Obrigatoria", "M", "ESO", "1"},
            {"2BAC-ART", "2º Bacharelato - Artes", "M", "BAC", "2"},
            {"2BAC-CT", "2º Bacharelato - Ciencias e Tecnoloxía", "M", "", ""},
        });
    auto* rejilla = RejillaDatos::Crea(panelCursos->hwnd(), 131, 6, 30, 430, 166);
    rejillaCursos = rejilla;
    rejilla->ponColumnasFijas(2);
    rejilla->ponColorCeldas(cl::InfoBk);
    rejilla->ponColorFilasAlternas(12632256);
    rejilla->ponColorTitulos(15793151);
    rejilla->ponColorTextoTitulos(cl::Blue);
    rejilla->ponPermiteBorrar(true);
    rejilla->ponColoresCelda([](const std::string& campo, const RejillaDatos::EstadoCelda&, RejillaDatos::ColorCelda& c) {
        if (campo == "CODCURSO" || campo == "NOMECURSO")
            c.fondo = ColorWindows(cl::BtnFace);
    });
    rejilla->ponDatos(cursos.get());

    // The timetable grid and its navigator, in the template window's colours.
    auto* plantilla = PanelDegradado::Crea(ventana, 140, 601, 0, 299, 560);
    plantilla->ponColores(cl::White, cl::Aqua, cl::White);
    Etiqueta(plantilla->hwnd(), plantilla, "PLANTILLA HORARIA DEL CENTRO", 12, 8, 260, 14, cl::Black, true);
    std::vector<std::vector<std::string>> filas;
    for (int h = 1; h <= 14; ++h) {
        char hora[8];
        wsprintfA(hora, "%02d:00", 7 + h);
        filas.push_back({std::to_string(h), hora});
    }
    horas = std::make_unique<DatosEnMemoria>(
        std::vector<ColumnaDatos>{{"HORA", "HORA", 4, false, 4, true, true}, {"HORAINICIO", "HORA INICIO CLASE", 13, true, 5}},
        std::move(filas));
    auto* rejillaHoras = RejillaDatos::Crea(plantilla->hwnd(), 141, 12, 30, 205, 225);
    rejillaHoras->ponColumnasFijas(1);
    rejillaHoras->ponLineasTitulo(2);
    rejillaHoras->ponColorCeldas(16776176);
    rejillaHoras->ponColorFilasAlternas(16701903);
    rejillaHoras->ponColorTitulos(11134206);
    rejillaHoras->ponColorTextoTitulos(cl::Black);
    rejillaHoras->ponEnterComoTab(true);
    rejillaHoras->ponBarraHorizontal(true);
    rejillaHoras->ponDatos(horas.get());
    auto* navegador = NavegadorDatos::Crea(plantilla->hwnd(), 142, 12, 262, 240, 25);
    navegador->ponRejilla(rejillaHoras);
    SetFocus(rejilla->hwnd());
}

LRESULT CALLBACK Ventana(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_CREATE:
        CreaControles(hwnd);
        return 0;
    case WM_COMMAND:
        if (LOWORD(w) == 123 && HIWORD(w) == BN_CLICKED)
            DestroyWindow(hwnd);
        return 0;
    case WM_DPICHANGED: {
        const RECT* r = reinterpret_cast<const RECT*>(l);
        SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top, SWP_NOZORDER);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, mensaje, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instancia, HINSTANCE, PWSTR, int mostrar)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc > 1)
        SetCurrentDirectoryW(argv[1]);
    const std::wstring escrito = argc > 2 ? argv[2] : L"";
    LocalFree(argv);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Ventana;
    wc.hInstance = instancia;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(instancia, MAKEINTRESOURCEW(1));
    wc.lpszClassName = L"TOZControlesDemo";
    RegisterClassExW(&wc);
    RECT r{0, 0, kAncho, kAlto};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND ventana = CreateWindowExW(WS_EX_CONTROLPARENT, wc.lpszClassName, L"TransOrbelinZARE: controles", WS_OVERLAPPEDWINDOW,
                                   0, 0, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instancia, nullptr);
    ShowWindow(ventana, mostrar);
    if (!escrito.empty() && rejillaCursos) {
        SetFocus(rejillaCursos->hwnd());
        SendMessageW(rejillaCursos->hwnd(), WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(rejillaCursos->hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
        for (wchar_t c : escrito)
            SendMessageW(GetFocus(), WM_CHAR, c, 0);
    }
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(ventana, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
    return 0;
}
