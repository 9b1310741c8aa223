#include "ui/Dialogos.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {

Dialogos*& Instalados()
{
    static Dialogos* d = nullptr;
    return d;
}

// A message box with an arrow pointer even while a conversion shows the hourglass.
int Ejecuta(QMessageBox& caja)
{
    const bool reloj = QApplication::overrideCursor() != nullptr;
    if (reloj)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = caja.exec();
    if (reloj)
        QApplication::restoreOverrideCursor();
    return r;
}

}  // namespace

Dialogos& Dialogos::Actuales()
{
    static DialogosQt reales;
    return Instalados() ? *Instalados() : reales;
}

void Dialogos::Instala(Dialogos* dialogos)
{
    Instalados() = dialogos;
}

void DialogosQt::Mensaje(QWidget* padre, const QString& texto)
{
    QMessageBox caja(QMessageBox::NoIcon, kTituloAplicacion, texto, QMessageBox::NoButton, padre);
    caja.setDefaultButton(caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole));
    Ejecuta(caja);
}

void DialogosQt::Error(QWidget* padre, const QString& texto)
{
    QMessageBox caja(QMessageBox::Critical, kTituloAplicacion, texto, QMessageBox::Ok, padre);
    Ejecuta(caja);
}

bool DialogosQt::Confirma(QWidget* padre, const QString& texto)
{
    QMessageBox caja(QMessageBox::Question, QStringLiteral("Confirmaci\u00F3n"), texto, QMessageBox::NoButton,
                     padre);
    QPushButton* aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    QPushButton* cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    caja.setDefaultButton(aceptar);
    caja.setEscapeButton(cancelar);
    Ejecuta(caja);
    return caja.clickedButton() == aceptar;
}

int DialogosQt::Modal(QDialog& ventana)
{
    return ventana.exec();
}

}  // namespace ui
