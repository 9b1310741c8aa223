// How the Windows program's windows and controls are found from outside, by the test driver and
// by anyone automating the program: each window's class name, and each control's ID, which is
// its place in its window's description plus 1000.
#pragma once

#include "desktop/controles.h"

#include <string>

namespace ventanas {

inline constexpr wchar_t kClasePrincipal[] = L"TransOrbelinZARE.MForm";
inline constexpr wchar_t kClasePlantilla[] = L"TransOrbelinZARE.ControlPlantilla";

inline constexpr int kPrimerId = 1000;

// The ID of a described control; 0 when the window has none by that name.
inline int IdControl(const desktop::Ventana& ventana, const std::string& nombre)
{
    for (std::size_t i = 0; i < ventana.controles.size(); ++i) {
        if (ventana.controles[i].nombre == nombre)
            return kPrimerId + static_cast<int>(i);
    }
    return 0;
}

}  // namespace ventanas
