// A panel shaded from top to bottom through a start, a middle and an end colour (the forms'
// Draw3D panels, drawn with GradientFill), or of one colour with a raised edge (the plain
// panels). Labels on it are drawn transparent over the shading, in the colour given for each;
// the commands and notifications of the controls on it go on to the panel's parent, so a form
// handles them wherever the control sits.
#pragma once

#include "win32/controles/control.h"

#include <cstdint>
#include <map>

namespace controles {

class PanelDegradado : public Control {
public:
    static PanelDegradado* Crea(HWND padre, int id, int x, int y, int ancho, int alto);
    static PanelDegradado* De(HWND hwnd);

    // Windows colour values (see colores.h). A panel of one colour: give the same three.
    void ponColores(std::uint32_t inicio, std::uint32_t medio, std::uint32_t fin);
    void ponBiselado(bool biselado);
    // The colour of a label's text on this panel.
    void ponColorTexto(HWND etiqueta, std::uint32_t color);

    // The colour at a height from 0 (top) to 1 (bottom).
    COLORREF colorEn(double altura) const;

protected:
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l) override;

private:
    PanelDegradado() = default;
    void Pinta(HDC dc) const;

    std::uint32_t colores_[3] = {0x8000000F, 0x8000000F, 0x8000000F};
    bool biselado_ = false;
    std::map<HWND, std::uint32_t> coloresTexto_;
};

}  // namespace controles
