// The form files keep a few settings as the original forms state them, as dynamic properties
// read after setupUi: "colorFuente" (text colour), "color" (background), "fuenteArial" (Arial
// at that many pixels), "fuentePixeles" (the form's font at that many pixels) and
// "autoTamano" (the label takes its text's size).
#pragma once

class QWidget;

namespace ui {

void AplicaFormulario(QWidget* formulario);

}  // namespace ui
