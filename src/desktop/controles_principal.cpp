// The main window: the two direction panels above, the folder list and drive picker below,
// the call panel over the folder list and the course screen over the whole window.
#include "desktop/controles.h"

namespace desktop {

namespace {

Ventana Describe()
{
    const Fuente negrita{.negrita = true};
    const Fuente arial16{.familia = Familia::Arial, .pixeles = 16, .negrita = true};
    Ventana v{
        .nombre = "MForm",
        .titulo = "Exportar e importar datos entre Orbelin y ZARE (Formato CSV)",
        .ancho = 599,
        .alto = 269,
        .contextoAyuda = 3,
        .icono = Glifo::CarpetaAbierta,
    };
    v.controles = {
        // The import direction, upper left.
        {.nombre = "Draw3D2", .clase = Clase::PanelDegradado, .lugar = {0, 0, 289, 99},
         .color = 8246265, .colorMedio = cl::White, .colorFin = 14544639},
        {.nombre = "Label3", .clase = Clase::Etiqueta, .padre = "Draw3D2", .lugar = {24, 3, 265, 41},
         .texto = "Transformar datos desde ZARE hacia Orbelin ", .fuente = arial16, .ajustaLineas = true},
        {.nombre = "BExportar", .clase = Clase::Boton, .padre = "Draw3D2", .lugar = {88, 72, 89, 25},
         .texto = "Aceptar", .glifo = Glifo::Aceptar},
        // The export direction, upper right.
        {.nombre = "Draw3D3", .clase = Clase::PanelDegradado, .lugar = {289, 0, 310, 99},
         .color = 8246265, .colorMedio = cl::White, .colorFin = 14544639},
        {.nombre = "Label4", .clase = Clase::Etiqueta, .padre = "Draw3D3", .lugar = {8, 3, 305, 57},
         .texto = "Transformar datos desde Orbelin hacia ZARE", .fuente = arial16, .ajustaLineas = true},
        {.nombre = "BImportar", .clase = Clase::Boton, .padre = "Draw3D3", .lugar = {96, 72, 89, 25},
         .texto = "Aceptar", .glifo = Glifo::Aceptar},
        // The folder of the CSV files, below.
        {.nombre = "Draw3D1", .clase = Clase::PanelDegradado, .lugar = {0, 99, 599, 170},
         .color = 16698818, .colorMedio = 16708303, .colorFin = 15128780},
        {.nombre = "Label12", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {67, 4, 66, 13},
         .texto = "PRIMERO ==>", .fuente = negrita, .colorTexto = cl::Red, .autoTamano = true},
        {.nombre = "Label5", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {152, 4, 345, 13},
         .texto = "Seleccione la Carpeta en la que se encuentran los Ficheros CSV de ZARE",
         .colorTexto = cl::Blue, .autoTamano = true},
        {.nombre = "Label6", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {152, 18, 57, 13},
         .texto = "Ruta Actual:", .colorTexto = cl::Blue, .autoTamano = true},
        {.nombre = "Label2", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {212, 19, 287, 13},
         .fuente = negrita, .colorTexto = cl::Red},
        {.nombre = "Directorios", .clase = Clase::ListaCarpetas, .padre = "Draw3D1", .lugar = {150, 34, 287, 110},
         .color = 16776176, .vinculo = "Label2"},
        {.nombre = "Unidades", .clase = Clase::SelectorUnidades, .padre = "Draw3D1", .lugar = {150, 147, 137, 19},
         .color = 16776176, .vinculo = "Directorios"},
        {.nombre = "Button1", .clase = Clase::Boton, .padre = "Draw3D1", .lugar = {12, 146, 77, 21},
         .texto = "F1 AYUDA"},
        {.nombre = "BClose", .clase = Clase::Boton, .padre = "Draw3D1", .lugar = {480, 87, 89, 25},
         .texto = "&Salir", .glifo = Glifo::Salir},
        {.nombre = "Label1", .clase = Clase::Etiqueta, .padre = "Draw3D1", .lugar = {368, 149, 178, 13},
         .texto = "TransOrbelinZARE para TQ37 V-1.0", .fuente = negrita, .colorTexto = cl::Red, .autoTamano = true},
        // The call panel, over the folder list once the calls are read.
        {.nombre = "Panel1", .clase = Clase::PanelDegradado, .padre = "Draw3D1", .lugar = {11, 34, 289, 110},
         .color = cl::GradientInactiveCaption, .biselado = true, .visible = false},
        {.nombre = "Label7", .clase = Clase::Etiqueta, .padre = "Panel1", .lugar = {9, 5, 225, 13},
         .texto = "Seleccionar la Convocatoria a importar:", .fuente = negrita, .colorTexto = cl::Blue},
        {.nombre = "wwDBGridCODCENTRO", .clase = Clase::Rejilla, .padre = "Panel1", .lugar = {7, 18, 277, 56},
         .rejilla = {.columnas = {{"CONVOCATORIA", "CONVOC.", 6, false}, {"DESCRIPCION", "DESCRIPCION", 30, false}},
                     .columnasFijas = 1,
                     .colorCeldas = cl::InfoBk,
                     .colorTitulos = 15793151,
                     .colorTextoTitulos = cl::Blue,
                     .colorFilaActual = cl::Maroon,
                     .soloLectura = true,
                     .permiteAnadir = true,
                     .permiteBorrar = true}},
        {.nombre = "BitBtn1", .clase = Clase::Boton, .padre = "Panel1", .lugar = {106, 83, 81, 23},
         .texto = "Continuar", .contextoAyuda = 3, .glifo = Glifo::Continuar},
        // The course screen, over the whole window.
        {.nombre = "Panel2", .clase = Clase::PanelDegradado, .lugar = {6, 1, 587, 266},
         .color = cl::InactiveCaptionText, .biselado = true, .visible = false},
        {.nombre = "Label10", .clase = Clase::Etiqueta, .padre = "Panel2", .lugar = {10, 6, 141, 13},
         .texto = "NIVELES DE ESTUDIOS", .fuente = {.negrita = true, .subrayada = true}, .colorTexto = cl::Maroon},
        {.nombre = "Label8", .clase = Clase::Etiqueta, .padre = "Panel2", .lugar = {157, 3, 382, 26},
         .texto = "Escriba las Abreviaturas Turno (1 caracter), Nivel (hasta 5 cars.) y Curso (hasta 2 cars.). "
                  "Servir\xE1n para las Abreviaturas de Orbelin.",
         .fuente = negrita, .colorTexto = cl::Blue, .ajustaLineas = true},
        {.nombre = "Label11", .clase = Clase::Etiqueta, .padre = "Panel2", .lugar = {9, 32, 483, 26},
         .texto = "ATENCI\xD3N - Los Identificadores o Abreviaturas que luego aparecer\xE1n en Orbelin, se "
                  "formar\xE1n en funci\xF3n de las  siglas que aqu\xED se introduzcan.",
         .fuente = negrita, .colorTexto = cl::Red, .ajustaLineas = true},
        {.nombre = "wwDBGridNIVIMP", .clase = Clase::Rejilla, .padre = "Panel2", .lugar = {6, 65, 430, 166},
         .rejilla = {.columnas = {{"CODCURSO", "CODCURSO", 10, false},
                                  {"NOMECURSO", "NOMECURSO", 30, false},
                                  {"TURNO", "TURNO", 1, true},
                                  {"NIVEL", "NIVEL", 5, true},
                                  {"CURSO", "CURSO", 3, true}},
                     .columnasFijas = 2,
                     .colorCeldas = cl::InfoBk,
                     .colorFilasAlternas = 12632256,
                     .colorTitulos = 15793151,
                     .colorTextoTitulos = cl::Blue,
                     .permiteBorrar = true}},
        {.nombre = "Label9", .clase = Clase::Etiqueta, .padre = "Panel2", .lugar = {442, 65, 136, 78},
         .texto = "!!!!!!! ATENCI\xD3N !!!!!!!  Existe alg\xFAn NIVEL o CURSO, sin contenido. Debe completar "
                  "todos los datos en la columna NIVEL y CURSO.",
         .fuente = negrita, .colorTexto = cl::Maroon, .color = cl::InfoBk, .ajustaLineas = true, .visible = false},
        {.nombre = "BitBtn2", .clase = Clase::Boton, .padre = "Panel2", .lugar = {488, 238, 89, 25},
         .texto = "Aceptar", .contextoAyuda = 3, .glifo = Glifo::Aceptar},
        {.nombre = "Button2", .clase = Clase::Boton, .padre = "Panel2", .lugar = {356, 238, 115, 25},
         .texto = "Volver a los Datos", .visible = false},
    };
    return v;
}

}  // namespace

const Ventana& VentanaPrincipal()
{
    static const Ventana v = Describe();
    return v;
}

}  // namespace desktop
