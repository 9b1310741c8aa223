// Every modal dialog of the program goes through this one interface, so that the tests can
// answer them without a person. The program installs the real dialogs; a test installs its own.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace ui {

// Caption of every message box and error box, and the program's name on the taskbar.
inline const QString kTituloAplicacion = QStringLiteral("TransOrbelosZARECSV");

class Dialogos {
public:
    virtual ~Dialogos() = default;

    // A fixed message, shown unchanged, with one button "Aceptar".
    virtual void Mensaje(QWidget* padre, const QString& texto) = 0;
    // The error box: error icon and one OK button.
    virtual void Error(QWidget* padre, const QString& texto) = 0;
    // A question with "Aceptar" and "Cancelar"; true for "Aceptar".
    virtual bool Confirma(QWidget* padre, const QString& texto) = 0;
    // Shows a window modally and returns its result when it has closed.
    virtual int Modal(QDialog& ventana) = 0;

    // The dialogs in use; Instala(nullptr) puts back the real ones.
    static Dialogos& Actuales();
    static void Instala(Dialogos* dialogos);
};

// The real dialogs, on Qt's message boxes.
class DialogosQt : public Dialogos {
public:
    void Mensaje(QWidget* padre, const QString& texto) override;
    void Error(QWidget* padre, const QString& texto) override;
    bool Confirma(QWidget* padre, const QString& texto) override;
    int Modal(QDialog& ventana) override;
};

}  // namespace ui
