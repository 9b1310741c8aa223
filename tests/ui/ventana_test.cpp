// The main window and the template window as the forms state them: places, texts, fonts,
// colours, what is hidden at start, help contexts; the launch modes; help.
#include "apoyo.h"

#include "import/importacion.h"
#include "ui/Ayuda.h"
#include "ui/Colores.h"
#include "ui/ControlPlantilla.h"
#include "ui/MainForm.h"
#include "ui/widgets/NavegadorDatos.h"
#include "ui/widgets/PanelDegradado.h"
#include "ui/widgets/RejillaDatos.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

namespace {

QRect Geometria(QWidget* raiz, const char* nombre)
{
    QWidget* w = raiz->findChild<QWidget*>(nombre);
    return w ? w->geometry() : QRect();
}

QString Texto(QWidget* raiz, const char* nombre)
{
    if (auto* l = raiz->findChild<QLabel*>(nombre))
        return l->text();
    if (auto* b = raiz->findChild<QPushButton*>(nombre))
        return b->text();
    return {};
}

QColor ColorTexto(QWidget* raiz, const char* nombre)
{
    return raiz->findChild<QWidget*>(nombre)->palette().color(QPalette::WindowText);
}

}  // namespace

class PruebaVentana : public QObject {
    Q_OBJECT

private slots:
    void lugaresDeLaVentanaPrincipal()
    {
        prueba::DialogosPrueba d;
        TMForm f({});
        QCOMPARE(f.size(), QSize(599, 269));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QCOMPARE(f.windowTitle(), QStringLiteral("Exportar e importar datos entre Orbelin y ZARE (Formato CSV)"));
        const struct {
            const char* nombre;
            QRect lugar;
        } lugares[] = {
            {"Draw3D2", {0, 0, 289, 99}},      {"Label3", {24, 3, 265, 41}},
            {"BExportar", {88, 72, 89, 25}},   {"Draw3D3", {289, 0, 310, 99}},
            {"Label4", {8, 3, 305, 57}},       {"BImportar", {96, 72, 89, 25}},
            {"Draw3D1", {0, 99, 599, 170}},    {"Directorios", {150, 34, 287, 110}},
            {"Unidades", {150, 147, 137, 19}}, {"Button1", {12, 146, 77, 21}},
            {"BClose", {480, 87, 89, 25}},     {"Panel1", {11, 34, 289, 110}},
            {"Label7", {9, 5, 225, 13}},       {"wwDBGridCODCENTRO", {7, 18, 277, 56}},
            {"BitBtn1", {106, 83, 81, 23}},    {"Panel2", {6, 1, 587, 266}},
            {"Label10", {10, 6, 141, 13}},     {"Label8", {157, 3, 382, 26}},
            {"Label11", {9, 32, 483, 26}},     {"wwDBGridNIVIMP", {6, 65, 430, 166}},
            {"Label9", {442, 65, 136, 78}},    {"BitBtn2", {488, 238, 89, 25}},
            {"Button2", {356, 238, 115, 25}},
        };
        for (const auto& l : lugares)
            QVERIFY2(Geometria(&f, l.nombre) == l.lugar, l.nombre);
        for (const auto& [nombre, punto] : {std::pair{"Label12", QPoint(67, 4)}, {"Label5", {152, 4}},
                                            {"Label6", {152, 18}}, {"Label1", {368, 149}}})
            QVERIFY2(Geometria(&f, nombre).topLeft() == punto, nombre);
        // Label2 starts at (212, 19) unless the fallback font pushed "Ruta Actual:" into it.
        const QRect label2 = Geometria(&f, "Label2");
        QCOMPARE(label2.y(), 19);
        QCOMPARE(label2.x(), std::max(212, Geometria(&f, "Label6").right() + 4));
        // Panel1 lies on the lower panel; Panel2 on the form itself, over everything.
        QCOMPARE(f.findChild<QWidget*>("Panel1")->parentWidget()->objectName(), QStringLiteral("Draw3D1"));
        QCOMPARE(f.findChild<QWidget*>("Panel2")->parentWidget(), &f);
    }

