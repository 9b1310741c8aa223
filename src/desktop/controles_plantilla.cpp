// The template window "Control de Plantilla Horaria": the template grid, its navigator and
// "Aceptar", all on one gradient panel.
#include "desktop/controles.h"

namespace desktop {

namespace {

Ventana Describe()
{
    const Fuente negrita{.negrita = true};
    Ventana v{
        .nombre = "ControlPlantilla",
        .titulo = "Control de Plantilla Horaria",
        .ancho = 595,
        .alto = 310,
        .x = 338,
        .y = 334,
        .dialogo = true,
        .color = cl::Background,
        .contextoAyuda = 1,
    };
    v.controles = {
        {.nombre = "Draw3D1", .clase = Clase::PanelDegradado, .lugar = {8, 8, 577, 289},
         .color = cl::White, .colorMedio = cl::Aqua, .colorFin = cl::White},
        {.nombre = "Label1", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {3, 3, 360, 16},
         .texto = "COMPROBACI\xD3N DE LA PLANTILLA HORARIA DEL CENTRO",
         .fuente = {.pixeles = 13, .negrita = true, .subrayada = true}, .autoTamano = true},
        {.nombre = "PlantiHorDBGrid", .clase = Clase::Rejilla, .padre = "Draw3D1", .lugar = {65, 25, 205, 225},
         .contextoAyuda = 1,
         .rejilla = {.columnas = {{"HORA", "HORA", 7, true}, {"HORAINI", "HORA INICIO CLASE", 20, true}},
                     .columnasFijas = 0,
                     .lineasTitulo = 2,
                     .colorCeldas = 16776176,
                     .colorFilasAlternas = 16701903,
                     .colorTitulos = 11134206,
                     .colorTextoTitulos = cl::Black,
                     .enterComoTab = true,
                     .barraHorizontal = true}},
        {.nombre = "Label3", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {345, 57, 210, 13},
         .texto = "PLANTILLA HORARIA DEL CENTRO", .fuente = {.negrita = true, .subrayada = true},
         .colorTexto = cl::Red, .color = cl::Lime, .centrado = true},
        {.nombre = "Label2", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {344, 99, 210, 52},
         .texto = "Modifique, en caso necesario, las Horas de Inicio de Clase, en la presente rejilla. Deben ser "
                  "iguales que la Plantilla Horaria de su Centro.",
         .fuente = negrita, .colorTexto = cl::Navy, .ajustaLineas = true},
        {.nombre = "wwDBNavigator1", .clase = Clase::Navegador, .padre = "Draw3D1", .lugar = {30, 257, 275, 24},
         .vinculo = "PlantiHorDBGrid"},
        {.nombre = "BitBtn2", .clase = Clase::Boton, .padre = "Draw3D1", .lugar = {477, 257, 89, 25},
         .texto = "Aceptar", .porDefecto = true, .contextoAyuda = 3, .glifo = Glifo::Aceptar},
    };
    return v;
}

}  // namespace

const Ventana& VentanaPlantilla()
{
    static const Ventana v = Describe();
    return v;
}

}  // namespace desktop
