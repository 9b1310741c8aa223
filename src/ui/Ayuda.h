// Help. On Windows the HTML Help file "ZARE.CHM" beside the executable, through HHCtrl.ocx,
// when it is there; otherwise the same pages as HTML files in the "help" folder beside the
// executable, shown in a help window of our own. F1 asks for the help context of the control
// with the focus (the property "contextoAyuda" of it or of the nearest control around it).
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace ui {

// The application help file ("ZARE.CHM").
void PonArchivoAyuda(const QString& nombre);
QString ArchivoAyuda();

void MuestraContenido(QWidget* llamante);
void MuestraContexto(QWidget* llamante, int contexto);

// The help context of a control: its own, or that of the nearest control that contains it; 0
// when none has one.
int ContextoAyudaDe(const QWidget* control);

// The folders an installed program looks in for its help pages, from its executable's folder:
// beside it ("help"), then its data folder ("../share/transorbelinzare/help").
QStringList CarpetasAyudaDe(const QString& carpetaPrograma);
// The first of those that holds the pages ("" when none does), and the text that says so.
QString CarpetaAyuda();
QString TextoAyudaNoInstalada();
// The page of a help context (the contents for 0).
QUrl PaginaAyuda(int contexto);

class VentanaAyuda : public QWidget {
    Q_OBJECT

public:
    // The one help window, made when first asked for.
    static VentanaAyuda* Unica();
    static VentanaAyuda* Abierta();

    void muestra(const QUrl& pagina);
    QTextBrowser* navegador() const { return navegador_; }

protected:
    void keyPressEvent(QKeyEvent* evento) override;

private:
    VentanaAyuda();
    QTextBrowser* navegador_;
};

}  // namespace ui
