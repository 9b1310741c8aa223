#include "desktop/controles.h"

namespace desktop {

const Control* BuscaControl(const Ventana& ventana, const std::string& nombre)
{
    for (const Control& c : ventana.controles)
        if (c.nombre == nombre)
            return &c;
    return nullptr;
}

int ContextoAyuda(const Ventana& ventana, const std::string& control)
{
    // Walks out through the parents; the descriptions hold no cycles, but a bound keeps a
    // mistaken one from hanging F1.
    const Control* c = BuscaControl(ventana, control);
    for (std::size_t paso = 0; c && paso <= ventana.controles.size(); ++paso) {
        if (c->contextoAyuda != 0)
            return c->contextoAyuda;
        c = c->padre.empty() ? nullptr : BuscaControl(ventana, c->padre);
    }
    return ventana.contextoAyuda;
}

}  // namespace desktop