    void textosExactos()
    {
        prueba::DialogosPrueba d;
        TMForm f({});
        const struct {
            const char* nombre;
            const char* ansi;  // Windows-1252
        } textos[] = {
            {"Label3", "Transformar datos desde ZARE hacia Orbelin "},
            {"Label4", "Transformar datos desde Orbelin hacia ZARE"},
            {"BExportar", "Aceptar"},
            {"BImportar", "Aceptar"},
            {"Label12", "PRIMERO ==>"},
            {"Label5", "Seleccione la Carpeta en la que se encuentran los Ficheros CSV de ZARE"},
            {"Label6", "Ruta Actual:"},
            {"Button1", "F1 AYUDA"},
            {"BClose", "&Salir"},
            {"Label1", "TransOrbelinZARE para TQ37 V-1.0"},
            {"Label7", "Seleccionar la Convocatoria a importar:"},
            {"BitBtn1", "Continuar"},
            {"Label10", "NIVELES DE ESTUDIOS"},
            {"Label8", "Escriba las Abreviaturas Turno (1 caracter), Nivel (hasta 5 cars.) y Curso (hasta 2 cars.). "
                       "Servir\xE1n para las Abreviaturas de Orbelin."},
            {"Label11", "ATENCI\xD3N - Los Identificadores o Abreviaturas que luego aparecer\xE1n en Orbelin, se "
                        "formar\xE1n en funci\xF3n de las  siglas que aqu\xED se introduzcan."},
            {"BitBtn2", "Aceptar"},
            {"Button2", "Volver a los Datos"},
        };
        for (const auto& t : textos)
            QVERIFY2(ui::AAnsi(Texto(&f, t.nombre)) == t.ansi, t.nombre);
        QCOMPARE(ui::AAnsi(Texto(&f, "Label9")), import::kNivelesIncompletos);
    }

