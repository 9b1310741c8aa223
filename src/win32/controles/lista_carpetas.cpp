#include "win32/controles/lista_carpetas.h"

#include "files/folders.h"
#include "files/win32.h"
#include "win32/controles/colores.h"
#include "win32/controles/fuente.h"
#include "win32/controles/glifos.h"

#include <commctrl.h>

#include <algorithm>

namespace controles {

namespace {

const wchar_t kClase[] = L"TOZListaCarpetas";
constexpr UINT_PTR kSubclase = 0x544F5A4C;
constexpr int kIdLista = 1;
constexpr int kSangria = 9;
constexpr int kAltoEntrada = 16;

using files::win32::narrow;
using files::win32::widen;

// The root of a path: "C:\" or "\\server\share\"; its length in `ruta`.
std::size_t LargoRaiz(const std::string& ruta)
{
    if (ruta.size() >= 2 && ruta[1] == ':')
        return ruta.size() >= 3 && ruta[2] == '\\' ? 3 : 2;
    if (ruta.rfind("\\\\", 0) == 0) {
        // \\server\share\ : two more separators after the leading pair.
        std::size_t p = ruta.find('\\', 2);
        if (p == std::string::npos)
            return ruta.size();
        p = ruta.find('\\', p + 1);
        return p == std::string::npos ? ruta.size() : p + 1;
    }
    return ruta.rfind('\\', 0) == 0 ? 1 : 0;
}

// A full path without "." or ".." and without a trailing separator but for a root.
std::string Limpia(const std::string& ruta)
{
    const std::wstring ancha = widen(ruta);
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameW(ancha.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    std::wstring w = (n > 0 && n < std::size(buffer)) ? std::wstring(buffer, n) : ancha;
    std::replace(w.begin(), w.end(), L'/', L'\\');
    std::string r = narrow(w);
    while (r.size() > LargoRaiz(r) && r.back() == '\\')
        r.pop_back();
    if (r.size() == 2 && r[1] == ':')
        r += '\\';
    return r;
}

// A folder to offer: hidden ones ("$Recycle.Bin", "System Volume Information") are left out,
// as Windows' own folder lists leave them.
bool EsCarpeta(const std::string& ruta)
{
    const files::EntryKind k = files::entryKind(ruta);
    const bool carpeta = k == files::EntryKind::Folder ||
                         (k == files::EntryKind::Link && files::targetKind(ruta) == files::EntryKind::Folder);
    if (!carpeta)
        return false;
    const DWORD atributos = GetFileAttributesW(widen(ruta).c_str());
    return atributos == INVALID_FILE_ATTRIBUTES || !(atributos & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

ListaCarpetas* ListaCarpetas::Crea(HWND padre, int id, int x, int y, int ancho, int alto)
{
    auto* l = new ListaCarpetas;
    if (!CreaVentana(l, kClase, padre, id, x, y, ancho, alto, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN,
                     WS_EX_CONTROLPARENT))
        return nullptr;
    return l;
}

ListaCarpetas* ListaCarpetas::De(HWND hwnd)
{
    return dynamic_cast<ListaCarpetas*>(Control::De(hwnd));
}

ListaCarpetas::~ListaCarpetas()
{
    if (abierta_)
        DestroyIcon(abierta_);
    if (cerrada_)
        DestroyIcon(cerrada_);
    if (pincel_)
        DeleteObject(pincel_);
}

void ListaCarpetas::CreaIconos()
{
    const int lado = Escala(16, DpiDe(hwnd()));
    if (abierta_)
        DestroyIcon(abierta_);
    if (cerrada_)
        DestroyIcon(cerrada_);
    abierta_ = IconoGlifo(Glifo::CarpetaAbierta, lado);
    cerrada_ = IconoGlifo(Glifo::CarpetaCerrada, lado);
}

void ListaCarpetas::muestraDirectorioActual()
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(buffer)), buffer);
    carpeta_ = Limpia(n > 0 && n < std::size(buffer) ? narrow(std::wstring(buffer, n)) : std::string("C:\\"));
    Reconstruye();
    ActualizaEtiqueta();
}

bool ListaCarpetas::abre(const std::string& ruta)
{
    const std::string limpia = Limpia(ruta);
    if (!SetCurrentDirectoryW(widen(limpia).c_str())) {
        const unsigned long codigo = GetLastError();
        if (alFallar_)
            alFallar_(limpia, codigo);
        else
            MessageBeep(MB_ICONWARNING);
        return false;
    }
    carpeta_ = limpia;
    Reconstruye();
    ActualizaEtiqueta();
    // A copy: an observer may add another.
    const auto observadores = observadores_;
    for (const AlCambiar& o : observadores)
        o(carpeta_);
    return true;
}

bool ListaCarpetas::abreEntrada(int fila)
{
    if (fila < 0 || fila >= static_cast<int>(entradas_.size()))
        return false;
    // A copy: opening rebuilds the entries.
    const std::string ruta = entradas_[static_cast<std::size_t>(fila)].ruta;
    return abre(ruta);
}

void ListaCarpetas::Reconstruye()
{
    entradas_.clear();
    // The path from the root down to the open folder.
    const std::size_t largoRaiz = LargoRaiz(carpeta_);
    std::string raiz = carpeta_.substr(0, largoRaiz);
    if (!raiz.empty() && raiz.back() != '\\')
        raiz += '\\';
    int nivel = 0;
    entradas_.push_back({raiz, raiz, nivel++, true});
    std::string ruta = raiz;
    std::size_t p = largoRaiz;
    while (p < carpeta_.size()) {
        std::size_t fin = carpeta_.find('\\', p);
        if (fin == std::string::npos)
            fin = carpeta_.size();
        const std::string nombre = carpeta_.substr(p, fin - p);
        if (!nombre.empty()) {
            ruta = files::joinPath(ruta.back() == '\\' ? ruta.substr(0, ruta.size() - 1) : ruta, nombre);
            entradas_.push_back({ruta, nombre, nivel++, true});
        }
        p = fin + 1;
    }
    const int actual = static_cast<int>(entradas_.size()) - 1;
    std::vector<std::string> hijas;
    for (const std::string& nombre : files::listFolder(carpeta_)) {
        if (EsCarpeta(files::joinPath(carpeta_, nombre)))
            hijas.push_back(nombre);
    }
    std::sort(hijas.begin(), hijas.end(), [](const std::string& a, const std::string& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, widen(a).c_str(), -1, widen(b).c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    const std::string base = carpeta_.back() == '\\' ? carpeta_.substr(0, carpeta_.size() - 1) : carpeta_;
    for (const std::string& h : hijas)
        entradas_.push_back({files::joinPath(base, h), h, nivel, false});

    if (!lista_)
        return;
    SendMessageW(lista_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(lista_, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(lista_);
    HGDIOBJ vieja = SelectObject(dc, FuenteMsSansSerif(DpiDe(hwnd())));
    const UINT dpi = DpiDe(hwnd());
    int anchoMaximo = 0;
    for (const Entrada& e : entradas_) {
        const std::wstring nombre = widen(e.nombre);
        SendMessageW(lista_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(nombre.c_str()));
        SIZE s{};
        GetTextExtentPoint32W(dc, nombre.c_str(), static_cast<int>(nombre.size()), &s);
        anchoMaximo = std::max(anchoMaximo, Escala(2 + e.nivel * kSangria + 19 + 6, dpi) + static_cast<int>(s.cx));
    }
    SelectObject(dc, vieja);
    ReleaseDC(lista_, dc);
    SendMessageW(lista_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(anchoMaximo), 0);
    SendMessageW(lista_, LB_SETCURSEL, static_cast<WPARAM>(actual), 0);
    // The open folder in the middle of the list, as far as the list allows.
    RECT r;
    GetClientRect(lista_, &r);
    const int visibles = std::max(1, static_cast<int>(r.bottom / std::max(1, Escala(kAltoEntrada, dpi))));
    SendMessageW(lista_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, actual - visibles / 2)), 0);
    SendMessageW(lista_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(lista_, nullptr, TRUE);
}

void ListaCarpetas::DibujaEntrada(const DRAWITEMSTRUCT& d) const
{
    if (d.itemID == static_cast<UINT>(-1) || d.itemID >= entradas_.size())
        return;
    const Entrada& e = entradas_[d.itemID];
    const UINT dpi = DpiDe(hwnd());
    HDC dc = d.hDC;
    HBRUSH fondo = CreateSolidBrush(ColorWindows(fondo_));
    FillRect(dc, &d.rcItem, fondo);
    DeleteObject(fondo);
    const int lado = Escala(16, dpi);
    const int x = d.rcItem.left + Escala(2 + e.nivel * kSangria, dpi);
    const int y = d.rcItem.top + (d.rcItem.bottom - d.rcItem.top - lado) / 2;
    DrawIconEx(dc, x, y, e.abierta ? abierta_ : cerrada_, lado, lado, 0, nullptr, DI_NORMAL);
    const std::wstring texto = widen(e.nombre);
    HGDIOBJ vieja = SelectObject(dc, FuenteMsSansSerif(dpi));
    SIZE s{};
    GetTextExtentPoint32W(dc, texto.c_str(), static_cast<int>(texto.size()), &s);
    RECT caja{x + Escala(19, dpi), d.rcItem.top, x + Escala(19 + 4, dpi) + s.cx, d.rcItem.bottom};
    const bool seleccionada = d.itemState & ODS_SELECTED;
    if (seleccionada)
        FillRect(dc, &caja, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(seleccionada ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT t = caja;
    t.left += Escala(2, dpi);
    DrawTextW(dc, texto.c_str(), static_cast<int>(texto.size()), &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (seleccionada && (d.itemState & ODS_FOCUS))
        DrawFocusRect(dc, &caja);
    SelectObject(dc, vieja);
}

void ListaCarpetas::ponEtiqueta(HWND etiqueta)
{
    etiqueta_ = etiqueta;
    ActualizaEtiqueta();
}

void ListaCarpetas::ActualizaEtiqueta()
{
    if (!etiqueta_)
        return;
    RECT r;
    GetWindowRect(hwnd(), &r);
    HDC dc = GetDC(etiqueta_);
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(etiqueta_, WM_GETFONT, 0, 0));
    HGDIOBJ vieja = SelectObject(dc, f ? f : FuenteMsSansSerif(DpiDe(etiqueta_)));
    const std::string texto = AbreviaRuta(dc, carpeta_, r.right - r.left);
    SelectObject(dc, vieja);
    ReleaseDC(etiqueta_, dc);
    SetWindowTextW(etiqueta_, widen(texto).c_str());
    // A label drawn transparent leaves its old text behind unless its parent repaints there.
    GetWindowRect(etiqueta_, &r);
    MapWindowPoints(nullptr, GetParent(etiqueta_), reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(GetParent(etiqueta_), &r, TRUE);
}

std::string ListaCarpetas::AbreviaRuta(HDC dc, const std::string& ruta, int ancho)
{
    auto cabe = [&](const std::string& t) {
        const std::wstring w = widen(t);
        SIZE s{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &s);
        return s.cx <= ancho;
    };
    if (cabe(ruta))
        return ruta;
    const std::size_t largoRaiz = LargoRaiz(ruta);
    std::string raiz = ruta.substr(0, largoRaiz);
    if (raiz.empty() || raiz.back() != '\\')
        raiz += '\\';
    std::string resto = ruta.substr(largoRaiz);
    if (!resto.empty() && resto.front() == '\\')
        resto.erase(0, 1);
    // Drop leading folders until what is left fits after "root\...\".
    for (std::size_t p = resto.find('\\'); p != std::string::npos; p = resto.find('\\')) {
        resto.erase(0, p + 1);
        const std::string intento = raiz + "...\\" + resto;
        if (cabe(intento))
            return intento;
    }
    // Not even the last folder fits: cut it at the right with an ellipsis.
    std::wstring w = widen(raiz + "...\\" + resto);
    std::vector<wchar_t> buffer(w.begin(), w.end());
    buffer.resize(w.size() + 8, L'\0');
    RECT r{0, 0, ancho, 100};
    DrawTextW(dc, buffer.data(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX | DT_CALCRECT);
    return narrow(buffer.data());
}

LRESULT CALLBACK ListaCarpetas::ProcLista(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR datos)
{
    auto* yo = reinterpret_cast<ListaCarpetas*>(datos);
    switch (mensaje) {
    case WM_GETDLGCODE:
        // Enter belongs to the list, not to the dialog's default button.
        if (l && reinterpret_cast<MSG*>(l)->message == WM_KEYDOWN && reinterpret_cast<MSG*>(l)->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, mensaje, w, l);
        break;
    case WM_KEYDOWN:
        if (w == VK_RETURN) {
            yo->abreEntrada(static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &ListaCarpetas::ProcLista, kSubclase);
        break;
    }
    return DefSubclassProc(hwnd, mensaje, w, l);
}

void ListaCarpetas::ponColorFondo(std::uint32_t color)
{
    fondo_ = color;
    if (pincel_)
        DeleteObject(pincel_);
    pincel_ = CreateSolidBrush(ColorWindows(color));
    InvalidateRect(lista_, nullptr, TRUE);
}

LRESULT ListaCarpetas::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_CTLCOLORLISTBOX:
        // The part of the list below its rows in the list's colour.
        if (pincel_)
            return reinterpret_cast<LRESULT>(pincel_);
        break;
    case WM_CREATE: {
        CreaIconos();
        RECT r;
        GetClientRect(hwnd(), &r);
        lista_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY |
                                     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                                 0, 0, r.right, r.bottom, hwnd(), reinterpret_cast<HMENU>(kIdLista),
                                 GetModuleHandleW(nullptr), nullptr);
        if (!lista_)
            return -1;
        PonFuente(lista_);
        SetWindowSubclass(lista_, &ListaCarpetas::ProcLista, kSubclase, reinterpret_cast<DWORD_PTR>(this));
        muestraDirectorioActual();
        return 0;
    }
    case WM_SIZE:
        if (lista_)
            MoveWindow(lista_, 0, 0, LOWORD(l), HIWORD(l), TRUE);
        ActualizaEtiqueta();
        return 0;
    case WM_SETFOCUS:
        if (lista_)
            SetFocus(lista_);
        return 0;
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        m->itemHeight = static_cast<UINT>(Escala(kAltoEntrada, DpiDe(hwnd())));
        return TRUE;
    }
    case WM_DRAWITEM:
        DibujaEntrada(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(w) == kIdLista && HIWORD(w) == LBN_DBLCLK) {
            abreEntrada(static_cast<int>(SendMessageW(lista_, LB_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    case WM_DPICHANGED_AFTERPARENT:
        CreaIconos();
        PonFuente(lista_);
        SendMessageW(lista_, LB_SETITEMHEIGHT, 0, Escala(kAltoEntrada, DpiDe(hwnd())));
        Reconstruye();
        return 0;
    }
    return Control::Procesa(mensaje, w, l);
}

}  // namespace controles
