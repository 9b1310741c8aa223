#include "desktop/acciones_rejilla.h"

#include <algorithm>

namespace desktop {

const std::array<DescripcionBoton, kBotonesNavegador>& BotonesNavegador()
{
    static const std::array<DescripcionBoton, kBotonesNavegador> botones = {{
        {BotonNavegador::Primero, "nbFirst", "Move to first record"},
        {BotonNavegador::Anterior10, "nbPriorPage", "Move backward 10 records"},
        {BotonNavegador::Anterior, "nbPrior", "Move to prior record"},
        {BotonNavegador::Siguiente, "nbNext", "Move to next record"},
        {BotonNavegador::Siguiente10, "nbNextPage", "Move forward 10 records"},
        {BotonNavegador::Ultimo, "nbLast", "Move to last record"},
        {BotonNavegador::Editar, "nbEdit", "Edit current record"},
        {BotonNavegador::Confirmar, "nbPost", "Post changes of current record"},
        {BotonNavegador::Cancelar, "nbCancel", "Cancel changes made to current record"},
        {BotonNavegador::Refrescar, "nbRefresh", "Refresh the contents of the dataset"},
    }};
    return botones;
}

bool BotonHabilitado(const FuenteDatos& fuente, BotonNavegador boton)
{
    const bool activa = fuente.Activa();
    const int fila = activa ? fuente.FilaActual() : -1;
    const int ultima = activa ? fuente.NumeroFilas() - 1 : -1;
    const bool editando = activa && fuente.EstadoActual() != FuenteDatos::Estado::Navegando;
    const bool arriba = activa && fila > 0;
    const bool abajo = activa && fila >= 0 && fila < ultima;
    switch (boton) {
    case BotonNavegador::Primero:
    case BotonNavegador::Anterior10:
    case BotonNavegador::Anterior: return arriba;
    case BotonNavegador::Siguiente:
    case BotonNavegador::Siguiente10:
    case BotonNavegador::Ultimo: return abajo;
    case BotonNavegador::Editar: return activa && !editando;
    case BotonNavegador::Confirmar:
    case BotonNavegador::Cancelar: return editando;
    case BotonNavegador::Refrescar: return activa;
    }
    return false;
}

int FilaDestino(const FuenteDatos& fuente, BotonNavegador boton)
{
    if (!fuente.Activa() || fuente.NumeroFilas() == 0)
        return -1;
    const int fila = fuente.FilaActual();
    const int ultima = fuente.NumeroFilas() - 1;
    switch (boton) {
    case BotonNavegador::Primero: return 0;
    case BotonNavegador::Anterior10: return std::max(0, fila - 10);
    case BotonNavegador::Anterior: return std::max(0, fila - 1);
    case BotonNavegador::Siguiente: return std::min(ultima, fila + 1);
    case BotonNavegador::Siguiente10: return std::min(ultima, fila + 10);
    case BotonNavegador::Ultimo: return ultima;
    default: return -1;
    }
}

void PulsaNavegador(FuenteDatos& fuente, BotonNavegador boton)
{
    switch (boton) {
    case BotonNavegador::Editar: fuente.Edita(); break;
    case BotonNavegador::Confirmar: fuente.Confirma(); break;
    case BotonNavegador::Cancelar: fuente.Cancela(); break;
    case BotonNavegador::Refrescar: fuente.Refresca(); break;
    default: break;
    }
}

bool PulsaTeclaRejilla(FuenteDatos& fuente, const DescripcionRejilla& rejilla, TeclaRejilla tecla,
                       const std::function<bool(const std::string&)>& pregunta)
{
    switch (tecla) {
    case TeclaRejilla::CtrlSupr:
        if (rejilla.permiteBorrar && fuente.Activa() && fuente.NumeroFilas() > 0 && pregunta(kPreguntaBorrar))
            fuente.BorraActual();
        return true;
    case TeclaRejilla::Insertar:
        if (rejilla.permiteAnadir)
            fuente.Anade();
        return true;
    case TeclaRejilla::Abajo:
        if (!rejilla.permiteAnadir || !fuente.Activa() || fuente.FilaActual() != fuente.NumeroFilas() - 1)
            return false;
        // Past the last row a new record starts, unless the last row is a new one still blank.
        if (!fuente.FilaNuevaSinCambios())
            fuente.Anade();
        return true;
    case TeclaRejilla::Escape:
        if (fuente.EstadoActual() == FuenteDatos::Estado::Navegando)
            return false;
        fuente.Cancela();
        return true;
    }
    return false;
}

}  // namespace desktop
