#include "win32/ventanas/ventana_plantilla.h"

#include "files/win32.h"
#include "win32/controles/colores.h"
#include "win32/controles/fuente.h"
#include "win32/controles/navegador_datos.h"
#include "win32/controles/rejilla_datos.h"
#include "win32/ventanas/ayuda_programa.h"
#include "win32/ventanas/dialogos.h"
#include "win32/ventanas/identificadores.h"
#include "win32/ventanas/mensajes.h"

#include <stdexcept>

namespace ventanas {

namespace {

constexpr DWORD kEstilo = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kEstiloExt = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
const std::string kRejilla = "PlantiHorDBGrid";

}  // namespace

VentanaPlantillaWin32::VentanaPlantillaWin32(HWND dueno) : dueno_(dueno)
{
    HINSTANCE instancia = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &VentanaPlantillaWin32::Procedimiento;
    wc.hInstance = instancia;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClasePlantilla;
    RegisterClassExW(&wc);

    const desktop::Ventana& d = desktop::VentanaPlantilla();
    const UINT dpi = controles::DpiDe(dueno);
    RECT r{0, 0, controles::Escala(d.ancho, dpi), controles::Escala(d.alto, dpi)};
    AdjustWindowRectEx(&r, kEstilo, FALSE, kEstiloExt);
    hwnd_ = CreateWindowExW(kEstiloExt, kClasePlantilla, files::win32::widen(AnsiAUtf8(d.titulo)).c_str(), kEstilo,
                            d.x, d.y, r.right - r.left, r.bottom - r.top, dueno, nullptr, instancia, this);
    if (!hwnd_)
        throw std::runtime_error(TextoDelSistema(GetLastError()));
    comportamiento_ = std::make_unique<desktop::FormularioPlantilla>(static_cast<desktop::Vista&>(*this));
    controles_ = std::make_unique<ControlesWin32>(hwnd_, d);

    auto* rejilla = controles::RejillaDatos::De((*controles_)[kRejilla]);
    fuente_ = std::make_unique<FuenteRejilla>(comportamiento_->wwDataSource1());
    rejilla->ponDatos(fuente_.get());
    rejilla->ponPregunta([this](const std::string& t) { return Pregunta(t); });
    rejilla->ponAlFallar([this](const std::string& t) { Error(Utf8AAnsi(t)); });
    rejilla->ponAlEntrar([this] { comportamiento_->Entra(kRejilla); });
    rejilla->ponAlSalir([this] { comportamiento_->Sale(kRejilla); });
    // The navigator follows the grid's data, which the grid has only now.
    if (auto* navegador = controles::NavegadorDatos::De((*controles_)["wwDBNavigator1"])) {
        navegador->ponRejilla(rejilla);
        navegador->ponAlFallar([this](const std::string& t) { Error(Utf8AAnsi(t)); });
    }
}

VentanaPlantillaWin32::~VentanaPlantillaWin32()
{
    if (IsWindow(hwnd_)) {
        terminada_ = true;
        DestroyWindow(hwnd_);
    }
    fuente_.reset();
    comportamiento_.reset();
}

void VentanaPlantillaWin32::Modal()
{
    // The hourglass of the run that opened the window is not the user's while it is open.
    const bool espera = CursorEnEspera();
    PonCursorEspera(false);
    if (dueno_)
        EnableWindow(dueno_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    // The grid is the first control and has the focus when the window opens.
    SetFocus((*controles_)[kRejilla]);
    MSG m;
    while (!terminada_) {
        const BOOL r = GetMessageW(&m, nullptr, 0, 0);
        if (r <= 0) {
            if (r == 0)
                PostQuitMessage(static_cast<int>(m.wParam));  // for the main loop
            Termina();
            break;
        }
        ProcesaMensaje(m);
    }
    if (dueno_) {
        EnableWindow(dueno_, TRUE);
        SetActiveWindow(GetAncestor(dueno_, GA_ROOT));
    }
    ShowWindow(hwnd_, SW_HIDE);
    PonCursorEspera(espera);
}

// The window closes, by "Aceptar", its close box or Esc: what was typed is kept.
void VentanaPlantillaWin32::Termina()
{
    if (terminada_)
        return;
    terminada_ = true;
    comportamiento_->AlCerrar();
}

void VentanaPlantillaWin32::Pulsa(const std::string& boton)
{
    // The grid's own news of the focus leaving it may still wait in the queue behind the click
    // (a click posted by another program, a shortcut): what was typed is posted before the
    // button acts, as leaving the grid would.
    ConfirmaEdicion(kRejilla);
    comportamiento_->Sale(kRejilla);
    comportamiento_->Clic(boton);
}

LRESULT CALLBACK VentanaPlantillaWin32::Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l)
{
    if (mensaje == WM_NCCREATE) {
        auto* yo = static_cast<VentanaPlantillaWin32*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        yo->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(yo));
    }
    auto* yo = reinterpret_cast<VentanaPlantillaWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!yo || !yo->controles_)
        return DefWindowProcW(hwnd, mensaje, w, l);
    return yo->Procesa(mensaje, w, l);
}

LRESULT VentanaPlantillaWin32::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(hwnd_, &r);
        HBRUSH b = CreateSolidBrush(controles::ColorWindows(desktop::VentanaPlantilla().color));
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 1;
    }
    case WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && l) {
            const std::string nombre = controles_->NombrePorId(LOWORD(w));
            if (!nombre.empty())
                Pulsa(nombre);
        } else if (LOWORD(w) == IDOK && !l) {
            Pulsa("BitBtn2");  // Enter outside the grid: the default button
        } else if (LOWORD(w) == IDCANCEL && !l) {
            Termina();  // Esc
        }
        return 0;
    case kMensajeF1:
        comportamiento_->F1(controles_->NombreDe(reinterpret_cast<HWND>(w)));
        return 0;
    case WM_SETCURSOR:
        if (AplicaCursorEspera())
            return TRUE;
        break;
    case WM_CLOSE:
        Termina();
        return 0;
    }
    return DefWindowProcW(hwnd_, mensaje, w, l);
}

}  // namespace ventanas
