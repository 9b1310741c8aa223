#include "win32/controles/selector_unidades.h"

#include "files/win32.h"
#include "win32/controles/colores.h"
#include "win32/controles/fuente.h"
#include "win32/controles/lista_carpetas.h"

#include <commctrl.h>
#include <winnetwk.h>

#include <algorithm>
#include <cctype>

namespace controles {

namespace {

const wchar_t kClase[] = L"TOZSelectorUnidades";
constexpr int kIdCombo = 1;

using files::win32::narrow;
using files::win32::widen;

char LetraDe(const std::string& carpeta)
{
    if (carpeta.size() >= 2 && carpeta[1] == ':' && std::isalpha(static_cast<unsigned char>(carpeta[0])))
        return static_cast<char>(std::toupper(static_cast<unsigned char>(carpeta[0])));
    return 0;
}

}  // namespace

std::string TextoUnidad(char letra, const std::string& etiqueta)
{
    std::string t(1, static_cast<char>(std::tolower(static_cast<unsigned char>(letra))));
    t += ':';
    if (!etiqueta.empty())
        t += " [" + etiqueta + "]";
    return t;
}

Glifo GlifoDeUnidad(unsigned tipo)
{
    switch (tipo) {
    case DRIVE_REMOVABLE: return Glifo::UnidadExtraible;
    case DRIVE_CDROM: return Glifo::UnidadCD;
    case DRIVE_REMOTE: return Glifo::UnidadRed;
    default: return Glifo::Unidad;
    }
}

std::vector<Unidad> UnidadesDeLaMaquina()
{
    std::vector<Unidad> r;
    // No "insert a disk" box for an empty floppy or card reader.
    DWORD modoAnterior = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &modoAnterior);
    const DWORD mascara = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mascara & (1u << i)))
            continue;
        Unidad u;
        u.letra = static_cast<char>('A' + i);
        u.raiz = std::string(1, u.letra) + ":\\";
        const std::wstring raiz = widen(u.raiz);
        u.tipo = GetDriveTypeW(raiz.c_str());
        if (u.tipo == DRIVE_NO_ROOT_DIR)
            continue;
        if (u.tipo == DRIVE_REMOTE) {
            // A network drive is named by its share, as Explorer does.
            wchar_t remota[MAX_PATH];
            DWORD largo = MAX_PATH;
            const std::wstring local = raiz.substr(0, 2);
            if (WNetGetConnectionW(local.c_str(), remota, &largo) == NO_ERROR)
                u.etiqueta = narrow(remota);
        }
        if (u.etiqueta.empty() && u.tipo != DRIVE_REMOVABLE) {
            // Removable drives are not asked: a floppy drive answers only after spinning.
            wchar_t nombre[MAX_PATH + 1] = {};
            if (GetVolumeInformationW(raiz.c_str(), nombre, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
                u.etiqueta = narrow(nombre);
        }
        u.texto = TextoUnidad(u.letra, u.etiqueta);
        r.push_back(std::move(u));
    }
    SetThreadErrorMode(modoAnterior, nullptr);
    return r;
}

SelectorUnidades* SelectorUnidades::Crea(HWND padre, int id, int x, int y, int ancho, int alto)
{
    auto* s = new SelectorUnidades;
    if (!CreaVentana(s, kClase, padre, id, x, y, ancho, alto, WS_VISIBLE | WS_TABSTOP, WS_EX_CONTROLPARENT))
        return nullptr;
    return s;
}

SelectorUnidades* SelectorUnidades::De(HWND hwnd)
{
    return dynamic_cast<SelectorUnidades*>(Control::De(hwnd));
}

SelectorUnidades::~SelectorUnidades()
{
    for (auto& [tipo, icono] : iconos_)
        DestroyIcon(icono);
    if (pincel_)
        DeleteObject(pincel_);
}

void SelectorUnidades::CreaIconos()
{
    for (auto& [tipo, icono] : iconos_)
        DestroyIcon(icono);
    iconos_.clear();
    const int lado = Escala(16, DpiDe(hwnd()));
    for (unsigned tipo : {DRIVE_UNKNOWN, DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_REMOTE, DRIVE_CDROM, DRIVE_RAMDISK})
        iconos_[tipo] = IconoGlifo(GlifoDeUnidad(tipo), lado);
}

void SelectorUnidades::recarga()
{
    unidades_ = UnidadesDeLaMaquina();
    SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    for (const Unidad& u : unidades_)
        SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(u.texto).c_str()));
    if (ListaCarpetas* l = ListaCarpetas::De(lista_))
        SigueLista(l->carpeta());
}

void SelectorUnidades::ponLista(ListaCarpetas* lista)
{
    lista_ = lista ? lista->hwnd() : nullptr;
    if (!lista)
        return;
    HWND yo = hwnd();
    // The list may outlive the picker: the picker is looked for by its window each time.
    lista->observa([yo](const std::string& carpeta) {
        if (SelectorUnidades* s = SelectorUnidades::De(yo))
            s->SigueLista(carpeta);
    });
    SigueLista(lista->carpeta());
}

