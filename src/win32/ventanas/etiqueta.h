// A label drawn by the program: its text in its own font and colour, wrapped or centred as
// described, on its own background colour or transparent over the panel behind it (the panel
// is drawn again under it when its text changes). A Windows static control underneath keeps
// the text, so GetWindowText reads it as for any label.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace ventanas {

struct EstiloEtiqueta {
    HFONT fuente = nullptr;
    std::uint32_t colorTexto = 0x80000012;  // a Windows colour value (button text)
    std::uint32_t fondo = 0xFFFFFFFFu;      // none: transparent
    bool ajustaLineas = false;
    bool centrado = false;
};

// `texto` is UTF-8.
HWND CreaEtiqueta(HWND padre, int id, int x, int y, int ancho, int alto, const std::string& texto,
                  const EstiloEtiqueta& estilo);

// Makes a label as wide and high as its text on one line.
void AjustaAlTexto(HWND etiqueta);

}  // namespace ventanas
