#include "win32/ventanas/construccion.h"

#include "win32/controles/boton.h"
#include "win32/controles/fuente.h"
#include "win32/controles/lista_carpetas.h"
#include "win32/controles/navegador_datos.h"
#include "win32/controles/panel_degradado.h"
#include "win32/controles/rejilla_datos.h"
#include "win32/controles/selector_unidades.h"
#include "win32/ventanas/etiqueta.h"
#include "win32/ventanas/fuente_rejilla.h"
#include "win32/ventanas/identificadores.h"

#include <stdexcept>
#include <tuple>

namespace ventanas {

namespace {

std::optional<std::uint32_t> Opcional(desktop::Color c)
{
    if (c == desktop::kSinColor)
        return std::nullopt;
    return c;
}

}  // namespace

HFONT FuenteDe(const desktop::Fuente& d, UINT dpi)
{
    static std::map<std::tuple<int, int, bool, bool, UINT>, HFONT> fuentes;
    const bool arial = d.familia == desktop::Familia::Arial;
    if (!arial && d.pixeles == 0 && !d.subrayada)
        return controles::FuenteMsSansSerif(dpi, d.negrita);
    const int pixeles = d.pixeles > 0 ? d.pixeles : 11;
    HFONT& f = fuentes[{arial ? 1 : 0, pixeles, d.negrita, d.subrayada, dpi}];
    if (!f) {
        f = CreateFontW(-MulDiv(pixeles, static_cast<int>(dpi), 96), 0, 0, 0, d.negrita ? FW_BOLD : FW_NORMAL, FALSE,
                        d.subrayada, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, arial ? L"Arial" : L"MS Sans Serif");
        if (!f)
            f = controles::FuenteMsSansSerif(dpi, d.negrita);
    }
    return f;
}

ControlesWin32::ControlesWin32(HWND ventana, const desktop::Ventana& d)
    : ventana_(ventana), descripcion_(d), dpi_(controles::DpiDe(ventana))
{
    for (const desktop::Control& c : d.controles) {
        HWND padre = c.padre.empty() ? ventana : (*this)[c.padre];
        const int id = IdControl(d, c.nombre);
        const int x = Escala(c.lugar.x), y = Escala(c.lugar.y), an = Escala(c.lugar.ancho), al = Escala(c.lugar.alto);
        HWND w = nullptr;
        switch (c.clase) {
        case desktop::Clase::PanelDegradado: {
            auto* panel = controles::PanelDegradado::Crea(padre, id, x, y, an, al);
            if (!panel)
                break;
            if (c.colorMedio == desktop::kSinColor)
                panel->ponColores(c.color, c.color, c.color);
            else
                panel->ponColores(c.color, c.colorMedio, c.colorFin);
            panel->ponBiselado(c.biselado);
            w = panel->hwnd();
            break;
        }
        case desktop::Clase::Etiqueta: {
            EstiloEtiqueta e;
            e.fuente = FuenteDe(c.fuente, dpi_);
            if (c.colorTexto != desktop::kSinColor)
                e.colorTexto = c.colorTexto;
            e.fondo = c.color;
            e.ajustaLineas = c.ajustaLineas;
            e.centrado = c.centrado;
            w = CreaEtiqueta(padre, id, x, y, an, al, AnsiAUtf8(c.texto), e);
            if (c.autoTamano)
                AjustaAlTexto(w);
            break;
        }
        case desktop::Clase::Boton:
            w = controles::CreaBoton(padre, id, x, y, an, al, AnsiAUtf8(c.texto), c.glifo != desktop::Glifo::Ninguno,
                                     c.glifo);
            if (c.fuente.negrita || c.fuente.pixeles || c.fuente.familia != desktop::Familia::Formulario)
                SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(FuenteDe(c.fuente, dpi_)), FALSE);
            if (c.porDefecto)
                SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | BS_DEFPUSHBUTTON);
            break;
        case desktop::Clase::ListaCarpetas: {
            auto* lista = controles::ListaCarpetas::Crea(padre, id, x, y, an, al);
            if (!lista)
                break;
            if (c.color != desktop::kSinColor)
                lista->ponColorFondo(c.color);
            w = lista->hwnd();
            break;
        }
        case desktop::Clase::SelectorUnidades: {
            auto* unidades = controles::SelectorUnidades::Crea(padre, id, x, y, an, al);
            if (!unidades)
                break;
            if (c.color != desktop::kSinColor)
                unidades->ponColorFondo(c.color);
            w = unidades->hwnd();
            break;
        }
        case desktop::Clase::Rejilla: {
            auto* r = controles::RejillaDatos::Crea(padre, id, x, y, an, al);
            if (!r)
                break;
            const desktop::DescripcionRejilla& g = c.rejilla;
            r->ponColumnasFijas(g.columnasFijas);
            r->ponLineasTitulo(g.lineasTitulo);
            r->ponColorCeldas(g.colorCeldas);
            r->ponColorFilasAlternas(Opcional(g.colorFilasAlternas));
            r->ponColorTitulos(g.colorTitulos);
            r->ponColorTextoTitulos(g.colorTextoTitulos);
            r->ponColorFilaActual(Opcional(g.colorFilaActual));
            r->ponPermiteAnadir(g.permiteAnadir);
            r->ponPermiteBorrar(g.permiteBorrar);
            r->ponEnterComoTab(g.enterComoTab);
            r->ponBarraHorizontal(g.barraHorizontal);
            w = r->hwnd();
            break;
        }
        case desktop::Clase::Navegador:
            if (auto* navegador = controles::NavegadorDatos::Crea(padre, id, x, y, an, al))
                w = navegador->hwnd();
            break;
        }
        if (!w)
            throw std::runtime_error("No se pudo crear el control " + c.nombre);
        // The label's colour is drawn by the label; a button's text by Windows.
        ShowWindow(w, c.visible ? SW_SHOWNA : SW_HIDE);
        controles_[c.nombre] = w;
    }
    // The links between controls: the folder list's label, the drive picker's list, the
    // navigator's grid.
    for (const desktop::Control& c : d.controles) {
        if (c.vinculo.empty() || !(*this)[c.nombre] || !(*this)[c.vinculo])
            continue;
        HWND w = (*this)[c.nombre];
        HWND v = (*this)[c.vinculo];
        if (auto* lista = controles::ListaCarpetas::De(w))
            lista->ponEtiqueta(v);
        else if (auto* unidades = controles::SelectorUnidades::De(w))
            unidades->ponLista(controles::ListaCarpetas::De(v));
        else if (auto* navegador = controles::NavegadorDatos::De(w))
            navegador->ponRejilla(controles::RejillaDatos::De(v));
    }
}

