// The template window "Control de Plantilla Horaria" drawn with Win32, shown modally over the
// main window: its controls built from the description, the grid over the template's data
// source, and the behaviour of desktop/formulario_plantilla.h behind the clicks and the focus.
#pragma once

#include "desktop/formulario_plantilla.h"
#include "desktop/vista.h"
#include "win32/ventanas/construccion.h"
#include "win32/ventanas/fuente_rejilla.h"
#include "win32/ventanas/vista_win32.h"

#include <windows.h>

#include <memory>
#include <string>

namespace ventanas {

class VentanaPlantillaWin32 : private VistaWin32<desktop::Vista> {
public:
    explicit VentanaPlantillaWin32(HWND dueno);
    ~VentanaPlantillaWin32() override;
    VentanaPlantillaWin32(const VentanaPlantillaWin32&) = delete;
    VentanaPlantillaWin32& operator=(const VentanaPlantillaWin32&) = delete;

    // Shows the window, its owner disabled, and returns when it has closed, however it closed.
    void Modal();

private:
    static LRESULT CALLBACK Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l);
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l);
    void Termina();
    void Pulsa(const std::string& boton);

    void Cierra() override { Termina(); }

    HWND dueno_;
    std::unique_ptr<desktop::FormularioPlantilla> comportamiento_;
    std::unique_ptr<FuenteRejilla> fuente_;
    bool terminada_ = false;
};

}  // namespace ventanas