int SelectorUnidades::FilaDe(const std::string& carpeta) const
{
    const char letra = LetraDe(carpeta);
    for (std::size_t i = 0; i < unidades_.size(); ++i) {
        if (unidades_[i].letra == letra)
            return static_cast<int>(i);
    }
    return -1;
}

int SelectorUnidades::elegida() const
{
    return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0));
}

void SelectorUnidades::SigueLista(const std::string& carpeta)
{
    SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(FilaDe(carpeta)), 0);
    if (const char letra = LetraDe(carpeta))
        ultimaCarpeta_[letra] = carpeta;
}

void SelectorUnidades::elige(int fila)
{
    ListaCarpetas* lista = ListaCarpetas::De(lista_);
    if (!lista || fila < 0 || fila >= static_cast<int>(unidades_.size()))
        return;
    const Unidad& u = unidades_[static_cast<std::size_t>(fila)];
    const auto ultima = ultimaCarpeta_.find(u.letra);
    const std::string destino = ultima != ultimaCarpeta_.end() ? ultima->second : u.raiz;
    DWORD modoAnterior = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &modoAnterior);
    const bool ok = lista->abre(destino);
    SetThreadErrorMode(modoAnterior, nullptr);
    // A drive that cannot be opened (no disk in it): the picker shows the list's drive again.
    if (!ok)
        SigueLista(lista->carpeta());
}

void SelectorUnidades::Dibuja(const DRAWITEMSTRUCT& d) const
{
    const bool seleccionada = (d.itemState & ODS_SELECTED) && !(d.itemState & ODS_COMBOBOXEDIT && GetFocus() != combo_);
    if (seleccionada) {
        FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
    } else {
        HBRUSH fondo = CreateSolidBrush(ColorWindows(fondo_));
        FillRect(d.hDC, &d.rcItem, fondo);
        DeleteObject(fondo);
    }
    if (d.itemID == static_cast<UINT>(-1) || d.itemID >= unidades_.size())
        return;
    const Unidad& u = unidades_[d.itemID];
    const UINT dpi = DpiDe(hwnd());
    const int lado = Escala(16, dpi);
    const auto icono = iconos_.find(u.tipo);
    const int y = d.rcItem.top + (d.rcItem.bottom - d.rcItem.top - lado) / 2;
    if (icono != iconos_.end())
        DrawIconEx(d.hDC, d.rcItem.left + Escala(2, dpi), y, icono->second, lado, lado, 0, nullptr, DI_NORMAL);
    RECT t = d.rcItem;
    t.left += Escala(2 + 16 + 4, dpi);
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(seleccionada ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ vieja = SelectObject(d.hDC, FuenteMsSansSerif(dpi));
    const std::wstring texto = widen(u.texto);
    DrawTextW(d.hDC, texto.c_str(), -1, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(d.hDC, vieja);
    if ((d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT))
        DrawFocusRect(d.hDC, &d.rcItem);
}

void SelectorUnidades::ponColorFondo(std::uint32_t color)
{
    fondo_ = color;
    if (pincel_)
        DeleteObject(pincel_);
    pincel_ = CreateSolidBrush(ColorWindows(color));
    InvalidateRect(combo_, nullptr, TRUE);
}

LRESULT SelectorUnidades::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_CTLCOLORLISTBOX:
        if (pincel_)
            return reinterpret_cast<LRESULT>(pincel_);
        break;
    case WM_CREATE: {
        CreaIconos();
        RECT r;
        GetClientRect(hwnd(), &r);
        // The height given is the closed box's; the list drops below it.
        combo_ = CreateWindowExW(0, WC_COMBOBOXW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST |
                                     CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                 0, 0, r.right, r.bottom + Escala(200, DpiDe(hwnd())), hwnd(),
                                 reinterpret_cast<HMENU>(kIdCombo), GetModuleHandleW(nullptr), nullptr);
        if (!combo_)
            return -1;
        PonFuente(combo_);
        recarga();
        return 0;
    }
    case WM_SETFOCUS:
        if (combo_)
            SetFocus(combo_);
        return 0;
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        const UINT dpi = DpiDe(hwnd());
        // The closed box (-1) takes the control's height, less its edge; the rows 16 pixels.
        RECT r;
        GetClientRect(hwnd(), &r);
        m->itemHeight = m->itemID == static_cast<UINT>(-1) ? static_cast<UINT>(std::max<LONG>(Escala(16, dpi), r.bottom - 6))
                                                           : static_cast<UINT>(Escala(18, dpi));
        return TRUE;
    }
    case WM_DRAWITEM:
        Dibuja(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(w) == kIdCombo) {
            const int fila = elegida();
            const bool desplegada = SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0);
            ListaCarpetas* lista = ListaCarpetas::De(lista_);
            const bool otra = lista && fila != FilaDe(lista->carpeta());
            if ((HIWORD(w) == CBN_SELCHANGE && !desplegada && otra) || (HIWORD(w) == CBN_CLOSEUP && otra))
                elige(fila);
            return 0;
        }
        break;
    case WM_DPICHANGED_AFTERPARENT:
        CreaIconos();
        PonFuente(combo_);
        return 0;
    }
    return Control::Procesa(mensaje, w, l);
}

}  // namespace controles
