#include "win32/controles/rejilla_datos.h"

#include "files/win32.h"
#include "win32/controles/colores.h"
#include "win32/controles/fuente.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>

namespace controles {

namespace {

const wchar_t kClase[] = L"TOZRejillaDatos";
constexpr UINT_PTR kSubclaseEditor = 0x544F5A45;
constexpr UINT kFocoCambiado = WM_APP + 1;
constexpr int kAnchoIndicador = 11;
const COLORREF kLineas = RGB(160, 160, 160);

using files::win32::narrow;
using files::win32::widen;

void Rellena(HDC dc, const RECT& r, COLORREF c)
{
    SetBkColor(dc, c);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Bisel(HDC dc, const RECT& r)
{
    RECT b = r;
    DrawEdge(dc, &b, BDR_RAISEDINNER, BF_RECT);
}

bool Ctrl()
{
    return GetKeyState(VK_CONTROL) < 0;
}

bool Mayusculas()
{
    return GetKeyState(VK_SHIFT) < 0;
}

}  // namespace

RejillaDatos* RejillaDatos::Crea(HWND padre, int id, int x, int y, int ancho, int alto)
{
    auto* r = new RejillaDatos;
    if (!CreaVentana(r, kClase, padre, id, x, y, ancho, alto, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_CLIPCHILDREN,
                     WS_EX_CLIENTEDGE))
        return nullptr;
    return r;
}

RejillaDatos* RejillaDatos::De(HWND hwnd)
{
    return dynamic_cast<RejillaDatos*>(Control::De(hwnd));
}

RejillaDatos::~RejillaDatos()
{
    if (datos_)
        datos_->dejaDeObservar(observacion_);
}

void RejillaDatos::ponDatos(DatosRejilla* datos)
{
    if (editor_)
        CierraEditor();
    if (datos_)
        datos_->dejaDeObservar(observacion_);
    datos_ = datos;
    superior_ = 0;
    desplazamientoX_ = 0;
    columna_ = PrimeraEditable();
    if (datos_)
        observacion_ = datos_->observa([this] { SigueDatos(); });
    ajustaColumnas();
    SigueDatos();
}

void RejillaDatos::ponColumnasFijas(int n)
{
    fijas_ = std::max(0, n);
    columna_ = std::max(columna_, PrimeraEditable());
    Redibuja();
}

void RejillaDatos::ponLineasTitulo(int n)
{
    lineasTitulo_ = std::max(1, n);
    ajustaColumnas();
}

void RejillaDatos::ponColorCeldas(std::uint32_t c)
{
    celdas_ = c;
    Redibuja();
}

void RejillaDatos::ponColorFilasAlternas(std::optional<std::uint32_t> c)
{
    alternas_ = c;
    Redibuja();
}

void RejillaDatos::ponColorTitulos(std::uint32_t c)
{
    titulos_ = c;
    Redibuja();
}

void RejillaDatos::ponColorTextoTitulos(std::uint32_t c)
{
    textoTitulos_ = c;
    Redibuja();
}

void RejillaDatos::ponColorFilaActual(std::optional<std::uint32_t> c)
{
    filaActual_ = c;
    Redibuja();
}

void RejillaDatos::ponBarraHorizontal(bool b)
{
    barraHorizontal_ = b;
    LONG_PTR estilo = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    estilo = b ? (estilo | WS_HSCROLL) : (estilo & ~static_cast<LONG_PTR>(WS_HSCROLL));
    SetWindowLongPtrW(hwnd(), GWL_STYLE, estilo);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ActualizaBarras();
}

int RejillaDatos::AnchoIndicador() const
{
    return Escala(kAnchoIndicador, DpiDe(hwnd()));
}

int RejillaDatos::PrimeraEditable() const
{
    return datos_ && fijas_ < datos_->columnas() ? fijas_ : 0;
}

int RejillaDatos::anchoColumna(int c) const
{
    return c >= 0 && c < static_cast<int>(anchos_.size()) ? anchos_[static_cast<std::size_t>(c)] : 0;
}

void RejillaDatos::ajustaColumnas()
{
    const UINT dpi = DpiDe(hwnd());
    HDC dc = GetDC(hwnd());
    HGDIOBJ vieja = SelectObject(dc, FuenteMsSansSerif(dpi));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE w{}, cero{};
    GetTextExtentPoint32W(dc, L"W", 1, &w);
    GetTextExtentPoint32W(dc, L"0", 1, &cero);
    SelectObject(dc, FuenteMsSansSerif(dpi, true));
    TEXTMETRICW tmNegrita{};
    GetTextMetricsW(dc, &tmNegrita);
    altoFila_ = tm.tmHeight + Escala(4, dpi);
    altoTitulo_ = lineasTitulo_ * tmNegrita.tmHeight + Escala(4, dpi);
    anchos_.clear();
    if (datos_) {
        for (int c = 0; c < datos_->columnas(); ++c) {
            const ColumnaDatos col = datos_->columna(c);
            // Short code columns hold capitals, wider than digits.
            int ancho = col.anchoCaracteres * (col.anchoCaracteres <= 5 ? w.cx : cero.cx) + Escala(4, dpi);
            if (lineasTitulo_ == 1) {
                const std::wstring titulo = widen(col.titulo);
                SIZE t{};
                GetTextExtentPoint32W(dc, titulo.c_str(), static_cast<int>(titulo.size()), &t);
                ancho = std::max(ancho, static_cast<int>(t.cx) + Escala(6, dpi));
            }
            anchos_.push_back(ancho);
        }
    }
    SelectObject(dc, vieja);
    ReleaseDC(hwnd(), dc);
    ActualizaBarras();
    Redibuja();
}

int RejillaDatos::filasVisibles() const
{
    RECT r;
    GetClientRect(hwnd(), &r);
    return std::max(1, static_cast<int>((r.bottom - AltoTitulo()) / std::max(1, AltoFila())));
}

int RejillaDatos::AnchoFijas() const
{
    int ancho = 0;
    for (int c = 0; c < PrimeraEditable(); ++c)
        ancho += anchoColumna(c);
    return ancho;
}

// The fixed columns stay where they are; the others scroll sideways behind them.
RECT RejillaDatos::rectanguloCelda(int fila, int columna) const
{
    int x = AnchoIndicador() - (columna >= PrimeraEditable() ? desplazamientoX_ : 0);
    for (int c = 0; c < columna; ++c)
        x += anchoColumna(c);
    const int y = AltoTitulo() + (fila - superior_) * AltoFila();
    return {x, y, x + anchoColumna(columna), y + AltoFila()};
}

void RejillaDatos::Redibuja()
{
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void RejillaDatos::ActualizaBarras()
{
    if (!hwnd())
        return;
    const int filas = datos_ ? datos_->filas() : 0;
    SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, std::max(0, filas - 1),
                  static_cast<UINT>(filasVisibles()), superior_, 0};
    SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    if (barraHorizontal_) {
        RECT r;
        GetClientRect(hwnd(), &r);
        int total = 0;
        for (int c = PrimeraEditable(); c < static_cast<int>(anchos_.size()); ++c)
            total += anchoColumna(c);
        SCROLLINFO h{sizeof h, SIF_ALL | SIF_DISABLENOSCROLL, 0, std::max(0, total - 1),
                     static_cast<UINT>(std::max<LONG>(1, r.right - AnchoIndicador() - AnchoFijas())), desplazamientoX_, 0};
        SetScrollInfo(hwnd(), SB_HORZ, &h, TRUE);
    }
}

// Scrolls so that the current row and column are in sight.
void RejillaDatos::HazVisible()
{
    if (!datos_)
        return;
    const int fila = datos_->filaActual();
    const int visibles = filasVisibles();
    if (fila >= 0) {
        if (fila < superior_)
            superior_ = fila;
        else if (fila >= superior_ + visibles)
            superior_ = fila - visibles + 1;
    }
    superior_ = std::clamp(superior_, 0, std::max(0, datos_->filas() - visibles));
    RECT cliente;
    GetClientRect(hwnd(), &cliente);
    int x = 0;
    for (int c = PrimeraEditable(); c < columna_; ++c)
        x += anchoColumna(c);
    const int visibleAncho = std::max<int>(1, cliente.right - AnchoIndicador() - AnchoFijas());
    if (x < desplazamientoX_)
        desplazamientoX_ = x;
    else if (x + anchoColumna(columna_) > desplazamientoX_ + visibleAncho)
        desplazamientoX_ = std::max(0, x + anchoColumna(columna_) - visibleAncho);
    ActualizaBarras();
    Redibuja();
}

// The data changed by itself (the navigator, a handler): the grid follows its current row.
void RejillaDatos::SigueDatos()
{
    if (!hwnd())
        return;
    if (!ocupada_) {
        if (editor_ && datos_ && (datos_->filaActual() != filaEditor_ || datos_->filas() <= filaEditor_))
            CierraEditor();
        HazVisible();
    }
    ActualizaBarras();
    Redibuja();
}

bool RejillaDatos::Protege(const std::function<void()>& f)
{
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        if (alFallar_)
            alFallar_(e.what());
        else
            MessageBoxW(GetAncestor(hwnd(), GA_ROOT), widen(e.what()).c_str(), nullptr, MB_OK | MB_ICONERROR);
    }
    return false;
}

void RejillaDatos::irAFila(int fila)
{
    irACelda(fila, columna_);
}

void RejillaDatos::irACelda(int fila, int columna)
{
    if (!datos_ || fila < 0 || fila >= datos_->filas())
        return;
    if (!confirmaEdicion())
        return;
    columna = std::clamp(columna, PrimeraEditable(), std::max(PrimeraEditable(), datos_->columnas() - 1));
    ocupada_ = true;
    if (fila != datos_->filaActual())
        Protege([&] { datos_->irAFila(fila); });
    ocupada_ = false;
    columna_ = columna;
    HazVisible();
}

COLORREF RejillaDatos::fondoCelda(int fila, int columna, bool* negrita, COLORREF* texto) const
{
    COLORREF fondo = ColorWindows(celdas_);
    if (alternas_ && fila % 2 == 1)
        fondo = ColorWindows(*alternas_);
    COLORREF tinta = ColorWindows(0x80000012);
    const bool filaActual = datos_ && fila == datos_->filaActual();
    const bool celdaActual = filaActual && columna == columna_;
    const bool resaltado = celdaActual && GetFocus() == hwnd() && !filaActual_;
    ColorCelda color{fondo, false};
    if (coloresCelda_ && datos_)
        coloresCelda_(datos_->columna(columna).campo, EstadoCelda{fila, columna, celdaActual, resaltado}, color);
    fondo = color.fondo;
    if (filaActual && filaActual_) {
        // The current row blended with the grid's row colour, in white letters.
        fondo = Mezcla(fondo, ColorWindows(*filaActual_), 0.72);
        tinta = RGB(255, 255, 255);
    } else if (resaltado) {
        fondo = GetSysColor(COLOR_HIGHLIGHT);
        tinta = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (negrita)
        *negrita = color.negrita;
    if (texto)
        *texto = tinta;
    return fondo;
}

void RejillaDatos::PintaIndicador(HDC dc, const RECT& r, int fila) const
{
    Rellena(dc, r, GetSysColor(COLOR_BTNFACE));
    Bisel(dc, r);
    if (!datos_ || fila != datos_->filaActual())
        return;
    const UINT dpi = DpiDe(hwnd());
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int u = Escala(1, dpi);
    HGDIOBJ viejaPluma = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ viejoPincel = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    switch (datos_->estado()) {
    case DatosRejilla::Estado::Editando: {
        // An I-beam.
        MoveToEx(dc, cx, cy - 4 * u, nullptr);
        LineTo(dc, cx, cy + 4 * u + 1);
        MoveToEx(dc, cx - 2 * u, cy - 4 * u, nullptr);
        LineTo(dc, cx + 2 * u + 1, cy - 4 * u);
        MoveToEx(dc, cx - 2 * u, cy + 4 * u, nullptr);
        LineTo(dc, cx + 2 * u + 1, cy + 4 * u);
        break;
    }
    case DatosRejilla::Estado::Anadiendo: {
        HGDIOBJ vieja = SelectObject(dc, FuenteMsSansSerif(dpi, true));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT t = r;
        DrawTextW(dc, L"*", 1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, vieja);
        break;
    }
    default: {
        // The arrow of the current record.
        POINT t[3] = {{cx - 2 * u, cy - 4 * u}, {cx + 2 * u, cy}, {cx - 2 * u, cy + 4 * u}};
        Polygon(dc, t, 3);
        break;
    }
    }
    SelectObject(dc, viejoPincel);
    SelectObject(dc, viejaPluma);
}

void RejillaDatos::Pinta(HDC dc)
{
    RECT cliente;
    GetClientRect(hwnd(), &cliente);
    const UINT dpi = DpiDe(hwnd());
    Rellena(dc, cliente, ColorWindows(celdas_));
    const int indicador = AnchoIndicador();
    SetBkMode(dc, TRANSPARENT);

    // The titles, left-aligned, wrapped over their lines.
    RECT esquina{0, 0, indicador, AltoTitulo()};
    Rellena(dc, esquina, GetSysColor(COLOR_BTNFACE));
    Bisel(dc, esquina);
    const int columnas = datos_ ? datos_->columnas() : 0;
    const int filas = datos_ ? datos_->filas() : 0;
    const int fijas = PrimeraEditable();
    HPEN lineas = CreatePen(PS_SOLID, 1, kLineas);
    HGDIOBJ viejaPluma = SelectObject(dc, lineas);
    // A column: its title, wrapped over the title lines, then its cells in the rows in sight.
    auto columna = [&](int c) {
        RECT r = rectanguloCelda(0, c);
        if (r.right < indicador || r.left > cliente.right)
            return;
        r.top = 0;
        r.bottom = AltoTitulo();
        Rellena(dc, r, ColorWindows(titulos_));
        Bisel(dc, r);
        SelectObject(dc, FuenteMsSansSerif(dpi, true));
        SetTextColor(dc, ColorWindows(textoTitulos_));
        RECT t{r.left + Escala(3, dpi), r.top + 1, r.right - Escala(2, dpi), r.bottom - 1};
        const ColumnaDatos col = datos_->columna(c);
        const std::wstring titulo = widen(col.titulo);
        DrawTextW(dc, titulo.c_str(), -1, &t,
                  DT_LEFT | DT_NOPREFIX | (lineasTitulo_ > 1 ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER));
        for (int f = superior_; f < filas; ++f) {
            const RECT rc = rectanguloCelda(f, c);
            if (rc.top >= cliente.bottom)
                break;
            bool negrita = false;
            COLORREF tinta = 0;
            const COLORREF fondo = fondoCelda(f, c, &negrita, &tinta);
            RECT celda{rc.left, rc.top, rc.right - 1, rc.bottom - 1};
            Rellena(dc, celda, fondo);
            SelectObject(dc, FuenteMsSansSerif(dpi, negrita));
            SetTextColor(dc, tinta);
            RECT tc{rc.left + Escala(2, dpi), rc.top, rc.right - Escala(3, dpi), rc.bottom - 1};
            const std::wstring texto = widen(datos_->texto(f, c));
            DrawTextW(dc, texto.c_str(), -1, &tc,
                      (col.numerica ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            MoveToEx(dc, rc.right - 1, rc.top, nullptr);
            LineTo(dc, rc.right - 1, rc.bottom);
            MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
            LineTo(dc, rc.right, rc.bottom - 1);
        }
    };
    // The scrolling columns, behind the fixed ones; then the fixed ones.
    HRGN recorte = CreateRectRgn(indicador + AnchoFijas(), 0, cliente.right, cliente.bottom);
    SelectClipRgn(dc, recorte);
    for (int c = fijas; c < columnas; ++c)
        columna(c);
    DeleteObject(recorte);
    recorte = CreateRectRgn(indicador, 0, cliente.right, cliente.bottom);
    SelectClipRgn(dc, recorte);
    for (int c = 0; c < fijas; ++c)
        columna(c);
    SelectObject(dc, viejaPluma);
    DeleteObject(lineas);
    SelectClipRgn(dc, nullptr);
    DeleteObject(recorte);

    // The indicator column.
    for (int f = superior_; f < filas; ++f) {
        const int y = AltoTitulo() + (f - superior_) * AltoFila();
        if (y >= cliente.bottom)
            break;
        PintaIndicador(dc, RECT{0, y, indicador, y + AltoFila()}, f);
    }
}

bool RejillaDatos::editaCelda()
{
    if (!datos_ || !datos_->activa() || datos_->filas() == 0)
        return false;
    if (!datos_->columna(columna_).editable)
        return false;
    if (!editor_)
        AbreEditor(nullptr);
    return editor_ != nullptr;
}

void RejillaDatos::AbreEditor(const std::wstring* inicial)
{
    if (!datos_ || editor_)
        return;
    const int fila = datos_->filaActual();
    if (fila < 0 || fila >= datos_->filas())
        return;
    const ColumnaDatos col = datos_->columna(columna_);
    if (!col.editable) {
        MessageBeep(MB_OK);
        return;
    }
    HazVisible();
    const RECT r = rectanguloCelda(fila, columna_);
    const UINT dpi = DpiDe(hwnd());
    editor_ = CreateWindowExW(0, WC_EDITW, L"",
                              WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (col.numerica ? ES_RIGHT : ES_LEFT),
                              r.left + Escala(1, dpi), r.top + Escala(1, dpi), r.right - r.left - Escala(2, dpi),
                              r.bottom - r.top - Escala(2, dpi), hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!editor_)
        return;
    filaEditor_ = fila;
    columnaEditor_ = columna_;
    PonFuente(editor_);
    // The typed text stands where the cell's text stood.
    SendMessageW(editor_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(Escala(1, dpi), Escala(2, dpi)));
    // Typing stops at the column's length; a paste is cut there too.
    if (col.longitudMaxima > 0)
        SendMessageW(editor_, EM_SETLIMITTEXT, static_cast<WPARAM>(col.longitudMaxima), 0);
    SetWindowSubclass(editor_, &RejillaDatos::ProcEditor, kSubclaseEditor, reinterpret_cast<DWORD_PTR>(this));
    editorEdita_ = false;
    cargandoEditor_ = true;
    SetWindowTextW(editor_, widen(datos_->texto(fila, columna_)).c_str());
    cargandoEditor_ = false;
    SendMessageW(editor_, EM_SETSEL, 0, -1);
    SetFocus(editor_);
    if (inicial) {
        // The key that opened the editor replaces the text, as it would in the cell.
        for (wchar_t c : *inicial)
            SendMessageW(editor_, WM_CHAR, c, 0);
    }
}

void RejillaDatos::CierraEditor()
{
    if (!editor_)
        return;
    HWND e = editor_;
    editor_ = nullptr;
    const bool teniaFoco = GetFocus() == e;
    if (teniaFoco)
        SetFocus(hwnd());
    DestroyWindow(e);
    Redibuja();
}

bool RejillaDatos::confirmaEdicion()
{
    if (!editor_ || !datos_)
        return true;
    const int largo = GetWindowTextLengthW(editor_);
    std::wstring ancho(static_cast<std::size_t>(largo) + 1, L'\0');
    GetWindowTextW(editor_, ancho.data(), largo + 1);
    ancho.resize(static_cast<std::size_t>(largo));
    const std::string texto = narrow(ancho);
    const int fila = filaEditor_, columna = columnaEditor_;
    bool ok = true;
    ocupada_ = true;
    if (fila >= 0 && fila < datos_->filas() && texto != datos_->texto(fila, columna))
        ok = Protege([&] { datos_->ponTexto(fila, columna, texto); });
    ocupada_ = false;
    if (ok)
        CierraEditor();
    else if (editor_)
        SetFocus(editor_);
    Redibuja();
    return ok;
}

void RejillaDatos::Mueve(bool atras)
{
    if (!datos_ || datos_->columnas() == 0)
        return;
    const int fila = std::max(0, datos_->filaActual());
    const int ultimaColumna = datos_->columnas() - 1;
    int f = fila, c = columna_;
    if (atras) {
        if (c > PrimeraEditable())
            --c;
        else if (f > 0) {
            --f;
            c = ultimaColumna;
        } else {
            f = -1;
        }
    } else {
        if (c < ultimaColumna)
            ++c;
        else if (f < datos_->filas() - 1) {
            ++f;
            c = PrimeraEditable();
        } else {
            f = -1;
        }
    }
    if (f < 0) {
        // Past the first or last cell the focus goes on to the window's next control.
        if (!confirmaEdicion())
            return;
        HWND raiz = GetAncestor(hwnd(), GA_ROOT);
        if (HWND siguiente = GetNextDlgTabItem(raiz, hwnd(), atras); siguiente && siguiente != hwnd())
            SetFocus(siguiente);
        return;
    }
    irACelda(f, c);
}

void RejillaDatos::Borra()
{
    if (!permiteBorrar_ || !datos_ || !datos_->activa() || datos_->filas() == 0)
        return;
    const bool si = pregunta_ ? pregunta_("Delete record?")
                              : MessageBoxW(GetAncestor(hwnd(), GA_ROOT), L"Delete record?", L"Confirm",
                                            MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    if (!si)
        return;
    if (editor_)
        CierraEditor();
    Protege([&] { datos_->borraActual(); });
    HazVisible();
}

// A key for the grid itself, or passed on from the cell editor; true when it was used.
bool RejillaDatos::Tecla(WPARAM tecla)
{
    if (!datos_)
        return false;
    const int fila = datos_->filaActual();
    const int filas = datos_->filas();
    switch (tecla) {
    case VK_DELETE:
        if (!Ctrl())
            return false;
        Borra();
        return true;
    case VK_INSERT:
        if (Ctrl() || Mayusculas())
            return false;
        if (permiteAnadir_ && confirmaEdicion())
            Protege([&] { datos_->anade(); });
        return true;
    case VK_DOWN:
        if (permiteAnadir_ && datos_->activa() && fila == filas - 1) {
            // Past the last row a new record starts, unless the last row is a new one still blank.
            if (confirmaEdicion() && !datos_->filaNuevaSinCambios())
                Protege([&] { datos_->anade(); });
            return true;
        }
        irAFila(std::min(filas - 1, fila + 1));
        return true;
    case VK_UP:
        irAFila(std::max(0, fila - 1));
        return true;
    case VK_NEXT:
        irAFila(std::min(filas - 1, fila + filasVisibles()));
        return true;
    case VK_PRIOR:
        irAFila(std::max(0, fila - filasVisibles()));
        return true;
    case VK_HOME:
        if (Ctrl())
            irACelda(0, columna_);
        else
            irACelda(fila, PrimeraEditable());
        return true;
    case VK_END:
        if (Ctrl())
            irACelda(filas - 1, columna_);
        else
            irACelda(fila, datos_->columnas() - 1);
        return true;
    case VK_LEFT:
        irACelda(fila, columna_ - 1);
        return true;
    case VK_RIGHT:
        irACelda(fila, columna_ + 1);
        return true;
    case VK_TAB:
        Mueve(Mayusculas());
        return true;
    case VK_RETURN:
        if (enterComoTab_)
            Mueve(false);
        else if (editor_)
            confirmaEdicion();
        else
            editaCelda();
        return true;
    case VK_F2:
        editaCelda();
        return true;
    case VK_ESCAPE:
        if (editor_) {
            // The typing is dropped; the record keeps what was written before, and leaves
            // edit mode when this typing alone had put it there.
            const bool cancela = editorEdita_ && datos_->estado() == DatosRejilla::Estado::Editando;
            CierraEditor();
            if (cancela)
                Protege([&] { datos_->cancela(); });
            return true;
        }
        if (datos_->estado() != DatosRejilla::Estado::Navegando && datos_->estado() != DatosRejilla::Estado::Inactivo) {
            Protege([&] { datos_->cancela(); });
            HazVisible();
            return true;
        }
        return false;
    }
    return false;
}

LRESULT CALLBACK RejillaDatos::ProcEditor(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR datos)
{
    auto* yo = reinterpret_cast<RejillaDatos*>(datos);
    switch (mensaje) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, mensaje, w, l);
    case WM_KEYDOWN:
        // The editor keeps the keys that move inside its text; the rest move in the grid.
        switch (w) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
            break;
        case VK_DELETE:
            if (!Ctrl())
                break;
            [[fallthrough]];
        default:
            if (yo->Tecla(w))
                return 0;
        }
        break;
    case WM_CHAR:
        if (w == VK_TAB || w == VK_RETURN || w == VK_ESCAPE)
            return 0;  // no beep: the key was handled on its way down
        if (yo->datos_ && yo->columnaEditor_ >= 0 && w >= 32 &&
            yo->datos_->columna(yo->columnaEditor_).entera && !(w >= L'0' && w <= L'9') && w != L'-' && w != L'+') {
            MessageBeep(MB_OK);
            return 0;
        }
        break;
    case WM_KILLFOCUS: {
        // Leaving for another control of the window ends the editing; a message box does not.
        HWND nuevo = reinterpret_cast<HWND>(w);
        if (nuevo && nuevo != yo->hwnd() && GetAncestor(nuevo, GA_ROOT) == GetAncestor(hwnd, GA_ROOT))
            PostMessageW(yo->hwnd(), kFocoCambiado, 1, 0);
        else
            PostMessageW(yo->hwnd(), kFocoCambiado, 0, 0);
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &RejillaDatos::ProcEditor, kSubclaseEditor);
        break;
    }
    return DefSubclassProc(hwnd, mensaje, w, l);
}

// Enter and exit follow the window's own focus, looked at once the focus has settled.
void RejillaDatos::FocoCambiado()
{
    HWND foco = GetFocus();
    const bool dentro = foco && (foco == hwnd() || IsChild(hwnd(), foco));
    if (dentro == dentro_)
        return;
    if (!dentro && (!foco || GetAncestor(foco, GA_ROOT) != GetAncestor(hwnd(), GA_ROOT)))
        return;
    dentro_ = dentro;
    if (dentro) {
        if (alEntrar_)
            alEntrar_();
    } else if (alSalir_) {
        alSalir_();
    }
}

void RejillaDatos::Desplaza(int barra, WPARAM w)
{
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd(), barra, &si);
    int pos = si.nPos;
    const int paso = barra == SB_VERT ? 1 : Escala(20, DpiDe(hwnd()));
    switch (LOWORD(w)) {
    case SB_LINEUP: pos -= paso; break;
    case SB_LINEDOWN: pos += paso; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1));
    if (editor_)
        confirmaEdicion();
    if (barra == SB_VERT)
        superior_ = pos;
    else
        desplazamientoX_ = pos;
    ActualizaBarras();
    Redibuja();
}

