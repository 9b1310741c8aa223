// The main window drawn with Win32: its controls built from the main window's description,
// the clicks, focus and F1 passed to the toolkit-free behaviour (desktop/formulario_principal.h),
// and what the behaviour asks shown here. Launched embedded it lives inside the host's window
// and writes its result record when it closes or when the host's window goes away.
#pragma once

#include "desktop/formulario_principal.h"
#include "desktop/vista.h"
#include "win32/ventanas/construccion.h"
#include "win32/ventanas/fuente_rejilla.h"
#include "win32/ventanas/vista_win32.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace ventanas {

class VentanaPrincipal : private VistaWin32<desktop::VistaPrincipal> {
public:
    // Creates the window, hidden, and applies the launch the parameters give.
    explicit VentanaPrincipal(const std::vector<std::string>& parametros);
    ~VentanaPrincipal() override;
    VentanaPrincipal(const VentanaPrincipal&) = delete;
    VentanaPrincipal& operator=(const VentanaPrincipal&) = delete;

    HWND hwnd() const { return hwnd_; }
    void Muestra();

private:
    static LRESULT CALLBACK Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l);
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l);
    void PreparaControles();
    void AnfitrionaDesaparecida();

    // What the behaviour asks of this window beyond what VistaWin32 answers.
    void Error(const std::string& texto) override;  // owned by the window only while it shows
    void Cierra() override;
    std::string CarpetaElegida() override;
    void Incrusta(std::uint32_t ventana) override;
    void VentanaPlantilla() override;

    std::unique_ptr<desktop::FormularioPrincipal> comportamiento_;
    std::unique_ptr<FuenteRejilla> fuenteConvocatorias_;
    std::unique_ptr<FuenteRejilla> fuenteCursos_;
    HWND anfitriona_ = nullptr;
    bool incrustada_ = false;
    bool cerrando_ = false;     // our own close: the record is written already
    bool desaparecida_ = false; // the host's window went away
};

// The folder of the running program, UTF-8, without a final separator.
std::string CarpetaDelPrograma();

}  // namespace ventanas
