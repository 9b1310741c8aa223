// The Win32 controls of a window, built from its description (desktop/controles.h): each
// control of its kind, with its ID (identificadores.h), parent, place and size at the window's
// DPI, text, colours and font. The controls are found again by their names, and a window
// handle gives back the described control that holds it.
#pragma once

#include "desktop/controles.h"

#include <windows.h>

#include <map>
#include <string>

namespace ventanas {

class ControlesWin32 {
public:
    // Builds the controls of `descripcion` on the window `ventana`, hidden ones hidden.
    ControlesWin32(HWND ventana, const desktop::Ventana& descripcion);

    HWND operator[](const std::string& nombre) const;
    const std::map<std::string, HWND>& Todos() const { return controles_; }
    const desktop::Ventana& Descripcion() const { return descripcion_; }

    // The described control that holds `hwnd` (itself or the nearest around it); "" for none.
    std::string NombreDe(HWND hwnd) const;
    // The name of a control by its ID; "" for none.
    std::string NombrePorId(int id) const;

    void Muestra(const std::string& nombre, bool visible) const;
    void Habilita(const std::string& nombre, bool habilitado) const;
    void PonLugar(const std::string& nombre, const desktop::Rectangulo& lugar) const;

    // A size of the description at the window's DPI.
    int Escala(int pixeles) const;

private:
    HWND ventana_;
    const desktop::Ventana& descripcion_;
    std::map<std::string, HWND> controles_;
    UINT dpi_ = 96;
};

// A font of the descriptions at a DPI; kept for the whole run.
HFONT FuenteDe(const desktop::Fuente& fuente, UINT dpi);

}  // namespace ventanas