int ControlesWin32::Escala(int pixeles) const
{
    return controles::Escala(pixeles, dpi_);
}

HWND ControlesWin32::operator[](const std::string& nombre) const
{
    const auto it = controles_.find(nombre);
    return it == controles_.end() ? nullptr : it->second;
}

std::string ControlesWin32::NombreDe(HWND hwnd) const
{
    for (; hwnd && hwnd != ventana_; hwnd = GetParent(hwnd)) {
        const std::string nombre = NombrePorId(GetDlgCtrlID(hwnd));
        if (!nombre.empty() && (*this)[nombre] == hwnd)
            return nombre;
    }
    return {};
}

std::string ControlesWin32::NombrePorId(int id) const
{
    const int i = id - kPrimerId;
    if (i < 0 || i >= static_cast<int>(descripcion_.controles.size()))
        return {};
    return descripcion_.controles[static_cast<std::size_t>(i)].nombre;
}

void ControlesWin32::Muestra(const std::string& nombre, bool visible) const
{
    if (HWND w = (*this)[nombre]) {
        ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
        if (visible)
            SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void ControlesWin32::Habilita(const std::string& nombre, bool habilitado) const
{
    if (HWND w = (*this)[nombre])
        EnableWindow(w, habilitado);
}

void ControlesWin32::PonLugar(const std::string& nombre, const desktop::Rectangulo& l) const
{
    if (HWND w = (*this)[nombre])
        SetWindowPos(w, nullptr, Escala(l.x), Escala(l.y), Escala(l.ancho), Escala(l.alto), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ventanas
