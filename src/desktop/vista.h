// What a toolkit does for the windows' behaviour: the behaviour decides, the view only shows.
// Controls are named as in the descriptions (controles.h); texts are Windows-1252.
#pragma once

#include "desktop/controles.h"

#include <cstdint>
#include <string>

namespace desktop {

class Vista {
public:
    virtual ~Vista() = default;

    virtual void Muestra(const std::string& control, bool visible) = 0;
    virtual void Habilita(const std::string& control, bool habilitado) = 0;
    virtual void PonLugar(const std::string& control, const Rectangulo& lugar) = 0;
    // A fixed message with one button "Aceptar", the application title as caption.
    virtual void Mensaje(const std::string& texto) = 0;
    // The error box: error icon, one OK button; the text has its full stop already.
    virtual void Error(const std::string& texto) = 0;
    // A question with "Aceptar" and "Cancelar"; true for "Aceptar".
    virtual bool Pregunta(const std::string& texto) = 0;
    virtual void CursorEspera() = 0;
    virtual void CursorNormal() = 0;
    // Ends a grid's open cell editor, keeping what was typed in it.
    virtual void ConfirmaEdicion(const std::string& rejilla) = 0;
    // Closes the window; the main window then asks the behaviour whether it may (AlCerrar).
    virtual void Cierra() = 0;
    // The help file's contents (contexto 0) or one of its contexts.
    virtual void Ayuda(const std::string& archivo, int contexto) = 0;
};

class VistaPrincipal : public Vista {
public:
    // The folder the folder list shows, as the system writes it.
    virtual std::string CarpetaElegida() = 0;
    // Makes the window a borderless child of the host's window at (2, 2) of its client area;
    // handle 0 leaves it borderless at (2, 2) of the screen. A handle that names no window
    // throws the system's error, the window left as it was.
    virtual void Incrusta(std::uint32_t ventana) = 0;
    // Shows the template window modally and returns when it has closed, however it closed.
    virtual void VentanaPlantilla() = 0;
};

}  // namespace desktop
