// What both Win32 windows answer the same way when the behaviour asks: controls shown, enabled
// and placed through the controls built from the description, message boxes owned by the window,
// the hourglass, the end of a grid's edit and help. A window adds only what is its own.
#pragma once

#include "win32/controles/rejilla_datos.h"
#include "win32/ventanas/ayuda_programa.h"
#include "win32/ventanas/construccion.h"
#include "win32/ventanas/dialogos.h"
#include "win32/ventanas/mensajes.h"

#include <windows.h>

#include <memory>
#include <string>

namespace ventanas {

template <typename Interfaz>  // desktop::Vista or one built on it
class VistaWin32 : public Interfaz {
protected:
    void Muestra(const std::string& control, bool visible) override { controles_->Muestra(control, visible); }
    void Habilita(const std::string& control, bool habilitado) override { controles_->Habilita(control, habilitado); }
    void PonLugar(const std::string& control, const desktop::Rectangulo& lugar) override
    {
        controles_->PonLugar(control, lugar);
    }
    void Mensaje(const std::string& texto) override { ventanas::Mensaje(hwnd_, texto); }
    void Error(const std::string& texto) override { ventanas::Error(hwnd_, texto); }
    bool Pregunta(const std::string& texto) override { return ventanas::Pregunta(hwnd_, texto); }
    void CursorEspera() override { PonCursorEspera(true); }
    void CursorNormal() override { PonCursorEspera(false); }
    void ConfirmaEdicion(const std::string& rejilla) override
    {
        if (auto* r = controles::RejillaDatos::De((*controles_)[rejilla]))
            r->confirmaEdicion();
    }
    void Ayuda(const std::string& archivo, int contexto) override { PideAyuda(hwnd_, archivo, contexto); }

    HWND hwnd_ = nullptr;
    std::unique_ptr<ControlesWin32> controles_;
};

}  // namespace ventanas
