// The record navigator: ten buttons acting on a grid's data (first, back ten, prior, next,
// forward ten, last, edit, post, cancel, refresh), each with its hint, enabled as the record's
// position and state allow. The buttons take no focus, so using them does not leave the grid.
#pragma once

#include "win32/controles/control.h"

#include <functional>
#include <string>

namespace controles {

class DatosRejilla;
class RejillaDatos;

class NavegadorDatos : public Control {
public:
    enum Boton { Primero, Anterior10, Anterior, Siguiente, Siguiente10, Ultimo, Editar, Confirmar, Cancelar, Refrescar };
    static constexpr int kBotones = 10;

    static NavegadorDatos* Crea(HWND padre, int id, int x, int y, int ancho, int alto);
    static NavegadorDatos* De(HWND hwnd);

    // The grid acted on; its data must outlive the navigator or the grid be given again.
    void ponRejilla(RejillaDatos* rejilla);
    // Called after each button press has been acted on.
    void ponAlPulsar(std::function<void(Boton)> f) { alPulsar_ = std::move(f); }
    // The text of an error the data threw; without a handler, a message box.
    void ponAlFallar(std::function<void(const std::string&)> f) { alFallar_ = std::move(f); }

    // Acts as a click on a button does; nothing for a disabled one.
    void pulsa(Boton b);
    bool habilitado(Boton b) const { return habilitados_[b]; }
    RECT rectanguloBoton(Boton b) const;
    // The hint of a button ("Move to first record"...).
    static const char* Pista(Boton b);
    // The tooltip control that shows the hints.
    HWND pistas() const { return pistas_; }

protected:
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l) override;

private:
    NavegadorDatos() = default;
    ~NavegadorDatos() override;
    void Actualiza();
    void ColocaPistas();
    void CreaIconos();
    int BotonEn(int x, int y) const;
    void Pinta(HDC dc);
    void Desvincula();

    HWND rejilla_ = nullptr;  // looked up by its window before each use
    DatosRejilla* datos_ = nullptr;
    int observacion_ = 0;
    std::function<void(Boton)> alPulsar_;
    std::function<void(const std::string&)> alFallar_;
    bool habilitados_[kBotones] = {};
    HICON iconos_[kBotones][2] = {};
    HWND pistas_ = nullptr;
    int pulsado_ = -1;   // the button the mouse went down on
    bool hundido_ = false;  // and the mouse is still over it
    int caliente_ = -1;  // the button under the mouse
};

}  // namespace controles
