#include "win32/controles/navegador_datos.h"

#include "files/win32.h"
#include "win32/controles/datos_rejilla.h"
#include "win32/controles/fuente.h"
#include "win32/controles/glifos.h"
#include "win32/controles/rejilla_datos.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>

namespace controles {

namespace {

const wchar_t kClase[] = L"TOZNavegadorDatos";

struct Definicion {
    Glifo glifo;
    const char* pista;
};

const Definicion kDefiniciones[NavegadorDatos::kBotones] = {
    {Glifo::Primero, "Move to first record"},
    {Glifo::Anterior10, "Move backward 10 records"},
    {Glifo::Anterior, "Move to prior record"},
    {Glifo::Siguiente, "Move to next record"},
    {Glifo::Siguiente10, "Move forward 10 records"},
    {Glifo::Ultimo, "Move to last record"},
    {Glifo::Editar, "Edit current record"},
    {Glifo::Confirmar, "Post changes of current record"},
    {Glifo::Cancelar, "Cancel changes made to current record"},
    {Glifo::Refrescar, "Refresh the contents of the dataset"},
};

}  // namespace

const char* NavegadorDatos::Pista(Boton b)
{
    return kDefiniciones[b].pista;
}

NavegadorDatos* NavegadorDatos::Crea(HWND padre, int id, int x, int y, int ancho, int alto)
{
    auto* n = new NavegadorDatos;
    if (!CreaVentana(n, kClase, padre, id, x, y, ancho, alto, WS_VISIBLE))
        return nullptr;
    return n;
}

NavegadorDatos* NavegadorDatos::De(HWND hwnd)
{
    return dynamic_cast<NavegadorDatos*>(Control::De(hwnd));
}

NavegadorDatos::~NavegadorDatos()
{
    for (auto& par : iconos_) {
        for (HICON i : par) {
            if (i)
                DestroyIcon(i);
        }
    }
}

void NavegadorDatos::Desvincula()
{
    if (datos_)
        datos_->dejaDeObservar(observacion_);
    datos_ = nullptr;
}

void NavegadorDatos::ponRejilla(RejillaDatos* rejilla)
{
    Desvincula();
    rejilla_ = rejilla ? rejilla->hwnd() : nullptr;
    datos_ = rejilla ? rejilla->datos() : nullptr;
    if (datos_)
        observacion_ = datos_->observa([this] { Actualiza(); });
    Actualiza();
}

RECT NavegadorDatos::rectanguloBoton(Boton b) const
{
    // The buttons share the width, the first ones taking the pixels left over.
    RECT r;
    GetClientRect(hwnd(), &r);
    const int base = r.right / kBotones;
    const int resto = r.right % kBotones;
    const int x = b * base + std::min<int>(b, resto);
    return {x, 0, x + base + (b < resto ? 1 : 0), r.bottom};
}

int NavegadorDatos::BotonEn(int x, int y) const
{
    for (int b = 0; b < kBotones; ++b) {
        const RECT r = rectanguloBoton(static_cast<Boton>(b));
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return b;
    }
    return -1;
}

void NavegadorDatos::pulsa(Boton b)
{
    RejillaDatos* rejilla = RejillaDatos::De(rejilla_);
    if (!rejilla || !datos_ || !habilitados_[b])
        return;
    DatosRejilla* d = datos_;
    const int fila = d->filaActual();
    const int ultima = d->filas() - 1;
    try {
        switch (b) {
        case Primero: rejilla->irAFila(0); break;
        case Anterior10: rejilla->irAFila(std::max(0, fila - 10)); break;
        case Anterior: rejilla->irAFila(std::max(0, fila - 1)); break;
        case Siguiente: rejilla->irAFila(std::min(ultima, fila + 1)); break;
        case Siguiente10: rejilla->irAFila(std::min(ultima, fila + 10)); break;
        case Ultimo: rejilla->irAFila(ultima); break;
        case Editar: d->edita(); break;
        case Confirmar:
            if (rejilla->confirmaEdicion())
                d->confirma();
            break;
        case Cancelar:
            if (rejilla->editor())
                SendMessageW(rejilla->editor(), WM_KEYDOWN, VK_ESCAPE, 0);
            d->cancela();
            break;
        case Refrescar: rejilla->confirmaEdicion(); d->refresca(); break;
        }
    } catch (const std::exception& e) {
        if (alFallar_)
            alFallar_(e.what());
        else
            MessageBoxW(GetAncestor(hwnd(), GA_ROOT), files::win32::widen(e.what()).c_str(), nullptr, MB_OK | MB_ICONERROR);
    }
    Actualiza();
    if (alPulsar_)
        alPulsar_(b);
}

void NavegadorDatos::Actualiza()
{
    DatosRejilla* m = RejillaDatos::De(rejilla_) ? datos_ : nullptr;
    const bool activa = m && m->activa();
    const int fila = activa ? m->filaActual() : -1;
    const int ultima = activa ? m->filas() - 1 : -1;
    const bool editando = activa && m->estado() != DatosRejilla::Estado::Navegando;
    const bool arriba = activa && fila > 0;
    const bool abajo = activa && fila >= 0 && fila < ultima;
    const bool nuevos[kBotones] = {arriba, arriba, arriba, abajo, abajo, abajo, activa && !editando,
                                   editando, editando, activa};
    if (!std::equal(std::begin(nuevos), std::end(nuevos), std::begin(habilitados_))) {
        std::copy(std::begin(nuevos), std::end(nuevos), std::begin(habilitados_));
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void NavegadorDatos::CreaIconos()
{
    const int lado = Escala(16, DpiDe(hwnd()));
    for (int b = 0; b < kBotones; ++b) {
        for (int apagado = 0; apagado < 2; ++apagado) {
            if (iconos_[b][apagado])
                DestroyIcon(iconos_[b][apagado]);
            iconos_[b][apagado] = IconoGlifo(kDefiniciones[b].glifo, lado, apagado == 1);
        }
    }
}

void NavegadorDatos::ColocaPistas()
{
    if (!pistas_)
        return;
    for (int b = 0; b < kBotones; ++b) {
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = hwnd();
        ti.uId = static_cast<UINT_PTR>(b);
        ti.rect = rectanguloBoton(static_cast<Boton>(b));
        SendMessageW(pistas_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void NavegadorDatos::Pinta(HDC dc)
{
    RECT cliente;
    GetClientRect(hwnd(), &cliente);
    FillRect(dc, &cliente, GetSysColorBrush(COLOR_BTNFACE));
    HTHEME tema = IsAppThemed() ? OpenThemeData(hwnd(), L"BUTTON") : nullptr;
    const int lado = Escala(16, DpiDe(hwnd()));
    for (int b = 0; b < kBotones; ++b) {
        RECT r = rectanguloBoton(static_cast<Boton>(b));
        const bool hundido = pulsado_ == b && hundido_ && habilitados_[b];
        if (tema) {
            const int estado = !habilitados_[b] ? PBS_DISABLED : hundido ? PBS_PRESSED : caliente_ == b ? PBS_HOT : PBS_NORMAL;
            DrawThemeBackground(tema, dc, BP_PUSHBUTTON, estado, &r, nullptr);
        } else {
            DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (hundido ? DFCS_PUSHED : 0));
        }
        const int desvio = hundido ? 1 : 0;
        DrawIconEx(dc, (r.left + r.right - lado) / 2 + desvio, (r.top + r.bottom - lado) / 2 + desvio,
                   iconos_[b][habilitados_[b] ? 0 : 1], lado, lado, 0, nullptr, DI_NORMAL);
    }
    if (tema)
        CloseThemeData(tema);
}

LRESULT NavegadorDatos::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_CREATE: {
        CreaIconos();
        pistas_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (pistas_) {
            SendMessageW(pistas_, WM_SETFONT, reinterpret_cast<WPARAM>(FuenteMsSansSerif(DpiDe(hwnd()))), FALSE);
            for (int b = 0; b < kBotones; ++b) {
                std::wstring texto = files::win32::widen(kDefiniciones[b].pista);
                TTTOOLINFOW ti{};
                ti.cbSize = TTTOOLINFOW_V2_SIZE;
                ti.uFlags = TTF_SUBCLASS;
                ti.hwnd = hwnd();
                ti.uId = static_cast<UINT_PTR>(b);
                ti.rect = rectanguloBoton(static_cast<Boton>(b));
                ti.lpszText = texto.data();
                SendMessageW(pistas_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
            }
        }
        Actualiza();
        return 0;
    }
    case WM_SIZE:
        ColocaPistas();
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        Pinta(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // No SetFocus: the keyboard stays where it was, in the grid.
        pulsado_ = BotonEn(GET_X_LPARAM(l), GET_Y_LPARAM(l));
        hundido_ = pulsado_ >= 0;
        if (pulsado_ >= 0)
            SetCapture(hwnd());
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    }
    case WM_MOUSEMOVE: {
        const int b = BotonEn(GET_X_LPARAM(l), GET_Y_LPARAM(l));
        const bool hundido = pulsado_ >= 0 && b == pulsado_;
        if (b != caliente_ || hundido != hundido_) {
            caliente_ = b;
            hundido_ = hundido;
            InvalidateRect(hwnd(), nullptr, FALSE);
        }
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, hwnd(), 0};
        TrackMouseEvent(&t);
        return 0;
    }
    case WM_MOUSELEAVE:
        caliente_ = -1;
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        const int b = pulsado_;
        const bool encima = b >= 0 && BotonEn(GET_X_LPARAM(l), GET_Y_LPARAM(l)) == b;
        pulsado_ = -1;
        hundido_ = false;
        if (GetCapture() == hwnd())
            ReleaseCapture();
        InvalidateRect(hwnd(), nullptr, FALSE);
        if (encima)
            pulsa(static_cast<Boton>(b));
        return 0;
    }
    case WM_CAPTURECHANGED:
        pulsado_ = -1;
        hundido_ = false;
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        CreaIconos();
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_DESTROY:
        Desvincula();
        break;
    }
    return Control::Procesa(mensaje, w, l);
}

}  // namespace controles
