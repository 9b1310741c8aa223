// The application object: the program's title, its look on every platform, and the last net
// for errors that a handler did not catch.
#pragma once

#include <QApplication>

namespace ui {

class Aplicacion : public QApplication {
public:
    Aplicacion(int& argc, char** argv);
    bool notify(QObject* receptor, QEvent* evento) override;
};

// The palette and style of the forms: button-face backgrounds, the system's highlight colours.
void AplicaAspecto(QApplication& aplicacion);

}  // namespace ui
