// A whole export through the window: the template shown, a start time corrected in its grid,
// and "HORARIO.CSV" written with the corrected time; the template's grid and navigator.
#include "apoyo.h"

#include "ui/ControlPlantilla.h"
#include "ui/MainForm.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/ListaCarpetas.h"
#include "ui/widgets/NavegadorDatos.h"
#include "ui/widgets/RejillaDatos.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

QWidget* W(QWidget* f, const char* nombre)
{
    return f->findChild<QWidget*>(nombre);
}

void ClicEnCelda(TRejillaDatos* g, int fila, int columna)
{
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(fila, columna)).center());
}

// The tables the export reads, small and consistent: one group, one subject, one teacher, and a
// solution entry of two hours on Monday from hour 1.
void PreparaTablas()
{
    store::recreateTable("\\ZTEMP", "GRUPOST.DBF",
                         {{"ABREV", 'C', 10}, {"NOMEABREVGRUPZARE", 'C', 20}, {"NOMEABREVSUBGRUZARE", 'C', 20},
                          {"CODCURSOZARE", 'C', 10}},
                         {}, {"GRUPOST.DBF"});
    store::recreateTable("\\ZTEMP", "PROFT.DBF", {{"ABREV", 'C', 10}, {"NOMBRE", 'C', 60}}, {{"ABREV", "ABREV"}},
                         {"PROFT.DBF"});
    store::recreateTable("\\ZTEMP", "ASIGNOMT2.DBF",
                         {{"COD", 'C', 10}, {"CODCURSO", 'C', 10}, {"ABREVZARE", 'C', 20}}, {}, {"ASIGNOMT2.DBF"});
    store::recreateTable("\\ZTEMP", "AULAT.DBF", {{"ABREV", 'C', 10}}, {}, {"AULAT.DBF"});
    store::recreateTable("\\ZTEMP", "SOLUC.DBF",
                         {{"ASIG", 'C', 4}, {"PROF", 'C', 4}, {"CODGRUPO", 'C', 4}, {"AULA", 'C', 4},
                          {"DIA", 'N', 2}, {"HORA", 'N', 5, 1}, {"SESIONES", 'N', 5, 1}},
                         {}, {"SOLUC.DBF"});
    store::recreateTable("\\ZTEMP", "DIASHORAST.DBF",
                         {{"DIA", 'N', 2}, {"HORA", 'N', 3}, {"HORADESDE", 'C', 5}}, {}, {"DIASHORAST.DBF"});
    auto fila = [](const std::string& tabla, const std::vector<std::pair<std::string, std::string>>& textos,
                   const std::vector<std::pair<std::string, double>>& numeros) {
        store::Table t("\\ZTEMP", tabla);
        t.open(store::Access::Shared);
        t.append();
        for (const auto& [c, v] : textos)
            t.setText(c, v);
        for (const auto& [c, v] : numeros)
            t.setFloat(c, v);
        t.post();
        t.close();
    };
    fila("GRUPOST.DBF", {{"ABREV", "1A"}, {"NOMEABREVGRUPZARE", "1ESO-A"}, {"CODCURSOZARE", "1ESO"}}, {});
    fila("PROFT.DBF", {{"ABREV", "P1"}, {"NOMBRE", "Docente Uno"}}, {});
    fila("ASIGNOMT2.DBF", {{"COD", "MAT"}, {"CODCURSO", "1ESO"}, {"ABREVZARE", "MAT1"}}, {});
    fila("SOLUC.DBF", {{"ASIG", "MAT"}, {"PROF", "P1"}, {"CODGRUPO", "1A"}, {"AULA", "A12"}},
         {{"DIA", 1}, {"HORA", 1}, {"SESIONES", 2}});
}

}  // namespace

