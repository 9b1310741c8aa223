// Saves pictures of the program's screens for the documentation: the main window, the call
// panel, the course screen (incomplete and complete) and the template window. It drives the
// real windows over the sample centre, with the dialogs answered by itself.
//
//   capturas CARPETA_SALIDA CARPETA_ZARE NIVELES_CSV
//
// TRANSORBELIN_UNIDAD_C must name a folder with an empty ZTEMP inside.
#include "ui/Aplicacion.h"
#include "ui/ControlPlantilla.h"
#include "ui/Dialogos.h"
#include "ui/MainForm.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/RejillaDatos.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

QString gSalida;

void Espera(int ms = 150)
{
    QCoreApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(ms));
    QCoreApplication::processEvents();
}

// The window as the screen shows it, with the frame a window manager gave it, when there is one.
QPixmap Imagen(QWidget* w)
{
    QScreen* pantalla = w->screen();
    const QRect marco = w->frameGeometry();
    if (pantalla && QGuiApplication::platformName() == "xcb" && marco != w->geometry())
        return pantalla->grabWindow(0, marco.x(), marco.y(), marco.width(), marco.height());
    return w->grab();
}

void Guarda(QWidget* w, const QString& nombre)
{
    Espera(400);
    const QString ruta = gSalida + "/" + nombre;
    if (!Imagen(w).save(ruta))
        std::fprintf(stderr, "capturas: cannot write %s\n", qPrintable(ruta));
    else
        std::printf("%s\n", qPrintable(ruta));
}

class DialogosCaptura : public ui::Dialogos {
public:
    void Mensaje(QWidget*, const QString& t) override { std::printf("mensaje: %s\n", qPrintable(t)); }
    void Error(QWidget*, const QString& t) override { std::printf("error: %s\n", qPrintable(t)); }
    bool Confirma(QWidget*, const QString&) override { return false; }
    int Modal(QDialog& ventana) override
    {
        ventana.show();
        ventana.activateWindow();
        Espera(300);
        if (auto* p = qobject_cast<TControlPlantilla*>(&ventana)) {
            p->rejilla()->setFocus();
            Espera();
            p->rejilla()->irAFila(2);
            Guarda(&ventana, "plantilla.png");
        }
        ventana.accept();
        return ventana.result();
    }
};

// The course codes of the filled sheet, by course code: TURNO, NIVEL, CURSO.
QHash<QString, QStringList> LeeNiveles(const QString& ruta)
{
    QHash<QString, QStringList> r;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return r;
    QTextStream in(&f);
    in.readLine();
    while (!in.atEnd()) {
        // Every value of the sheet is in double quotes; commas inside them belong to the value.
        QStringList c;
        QString valor;
        bool dentro = false;
        for (QChar ch : in.readLine()) {
            if (ch == '"')
                dentro = !dentro;
            else if (ch == ',' && !dentro)
                c << std::exchange(valor, QString());
            else
                valor += ch;
        }
        c << valor;
        if (c.size() >= 5)
            r[c[0]] = {c[2], c[3], c[4]};
    }
    return r;
}

void Rellena(TModeloTabla* m, const QHash<QString, QStringList>& niveles, int saltar)
{
    for (int fila = 0; fila < m->rowCount(); ++fila) {
        const QStringList v = niveles.value(m->index(fila, 0).data().toString());
        if (v.size() < 3)
            continue;
        for (int c = 0; c < 3; ++c) {
            if (fila == saltar && c == 1)
                continue;
            m->setData(m->index(fila, 2 + c), v[c], Qt::EditRole);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ui::Aplicacion app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: capturas OUTPUT_FOLDER ZARE_FOLDER NIVELES_CSV\n");
        return 64;
    }
    gSalida = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(gSalida);
    const auto niveles = LeeNiveles(QString::fromLocal8Bit(argv[3]));
    QDir::setCurrent(QString::fromLocal8Bit(argv[2]));

    DialogosCaptura dialogos;
    ui::Dialogos::Instala(&dialogos);

    TMForm f({});
    f.show();
    f.activateWindow();
    Espera(400);
    Guarda(&f, "ventana-principal.png");

    f.BExportarClick();
    auto* rejillaConv = f.findChild<TRejillaDatos*>("wwDBGridCODCENTRO");
    TModeloTabla* conv = f.wwDataSourceCODCENTRO();
    for (int fila = 0; fila < conv->rowCount(); ++fila)
        if (conv->index(fila, 0).data().toString() == "2026")
            rejillaConv->irAFila(fila);
    rejillaConv->setFocus();
    Guarda(&f, "convocatorias.png");

    f.BitBtn1Click();
    auto* rejillaNiv = f.findChild<TRejillaDatos*>("wwDBGridNIVIMP");
    TModeloTabla* niv = f.wwDataSourceNIVIMP();
    Rellena(niv, niveles, 4);
    f.FinalRecogida();
    rejillaNiv->irAFila(0);
    rejillaNiv->irAFila(4);
    Guarda(&f, "cursos-incompletos.png");

    f.Button2Click();
    Rellena(niv, niveles, -1);
    rejillaNiv->setFocus();
    rejillaNiv->irAFila(0);
    rejillaNiv->irAFila(3);
    rejillaNiv->setCurrentIndex(niv->index(3, 3));
    Guarda(&f, "cursos.png");

    f.FinalRecogida();
    f.BImportarClick();
    Espera();
    return 0;
}