    void fuentesYColores()
    {
        prueba::DialogosPrueba d;
        TMForm f({});
        QCOMPARE(f.font().pixelSize(), 11);
        QVERIFY(f.font().families().contains(QStringLiteral("MS Sans Serif")));
        for (const char* arial : {"Label3", "Label4"}) {
            const QFont fuente = f.findChild<QLabel*>(arial)->font();
            QCOMPARE(fuente.pixelSize(), 16);
            QVERIFY(fuente.bold());
            QCOMPARE(fuente.families().value(0), QStringLiteral("Arial"));
            QVERIFY(f.findChild<QLabel*>(arial)->wordWrap());
        }
        for (const char* negrita : {"Label12", "Label2", "Label1", "Label7", "Label10", "Label8", "Label11", "Label9"})
            QVERIFY2(f.findChild<QLabel*>(negrita)->font().bold(), negrita);
        QVERIFY(f.findChild<QLabel*>("Label10")->font().underline());
        QVERIFY(!f.findChild<QLabel*>("Label5")->font().bold());

        const QColor rojo(255, 0, 0), azul(0, 0, 255), granate(128, 0, 0);
        for (const char* n : {"Label12", "Label2", "Label1", "Label11"})
            QVERIFY2(ColorTexto(&f, n) == rojo, n);
        for (const char* n : {"Label5", "Label6", "Label7", "Label8"})
            QVERIFY2(ColorTexto(&f, n) == azul, n);
        for (const char* n : {"Label10", "Label9"})
            QVERIFY2(ColorTexto(&f, n) == granate, n);

        // The gradients: start, middle and end colours decoded from the Windows values.
        auto* d2 = f.findChild<TPanelDegradado*>("Draw3D2");
        QCOMPARE(d2->colorEn(0), QColor(0xF9, 0xD3, 0x7D));
        QCOMPARE(d2->colorEn(0.5), QColor(Qt::white));
        QCOMPARE(d2->colorEn(1), QColor(0xFF, 0xEE, 0xDD));
        auto* d3 = f.findChild<TPanelDegradado*>("Draw3D3");
        QCOMPARE(d3->colorEn(0), d2->colorEn(0));
        QCOMPARE(d3->colorEn(1), d2->colorEn(1));
        auto* d1 = f.findChild<TPanelDegradado*>("Draw3D1");
        QCOMPARE(d1->colorEn(0), QColor(0xC2, 0xCD, 0xFE));
        QCOMPARE(d1->colorEn(0.5), QColor(0xCF, 0xF2, 0xFE));
        QCOMPARE(d1->colorEn(1), QColor(0xCC, 0xD8, 0xE6));
        QCOMPARE(f.findChild<TPanelDegradado*>("Panel1")->colorEn(0.5),
                 ui::ColorWindows(ui::cl::GradientInactiveCaption));
        QCOMPARE(f.findChild<TPanelDegradado*>("Panel2")->colorEn(0.5),
                 ui::ColorWindows(ui::cl::InactiveCaptionText));
        QCOMPARE(f.findChild<QWidget*>("Directorios")->palette().color(QPalette::Base), QColor(0xF0, 0xFB, 0xFF));
        QCOMPARE(f.findChild<QWidget*>("Unidades")->palette().color(QPalette::Base), QColor(0xF0, 0xFB, 0xFF));
        QCOMPARE(f.findChild<QWidget*>("Label9")->palette().color(QPalette::Window), ui::ColorWindows(ui::cl::InfoBk));
        QVERIFY(f.findChild<QWidget*>("Label9")->autoFillBackground());

        // The grids' titles: bold blue on cream.
        for (const char* n : {"wwDBGridCODCENTRO", "wwDBGridNIVIMP"}) {
            auto* g = f.findChild<TRejillaDatos*>(n);
            QCOMPARE(g->colorDeTitulos(), QColor(0xFF, 0xFB, 0xF0));
            QCOMPARE(g->colorDeTextoTitulos(), azul);
            QCOMPARE(g->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        }
    }

    void estadoInicialGlifosYAyuda()
    {
        prueba::DialogosPrueba d;
        TMForm f({});
        f.show();
        for (const char* oculto : {"Panel1", "Panel2", "Label9", "Button2"})
            QVERIFY2(f.findChild<QWidget*>(oculto)->isHidden(), oculto);
        for (const char* visible : {"Draw3D2", "Draw3D3", "Directorios", "Unidades", "BExportar", "BImportar"})
            QVERIFY2(f.findChild<QWidget*>(visible)->isVisible(), visible);
        QVERIFY(f.findChild<QWidget*>("BExportar")->isEnabled());
        QVERIFY(f.findChild<QWidget*>("BImportar")->isEnabled());
        for (const char* glifo : {"BExportar", "BImportar", "BClose", "BitBtn1", "BitBtn2"})
            QVERIFY2(!f.findChild<QPushButton*>(glifo)->icon().isNull(), glifo);
        QVERIFY(f.findChild<QPushButton*>("Button1")->icon().isNull());
        QCOMPARE(f.estado().EstadoTransformacion, 0);
        QCOMPARE(f.estado().ModoLanzamiento, 0);
        QVERIFY(!(f.windowFlags() & Qt::FramelessWindowHint));
        // Help context 3 for the whole window, and for the two glyph buttons themselves.
        QCOMPARE(ui::ContextoAyudaDe(f.findChild<QWidget*>("Directorios")), 3);
        QCOMPARE(f.findChild<QWidget*>("BitBtn1")->property("contextoAyuda").toInt(), 3);
        QCOMPARE(f.findChild<QWidget*>("BitBtn2")->property("contextoAyuda").toInt(), 3);
    }

    void ventanaDePlantilla()
    {
        prueba::DialogosPrueba d;
        TControlPlantilla p;
        QCOMPARE(p.windowTitle(), QStringLiteral("Control de Plantilla Horaria"));
        QCOMPARE(p.size(), QSize(595, 310));
        QCOMPARE(p.pos(), QPoint(338, 334));
        QCOMPARE(p.property("contextoAyuda").toInt(), 1);
        QCOMPARE(p.palette().color(QPalette::Window), ui::ColorWindows(ui::cl::Background));
        auto* panel = p.findChild<TPanelDegradado*>("Draw3D1");
        QCOMPARE(panel->geometry(), QRect(8, 8, 577, 289));
        QCOMPARE(panel->colorEn(0), QColor(Qt::white));
        QCOMPARE(panel->colorEn(0.5), QColor(0, 255, 255));
        QCOMPARE(panel->colorEn(1), QColor(Qt::white));
        QCOMPARE(Geometria(&p, "PlantiHorDBGrid"), QRect(65, 25, 205, 225));
        QCOMPARE(Geometria(&p, "Label3"), QRect(345, 57, 210, 13));
        QCOMPARE(Geometria(&p, "Label2"), QRect(344, 99, 210, 52));
        QCOMPARE(Geometria(&p, "wwDBNavigator1"), QRect(30, 257, 275, 24));
        QCOMPARE(Geometria(&p, "BitBtn2"), QRect(477, 257, 89, 25));
        QCOMPARE(Geometria(&p, "Label1").topLeft(), QPoint(3, 3));
        QCOMPARE(ui::AAnsi(Texto(&p, "Label1")), std::string("COMPROBACI\xD3N DE LA PLANTILLA HORARIA DEL CENTRO"));
        QCOMPARE(p.findChild<QLabel*>("Label1")->font().pixelSize(), 13);
        QVERIFY(p.findChild<QLabel*>("Label1")->font().underline());
        QCOMPARE(Texto(&p, "Label3"), QStringLiteral("PLANTILLA HORARIA DEL CENTRO"));
        QCOMPARE(ColorTexto(&p, "Label3"), QColor(255, 0, 0));
        QCOMPARE(p.findChild<QLabel*>("Label3")->palette().color(QPalette::Window), QColor(0, 255, 0));
        QVERIFY(p.findChild<QLabel*>("Label3")->alignment() & Qt::AlignHCenter);
        QCOMPARE(ColorTexto(&p, "Label2"), QColor(0, 0, 128));
        QCOMPARE(Texto(&p, "Label2"),
                 QStringLiteral("Modifique, en caso necesario, las Horas de Inicio de Clase, en la presente "
                                "rejilla. Deben ser iguales que la Plantilla Horaria de su Centro."));
        auto* aceptar = p.findChild<QPushButton*>("BitBtn2");
        QVERIFY(aceptar->isDefault());
        QVERIFY(!aceptar->icon().isNull());
        QCOMPARE(aceptar->property("contextoAyuda").toInt(), 3);
        auto* rejilla = p.findChild<TRejillaDatos*>("PlantiHorDBGrid");
        QCOMPARE(rejilla->property("contextoAyuda").toInt(), 1);
        QCOMPARE(rejilla->colorDeTitulos(), QColor(0xFE, 0xE4, 0xA9));
        QCOMPARE(rejilla->fondoCelda(rejilla->model()->index(0, 0)), QColor(0xF0, 0xFB, 0xFF));
        QCOMPARE(rejilla->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(rejilla->lineasTitulo(), 2);

        // The navigator: ten buttons in order with their hints, none to add or delete.
        auto* nav = p.findChild<TNavegadorDatos*>("wwDBNavigator1");
        const QStringList pistas = {"Move to first record",       "Move backward 10 records",
                                    "Move to prior record",        "Move to next record",
                                    "Move forward 10 records",     "Move to last record",
                                    "Edit current record",         "Post changes of current record",
                                    "Cancel changes made to current record", "Refresh the contents of the dataset"};
        const auto botones = nav->findChildren<QToolButton*>();
        QCOMPARE(botones.size(), 10);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(nav->boton(static_cast<TNavegadorDatos::Boton>(i))->toolTip(), pistas[i]);
            QVERIFY(!nav->boton(static_cast<TNavegadorDatos::Boton>(i))->icon().isNull());
        }
    }

    void ayuda()
    {
        prueba::DialogosPrueba d;
        TMForm f({});
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // "F1 AYUDA" opens the contents.
        QTest::mouseClick(f.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        ui::VentanaAyuda* v = ui::VentanaAyuda::Abierta();
        QVERIFY(v && v->isVisible());
        QCOMPARE(v->navegador()->source(), ui::PaginaAyuda(0));
        QVERIFY(v->navegador()->toPlainText().contains(QStringLiteral("contenido de la ayuda")));
        // F1 in the main window: the topic of context 3.
        f.activateWindow();
        f.findChild<QWidget*>("Directorios")->setFocus();
        QTest::keyClick(&f, Qt::Key_F1);
        QCOMPARE(v->navegador()->source(), ui::PaginaAyuda(3));
        QVERIFY(v->navegador()->toPlainText().contains(QStringLiteral("La ventana principal")));
        // The pages take their look from the shared style sheet: the title in its dark red.
        QTextCursor titulo(v->navegador()->document());
        titulo.setPosition(v->navegador()->toPlainText().indexOf(QStringLiteral("La ventana principal")) + 1);
        QCOMPARE(titulo.charFormat().foreground().color(), QColor("#7a1010"));
        v->close();

        // Every page named by a link exists, and the two context pages are among them.
        const QDir carpeta(ui::CarpetaAyuda());
        const QStringList paginas = carpeta.entryList({"*.html"});
        QVERIFY(paginas.contains("index.html"));
        QVERIFY(paginas.contains(ui::PaginaAyuda(1).fileName()));
        QVERIFY(paginas.contains(ui::PaginaAyuda(3).fileName()));
        // A context without a page of its own opens the contents.
        QCOMPARE(ui::PaginaAyuda(7), ui::PaginaAyuda(0));
        const QRegularExpression enlace(QStringLiteral("href=\"([^\"#:]+)\""));
        for (const QString& pagina : paginas) {
            const QString html = QString::fromUtf8(prueba::LeeArchivo(carpeta.filePath(pagina)));
            for (auto m = enlace.globalMatch(html); m.hasNext();) {
                const QString destino = m.next().captured(1);
                QVERIFY2(carpeta.exists(destino), qPrintable(pagina + " -> " + destino));
            }
        }
    }

    void ayudaEnLaVentanaDePlantilla()
    {
        prueba::DialogosPrueba d;
        TControlPlantilla p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        p.activateWindow();
        p.findChild<QWidget*>("PlantiHorDBGrid")->setFocus();
        QTest::keyClick(&p, Qt::Key_F1);
        QCOMPARE(ui::VentanaAyuda::Abierta()->navegador()->source(), ui::PaginaAyuda(1));
        p.findChild<QWidget*>("BitBtn2")->setFocus();
        QTest::keyClick(&p, Qt::Key_F1);
        QCOMPARE(ui::VentanaAyuda::Abierta()->navegador()->source(), ui::PaginaAyuda(3));
        ui::VentanaAyuda::Abierta()->close();
    }

    // The template window is modal: help opened from it must take input all the same (its
    // buttons and Esc, as the window system delivers them), and close with Esc.
    void ayudaUtilizableSobreUnaVentanaModal()
    {
        prueba::DialogosPrueba d;
        TControlPlantilla p;
        bool abierta = false, cerradaConBoton = false, cerradaConEsc = false;
        QTimer::singleShot(0, &p, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&p));
            p.activateWindow();
            QTest::keyClick(&p, Qt::Key_F1);
            QPointer<ui::VentanaAyuda> v = ui::VentanaAyuda::Abierta();
            abierta = v && v->isVisible();
            if (abierta) {
                QVERIFY(QTest::qWaitForWindowExposed(v));
                auto* cerrar = v->findChild<QPushButton*>("cerrarAyuda");
                QTest::mouseClick(v->windowHandle(), Qt::LeftButton, {}, cerrar->mapTo(v, cerrar->rect().center()));
                QTest::qWait(50);
                cerradaConBoton = !v || !v->isVisible();
            }
            p.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&p));
            QTest::keyClick(&p, Qt::Key_F1);
            v = ui::VentanaAyuda::Abierta();
            if (v && v->isVisible()) {
                QVERIFY(QTest::qWaitForWindowExposed(v));
                QTest::keyClick(v->windowHandle(), Qt::Key_Escape);
                QTest::qWait(50);
                cerradaConEsc = !v || !v->isVisible();
            }
            p.reject();
        });
        p.exec();
        QVERIFY(abierta);
        QVERIFY(cerradaConBoton);
        QVERIFY(cerradaConEsc);

    }

    // Without its pages the help says so, and where it looked, instead of a blank window.
    void ayudaQueNoEstaInstalada()
    {
        prueba::DialogosPrueba d;
        const QString carpeta = QCoreApplication::applicationDirPath() + "/help";
        QCOMPARE(ui::CarpetasAyudaDe(QCoreApplication::applicationDirPath()).first(), carpeta);
        QVERIFY(QDir().rename(carpeta, carpeta + ".apartada"));
        struct Repone {
            QString c;
            ~Repone() { QDir().rename(c + ".apartada", c); }
        } repone{carpeta};
        QCOMPARE(ui::CarpetaAyuda(), QString());
        TMForm f({});
        f.show();
        QTest::mouseClick(f.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QVERIFY(!ui::VentanaAyuda::Abierta() || !ui::VentanaAyuda::Abierta()->isVisible());
        QCOMPARE(d.errores.size(), 1);
        QVERIFY2(d.errores[0].startsWith(QString::fromUtf8("La ayuda no est\xC3\xA1 instalada")), qPrintable(d.errores[0]));
        QVERIFY(d.errores[0].contains(carpeta));
        QVERIFY(d.errores[0].contains("share/transorbelinzare/help"));
    }
};

static prueba::Registro<PruebaVentana> registro;

#include "ventana_test.moc"
