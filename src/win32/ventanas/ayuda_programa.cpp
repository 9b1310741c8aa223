#include "win32/ventanas/ayuda_programa.h"

#include "win32/ayuda.h"
#include "win32/ventanas/dialogos.h"
#include "win32/ventanas/fuente_rejilla.h"

#include <memory>

namespace ventanas {

namespace {

win32::Ayuda& Visor()
{
    static const std::unique_ptr<win32::Ayuda> visor = std::make_unique<win32::Ayuda>();
    return *visor;
}

}  // namespace

void PreparaAyuda()
{
    Visor();
}

void PideAyuda(HWND llamante, const std::string& archivo, int contexto)
{
    win32::Ayuda& visor = Visor();
    visor.PonArchivo(AnsiAUtf8(archivo));
    const win32::ResultadoAyuda r = contexto == 0 ? visor.MuestraContenido(llamante)
                                                  : visor.MuestraContexto(llamante, contexto);
    if (!r.error.empty())
        Error(llamante, Utf8AAnsi(r.error));
}

}  // namespace ventanas