LRESULT RejillaDatos::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_CREATE:
        ajustaColumnas();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT r;
        GetClientRect(hwnd(), &r);
        // Drawn off screen, then copied: no flicker while moving through the rows.
        HDC memoria = CreateCompatibleDC(dc);
        HBITMAP mapa = CreateCompatibleBitmap(dc, std::max<LONG>(1, r.right), std::max<LONG>(1, r.bottom));
        HGDIOBJ viejo = SelectObject(memoria, mapa);
        Pinta(memoria);
        BitBlt(dc, 0, 0, r.right, r.bottom, memoria, 0, 0, SRCCOPY);
        SelectObject(memoria, viejo);
        DeleteObject(mapa);
        DeleteDC(memoria);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_COMMAND:
        // The first change typed into the editor puts the record into edit mode, as typing
        // into a data-aware grid does, so that the navigator can post or cancel it.
        if (editor_ && reinterpret_cast<HWND>(l) == editor_ && HIWORD(w) == EN_CHANGE && !cargandoEditor_ && datos_ &&
            datos_->estado() == DatosRejilla::Estado::Navegando) {
            editorEdita_ = true;
            ocupada_ = true;
            Protege([&] { datos_->edita(); });
            ocupada_ = false;
            Redibuja();
        }
        return 0;
    case WM_PRINTCLIENT:
        Pinta(reinterpret_cast<HDC>(w));
        return 0;
    case WM_SIZE:
        HazVisible();
        if (editor_) {
            // The editor moves with its cell, keeping what was typed.
            const RECT r = rectanguloCelda(filaEditor_, columnaEditor_);
            const int u = Escala(1, DpiDe(hwnd()));
            MoveWindow(editor_, r.left + u, r.top + u, r.right - r.left - 2 * u, r.bottom - r.top - 2 * u, TRUE);
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (Tecla(w))
            return 0;
        break;
    case WM_CHAR:
        if (w >= 32 && !Ctrl() && datos_ && datos_->activa() && datos_->filas() > 0) {
            if (datos_->columna(columna_).editable) {
                const std::wstring tecla(1, static_cast<wchar_t>(w));
                AbreEditor(&tecla);
            } else {
                MessageBeep(MB_OK);
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != hwnd() && !(editor_ && GetFocus() == editor_))
            SetFocus(hwnd());
        if (!datos_)
            return 0;
        const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
        if (y < AltoTitulo())
            return 0;
        const int fila = superior_ + (y - AltoTitulo()) / AltoFila();
        if (fila >= datos_->filas())
            return 0;
        int columna = columna_;
        if (x >= AnchoIndicador()) {
            // A scrolled column hidden behind the fixed ones is not there to click.
            const int finFijas = AnchoIndicador() + AnchoFijas();
            for (int c = 0; c < datos_->columnas(); ++c) {
                const RECT r = rectanguloCelda(fila, c);
                if (x >= r.left && x < r.right && (c < PrimeraEditable() || x >= finFijas))
                    columna = c;
            }
        }
        irACelda(fila, columna);
        if (mensaje == WM_LBUTTONDBLCLK && datos_->filaActual() == fila && columna_ == columna)
            editaCelda();
        return 0;
    }
    case WM_MOUSEWHEEL: {
        const int pasos = -GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA * 3;
        for (int i = 0; i < std::abs(pasos); ++i)
            Desplaza(SB_VERT, pasos > 0 ? SB_LINEDOWN : SB_LINEUP);
        return 0;
    }
    case WM_VSCROLL:
        Desplaza(SB_VERT, w);
        return 0;
    case WM_HSCROLL:
        Desplaza(SB_HORZ, w);
        return 0;
    case WM_SETFOCUS:
        Redibuja();
        PostMessageW(hwnd(), kFocoCambiado, 0, 0);
        return 0;
    case WM_KILLFOCUS:
        Redibuja();
        PostMessageW(hwnd(), kFocoCambiado, 0, 0);
        return 0;
    case kFocoCambiado:
        // w: the editor lost the focus to another control of the window.
        if (w && editor_ && GetFocus() != editor_)
            confirmaEdicion();
        FocoCambiado();
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        if (editor_)
            CierraEditor();
        ajustaColumnas();
        return 0;
    case WM_DESTROY:
        if (datos_) {
            datos_->dejaDeObservar(observacion_);
            datos_ = nullptr;
        }
        break;
    }
    return Control::Procesa(mensaje, w, l);
}

}  // namespace controles
