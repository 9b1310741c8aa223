// The Qt controls of a window, built from its description (desktop/controles.h): each control
// of its kind, with its name, parent, place, size, text, colours, font and help context. The
// controls are found again by their names.
#pragma once

#include "desktop/controles.h"

#include <QWidget>

#include <map>
#include <string>

namespace ui {

class ControlesQt {
public:
    // Builds the window's controls on `ventana` and gives the window its caption, size, place,
    // colour, font and help context.
    ControlesQt(QWidget* ventana, const desktop::Ventana& descripcion);

    QWidget* operator[](const std::string& nombre) const;
    template <typename T>
    T* Control(const std::string& nombre) const
    {
        return qobject_cast<T*>((*this)[nombre]);
    }
    const std::map<std::string, QWidget*>& Todos() const { return controles_; }

    // The described control that holds `w` (itself or the nearest around it); "" for none.
    std::string NombreDe(const QWidget* w) const;

    void Muestra(const std::string& nombre, bool visible) const;
    void Habilita(const std::string& nombre, bool habilitado) const;
    void PonLugar(const std::string& nombre, const desktop::Rectangulo& lugar) const;

private:
    QWidget* ventana_;
    std::map<std::string, QWidget*> controles_;
};

}  // namespace ui
