// What a grid's keys and its record navigator do to the data source, whichever toolkit draws
// them: the navigator's ten buttons with their hints and when each is enabled, and the grid's
// own keys (Ctrl+Delete after a question, Insert, the down arrow past the last row, Esc).
#pragma once

#include "desktop/controles.h"
#include "desktop/fuente_datos.h"

#include <array>
#include <functional>
#include <string>

namespace desktop {

enum class BotonNavegador { Primero, Anterior10, Anterior, Siguiente, Siguiente10, Ultimo, Editar, Confirmar, Cancelar, Refrescar };
constexpr int kBotonesNavegador = 10;

struct DescripcionBoton {
    BotonNavegador boton;
    const char* nombre;
    const char* pista;
};

// The buttons in their order, left to right.
const std::array<DescripcionBoton, kBotonesNavegador>& BotonesNavegador();

bool BotonHabilitado(const FuenteDatos& fuente, BotonNavegador boton);
// The row a moving button makes current (the grid moves its cursor there); -1 for the others.
int FilaDestino(const FuenteDatos& fuente, BotonNavegador boton);
// Edit, post, cancel and refresh act on the source; the moving buttons are the grid's to do.
void PulsaNavegador(FuenteDatos& fuente, BotonNavegador boton);

enum class TeclaRejilla { CtrlSupr, Insertar, Abajo, Escape };

inline const std::string kPreguntaBorrar = "Delete record?";

// A grid key on the source. Answers true when the key was the grid's own and is done with;
// false leaves it to the toolkit (the down arrow above the last row, Esc while browsing).
// `pregunta` asks the user (true for "Aceptar"). Errors of the table come out as exceptions.
bool PulsaTeclaRejilla(FuenteDatos& fuente, const DescripcionRejilla& rejilla, TeclaRejilla tecla,
                       const std::function<bool(const std::string&)>& pregunta);

}  // namespace desktop