class PruebaExportacion : public QObject {
    Q_OBJECT

private slots:
    void exportacionCompletaPorLaVentana()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        PreparaTablas();
        TMForm f({});
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);

        bool vista = false;
        d.alModal = [&](QDialog& ventana) {
            auto* p = qobject_cast<TControlPlantilla*>(&ventana);
            if (!p)
                return 0;
            ventana.show();
            ventana.activateWindow();
            if (!QTest::qWaitForWindowActive(&ventana))
                ventana.findChild<QWidget*>("PlantiHorDBGrid")->setFocus();
            // The grid has the focus and the template open, first hour in edit mode.
            auto* g = p->rejilla();
            TModeloTabla* m = p->modelo();
            vista = g->hasFocus() && p->tablaAbierta() && m->rowCount() == 20;
            if (!vista)
                return 0;
            [&] {
                QCOMPARE(m->estado(), TModeloTabla::Estado::Editando);
                QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("08:00"));
                QCOMPARE(m->index(16, 1).data().toString(), QStringLiteral("00:00"));
                // The first start time corrected by typing; Enter moves on as Tab does.
                ClicEnCelda(g, 0, 1);
                QTest::keyClick(g, Qt::Key_F2);
                QLineEdit* editor = g->viewport()->findChild<QLineEdit*>();
                QVERIFY(editor);
                editor->selectAll();
                QTest::keyClicks(editor, "08:45");
                QTest::keyClick(editor, Qt::Key_Return);
                QCOMPARE(g->currentIndex(), m->index(1, 0));
            }();
            // "Aceptar" takes the focus first, so the change is posted before the table closes.
            QTest::mouseClick(ventana.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
            return ventana.result();
        };
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BImportar")), Qt::LeftButton);
        QVERIFY(vista);
        QCOMPARE(d.modales, 1);
        QVERIFY2(d.errores.isEmpty(), qPrintable(d.errores.join('\n')));
        QCOMPARE(d.mensajes, QStringList{"Proceso finalizado"});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(f.estado().EstadoTransformacion, 1);
        QVERIFY(!W(&f, "BImportar")->isEnabled());
        QVERIFY(!W(&f, "BExportar")->isEnabled());
        QVERIFY(f.isVisible());

        const auto plantilla = prueba::Registros("PLANTILLA.DBF", {"HORA", "HORAINI", "HORAFIN"});
        QCOMPARE(static_cast<int>(plantilla.size()), 20);
        QCOMPARE(plantilla[0], (QStringList{"1", "08:45", "09:00"}));
        QCOMPARE(plantilla[1], (QStringList{"2", "09:00", "10:00"}));
        QCOMPARE(prueba::LeeArchivo(e.zare + "/HORARIO.CSV"),
                 QByteArray("\"1\",\"Luns\",\"08:45\",\"1ESO-A\",\"MAT1\",\"Docente Uno\",\"\",\"A12\"\r\n"
                            "\"2\",\"Luns\",\"09:00\",\"1ESO-A\",\"MAT1\",\"Docente Uno\",\"\",\"A12\"\r\n"));
    }

    void exportacionEmbebidaCierraConUnoYLaPlantillaSeConserva()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        PreparaTablas();
        QTemporaryDir dir;
        TMForm f({"importar", "77"});
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        // The template window closed with its close box: the export runs all the same.
        d.alModal = [](QDialog& ventana) {
            ventana.show();
            ventana.close();
            return ventana.result();
        };
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BImportar")), Qt::LeftButton);
        QCOMPARE(d.mensajes, QStringList{"Proceso finalizado"});
        QVERIFY(!f.isVisible());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")),
                 QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
        QVERIFY(prueba::LeeArchivo(e.zare + "/HORARIO.CSV").contains("\"08:00\""));
    }

    void errorEnLaExportacionDejaLosBotones()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        PreparaTablas();
        QFile::remove(e.ztemp + "/SOLUC.DBF");
        TMForm f({});
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BImportar")), Qt::LeftButton);
        QCOMPARE(d.modales, 1);
        QCOMPARE(d.errores.size(), 1);
        QVERIFY2(d.errores[0].contains("SOLUC"), qPrintable(d.errores[0]));
        QVERIFY(d.mensajes.isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(W(&f, "BImportar")->isEnabled());
        QVERIFY(W(&f, "BExportar")->isEnabled());
        QCOMPARE(f.estado().EstadoTransformacion, 0);
        // It can be started again once the cause is mended.
        PreparaTablas();
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BImportar")), Qt::LeftButton);
        QCOMPARE(d.mensajes, QStringList{"Proceso finalizado"});
        QCOMPARE(d.modales, 2);
    }

    void rejillaYNavegadorDeLaPlantilla()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        TMForm f({});
        // The template is built by the export button; the window is driven here.
        d.alModal = [&](QDialog& ventana) {
            auto* p = qobject_cast<TControlPlantilla*>(&ventana);
            ventana.show();
            p->rejilla()->setFocus();
            p->PlantiHorDBGridEnter();
            auto* g = p->rejilla();
            TModeloTabla* m = p->modelo();
            auto* nav = ventana.findChild<TNavegadorDatos*>("wwDBNavigator1");
            auto boton = [&](TNavegadorDatos::Boton b) { return nav->boton(b); };
            [&] {
                QCOMPARE(m->rowCount(), 20);
                QVERIFY(!boton(TNavegadorDatos::Primero)->isEnabled());
                QVERIFY(!boton(TNavegadorDatos::Anterior)->isEnabled());
                QVERIFY(boton(TNavegadorDatos::Siguiente)->isEnabled());
                QVERIFY(boton(TNavegadorDatos::Confirmar)->isEnabled());  // in edit mode on entry
                QVERIFY(!boton(TNavegadorDatos::Editar)->isEnabled());
                QTest::mouseClick(boton(TNavegadorDatos::Siguiente10), Qt::LeftButton);
                QCOMPARE(m->filaActual(), 10);
                QCOMPARE(g->currentIndex().row(), 10);
                QTest::mouseClick(boton(TNavegadorDatos::Ultimo), Qt::LeftButton);
                QCOMPARE(m->filaActual(), 19);
                QVERIFY(!boton(TNavegadorDatos::Siguiente)->isEnabled());
                QTest::mouseClick(boton(TNavegadorDatos::Anterior10), Qt::LeftButton);
                QCOMPARE(m->filaActual(), 9);
                QTest::mouseClick(boton(TNavegadorDatos::Anterior), Qt::LeftButton);
                QCOMPARE(m->filaActual(), 8);
                QTest::mouseClick(boton(TNavegadorDatos::Primero), Qt::LeftButton);
                QCOMPARE(m->filaActual(), 0);
                // Edit, change, cancel: the value comes back. Edit, change, post: it stays.
                QTest::mouseClick(boton(TNavegadorDatos::Editar), Qt::LeftButton);
                QCOMPARE(m->estado(), TModeloTabla::Estado::Editando);
                m->setData(m->index(0, 1), "07:30", Qt::EditRole);
                QTest::mouseClick(boton(TNavegadorDatos::Cancelar), Qt::LeftButton);
                QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("08:00"));
                QCOMPARE(m->estado(), TModeloTabla::Estado::Navegando);
                m->setData(m->index(0, 1), "07:30", Qt::EditRole);
                QTest::mouseClick(boton(TNavegadorDatos::Confirmar), Qt::LeftButton);
                QCOMPARE(m->estado(), TModeloTabla::Estado::Navegando);
                QTest::mouseClick(boton(TNavegadorDatos::Refrescar), Qt::LeftButton);
                QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("07:30"));
                // An hour typed as text that is no integer is refused with the conversion error.
                QVERIFY(!m->setData(m->index(1, 0), "x", Qt::EditRole));
                QCOMPARE(d.errores, QStringList{QString::fromUtf8("'x' no es un valor entero válido.")});
                // No rows can be added or deleted.
                g->setFocus();
                ClicEnCelda(g, 19, 0);
                QTest::keyClick(g, Qt::Key_Down);
                QTest::keyClick(g, Qt::Key_Insert);
                QTest::keyClick(g, Qt::Key_Delete, Qt::ControlModifier);
                QCOMPARE(m->rowCount(), 20);
                QVERIFY(d.preguntas.isEmpty());
                // Enter moves to the next cell, and from the last column to the next row.
                ClicEnCelda(g, 3, 0);
                QTest::keyClick(g, Qt::Key_Return);
                QCOMPARE(g->currentIndex(), m->index(3, 1));
                QTest::keyClick(g, Qt::Key_Return);
                QCOMPARE(g->currentIndex(), m->index(4, 0));
            }();
            p->BitBtn1Click();
            return ventana.result();
        };
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BImportar")), Qt::LeftButton);
        QCOMPARE(d.modales, 1);
        QCOMPARE(prueba::Registros("PLANTILLA.DBF", {"HORAINI"})[0], QStringList{"07:30"});
    }
};

static prueba::Registro<PruebaExportacion> registro;

#include "exportacion_test.moc"
