#include "win32/controles/boton.h"

#include "files/win32.h"
#include "win32/controles/fuente.h"

#include <commctrl.h>

namespace controles {

namespace {

constexpr UINT_PTR kSubclase = 0x544F5A42;  // the image list goes with the button

// The subclass's data: the glyph plus one, or 0 for a plain button.
LRESULT CALLBACK ProcBoton(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR glifo)
{
    if (mensaje == WM_DPICHANGED_AFTERPARENT) {
        // On a monitor of another DPI: the font and the glyph at the new size.
        PonFuente(hwnd);
        if (glifo)
            PonGlifo(hwnd, static_cast<Glifo>(glifo - 1));
    }
    if (mensaje == WM_NCDESTROY) {
        BUTTON_IMAGELIST bil{};
        if (SendMessageW(hwnd, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bil)) && bil.himl)
            ImageList_Destroy(bil.himl);
        RemoveWindowSubclass(hwnd, &ProcBoton, kSubclase);
    }
    return DefSubclassProc(hwnd, mensaje, w, l);
}

}  // namespace

HWND CreaBoton(HWND padre, int id, int x, int y, int ancho, int alto, const std::string& texto, bool conGlifo,
               Glifo glifo)
{
    HWND b = CreateWindowExW(0, WC_BUTTONW, files::win32::widen(texto).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, y, ancho, alto, padre,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!b)
        return nullptr;
    PonFuente(b);
    SetWindowSubclass(b, &ProcBoton, kSubclase, 0);
    if (conGlifo)
        PonGlifo(b, glifo);
    return b;
}

void PonGlifo(HWND boton, Glifo glifo)
{
    SetWindowSubclass(boton, &ProcBoton, kSubclase, static_cast<DWORD_PTR>(glifo) + 1);
    BUTTON_IMAGELIST vieja{};
    SendMessageW(boton, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&vieja));
    BUTTON_IMAGELIST bil{};
    bil.himl = ListaDeBoton(glifo, Escala(16, DpiDe(boton)));
    bil.margin = {Escala(4, DpiDe(boton)), 0, 0, 0};
    // With text the glyph stands left of it; alone, centred.
    bil.uAlign = GetWindowTextLengthW(boton) > 0 ? BUTTON_IMAGELIST_ALIGN_LEFT : BUTTON_IMAGELIST_ALIGN_CENTER;
    SendMessageW(boton, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bil));
    if (vieja.himl)
        ImageList_Destroy(vieja.himl);
    InvalidateRect(boton, nullptr, TRUE);
}

}  // namespace controles
