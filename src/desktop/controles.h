// The two windows described once, as data: every control's name, kind, parent, place, size,
// text, colours, font, help context and what it is at start. Both front ends build their
// controls from these descriptions and hold no geometry of their own.
#pragma once

#include "desktop/colores.h"
#include "desktop/glifos.h"

#include <string>
#include <vector>

namespace desktop {

enum class Clase {
    PanelDegradado,   // gradient panel top to bottom through three colours, or a plain bevelled one
    Etiqueta,         // label
    Boton,            // push button, with or without a glyph
    ListaCarpetas,    // folder list
    SelectorUnidades, // drive picker
    Rejilla,          // data-aware grid over a data source
    Navegador,        // ten-button record navigator over a grid
};


enum class Familia {
    Formulario,  // the window's own font ("MS Sans Serif", 11 pixels)
    Arial,
};

struct Fuente {
    Familia familia = Familia::Formulario;
    int pixeles = 0;  // 0: the window's size
    bool negrita = false;
    bool subrayada = false;
};

struct Rectangulo {
    int x = 0, y = 0, ancho = 0, alto = 0;
};

// A grid column: the field it shows, its title, its width in characters and whether its cells
// can be typed into.
struct ColumnaRejilla {
    std::string campo;
    std::string titulo;  // Windows-1252
    int anchoCaracteres = 10;
    bool editable = false;
};

struct DescripcionRejilla {
    std::vector<ColumnaRejilla> columnas;
    int columnasFijas = 0;
    int lineasTitulo = 1;
    Color colorCeldas = cl::Window;
    Color colorFilasAlternas = kSinColor;
    Color colorTitulos = cl::BtnFace;
    Color colorTextoTitulos = cl::Black;
    Color colorFilaActual = kSinColor;  // the current row blended with it, when given
    bool soloLectura = false;
    bool permiteAnadir = false;  // Insert, and the down arrow on the last row
    bool permiteBorrar = false;  // Ctrl+Delete after the question
    bool enterComoTab = false;
    bool barraHorizontal = false;
};

struct Control {
    std::string nombre;
    Clase clase = Clase::Etiqueta;
    std::string padre;  // "" for the window itself
    Rectangulo lugar;
    std::string texto;  // Windows-1252; "&" marks a button's access key
    Fuente fuente;
    Color colorTexto = kSinColor;
    Color color = kSinColor;  // background of a label, list or picker; start colour of a panel
    Color colorMedio = kSinColor;
    Color colorFin = kSinColor;
    bool biselado = false;     // a plain panel with a raised edge
    bool ajustaLineas = false; // a label's text wrapped
    bool centrado = false;     // a label's text centred
    bool autoTamano = false;   // a label as wide and high as its text
    bool visible = true;
    bool porDefecto = false;   // the window's default button
    int contextoAyuda = 0;     // 0: that of the control around it
    Glifo glifo = Glifo::Ninguno;
    std::string vinculo;       // the folder list's label, the drive picker's list, the navigator's grid
    DescripcionRejilla rejilla;
};

struct Ventana {
    std::string nombre;
    std::string titulo;  // Windows-1252
    int ancho = 0, alto = 0;        // client area
    int x = -1, y = -1;             // -1: where the system puts it
    bool dialogo = false;           // a modal dialog owned by the main window
    Color color = kSinColor;        // background; the button face when not given
    int contextoAyuda = 0;
    Glifo icono = Glifo::Ninguno;
    std::vector<Control> controles; // parents before their children, in tab order
};

const Ventana& VentanaPrincipal();
const Ventana& VentanaPlantilla();

// The description of a control of a window; null when it has none by that name.
const Control* BuscaControl(const Ventana& ventana, const std::string& nombre);

// The help context F1 asks for in a control: its own, or that of the nearest control around
// it, or the window's. A name the window does not hold gives the window's.
int ContextoAyuda(const Ventana& ventana, const std::string& control);

}  // namespace desktop
