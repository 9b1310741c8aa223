// A whole import through the window over the sample centre: folder, call, course codes typed
// in the grid, the incomplete state and back, the run, and the state after it; and the keys of
// the call and course grids.
#include "apoyo.h"

#include "import/importacion.h"
#include "store/errors.h"
#include "store/work_lock.h"
#include "ui/Colores.h"
#include "ui/MainForm.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/ListaCarpetas.h"
#include "ui/widgets/RejillaDatos.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QWidget* W(QWidget* f, const char* nombre)
{
    return f->findChild<QWidget*>(nombre);
}

void Pulsa(QWidget* f, const char* boton)
{
    QTest::mouseClick(static_cast<QPushButton*>(W(f, boton)), Qt::LeftButton);
}

// Clicks a cell of a grid.
void ClicEnCelda(TRejillaDatos* g, int fila, int columna)
{
    const QRect r = g->visualRect(g->model()->index(fila, columna));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
}

// Types into the grid as a person does: the first key opens the cell's editor, the rest go
// to whatever has the focus.
void Teclea(TRejillaDatos* g, const QString& texto)
{
    for (QChar c : texto) {
        QWidget* destino = QApplication::focusWidget() ? QApplication::focusWidget() : g;
        QTest::keyClick(destino, c.toLatin1());
    }
}

void Tab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

int FilaDe(TModeloTabla* m, const QString& codigo)
{
    for (int f = 0; f < m->rowCount(); ++f)
        if (m->index(f, 0).data().toString() == codigo)
            return f;
    return -1;
}

// The course codes of the sample's filled sheet, by course code.
QHash<QString, QStringList> Niveles()
{
    QHash<QString, QStringList> r;
    const QStringList lineas = QString::fromUtf8(prueba::LeeArchivo(SOURCE_DIR "/samples/niveles.csv")).split('\n');
    for (int i = 1; i < lineas.size(); ++i) {
        QStringList v;
        QString valor;
        bool dentro = false;
        for (QChar c : lineas[i].trimmed()) {
            if (c == '"')
                dentro = !dentro;
            else if (c == ',' && !dentro)
                v << std::exchange(valor, QString());
            else
                valor += c;
        }
        v << valor;
        if (v.size() == 5)
            r[v[0]] = {v[2], v[3], v[4]};
    }
    return r;
}

// Opens the folder, starts the import and picks the call: the course screen is shown.
void HastaLosCursos(TMForm& f, const QString& carpeta, const QString& convocatoria = "2026")
{
    static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(carpeta);
    Pulsa(&f, "BExportar");
    auto* rejilla = f.findChild<TRejillaDatos*>("wwDBGridCODCENTRO");
    ClicEnCelda(rejilla, FilaDe(f.wwDataSourceCODCENTRO(), convocatoria), 1);
    Pulsa(&f, "BitBtn1");
}

void RellenaCursos(TModeloTabla* m, const QString& salvo = {})
{
    const auto niveles = Niveles();
    for (int fila = 0; fila < m->rowCount(); ++fila) {
        const QString codigo = m->index(fila, 0).data().toString();
        const QStringList v = niveles.value(codigo);
        for (int c = 0; c < 3 && v.size() == 3; ++c)
            if (!(codigo == salvo && c == 1))
                QVERIFY(m->setData(m->index(fila, 2 + c), v[c], Qt::EditRole));
    }
}

// The import as Orbelin starts it: the result record goes to `registro`, every course gets its
// codes and the run is started.
void ImportaConTodosLosCursos(TMForm& f, const QString& carpeta, const QString& registro)
{
    f.ponRutaResultado(registro);
    f.show();
    HastaLosCursos(f, carpeta);
    RellenaCursos(f.wwDataSourceNIVIMP());
    Pulsa(&f, "BitBtn2");
}

}  // namespace

class PruebaImportacion : public QObject {
    Q_OBJECT

private slots:
    void importacionCompletaPorLaVentana()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        TMForm f({});
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));

        // The folder: opening it makes it the current directory and shows it in Label2.
        auto* lista = static_cast<TListaCarpetas*>(W(&f, "Directorios"));
        lista->abre(e.zare);
        QCOMPARE(QDir::currentPath(), QDir(e.zare).canonicalPath());
        QVERIFY(static_cast<QLabel*>(W(&f, "Label2"))->text().endsWith("zare"));

        // The import button: the call panel takes the folder list's place.
        Pulsa(&f, "BExportar");
        QCOMPARE(f.estado().EstadoTransformacion, 1);
        QCOMPARE(QString::fromStdString(f.estado().CarpetaCSV), QDir(e.zare).canonicalPath() + "/");
        QVERIFY(!W(&f, "BExportar")->isEnabled());
        QVERIFY(!W(&f, "BImportar")->isEnabled());
        QVERIFY(W(&f, "Directorios")->isHidden());
        QVERIFY(W(&f, "Unidades")->isHidden());
        QVERIFY(W(&f, "Panel1")->isVisible());
        TModeloTabla* conv = f.wwDataSourceCODCENTRO();
        QCOMPARE(conv->rowCount(), 3);
        QCOMPARE(conv->filaActual(), 0);
        QCOMPARE(conv->estado(), TModeloTabla::Estado::Editando);
        const auto llamadas = prueba::Registros("CONVOCAZARE.DBF", {"CONVOCATORIA", "DESCRIPCION"});
        QCOMPARE(static_cast<int>(llamadas.size()), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(conv->index(i, 1).data().toString(), llamadas[static_cast<std::size_t>(i)][1]);

        // The call: a click on its row; "Continuar" opens the course screen.
        auto* rejillaConv = f.findChild<TRejillaDatos*>("wwDBGridCODCENTRO");
        ClicEnCelda(rejillaConv, FilaDe(conv, "2026"), 0);
        QCOMPARE(conv->filaActual(), FilaDe(conv, "2026"));
        QCOMPARE(rejillaConv->currentIndex().column(), 1);  // the fixed column takes no cursor
        Pulsa(&f, "BitBtn1");
        QVERIFY(W(&f, "Panel1")->isHidden());
        QVERIFY(W(&f, "Panel2")->isVisible());
        QVERIFY(W(&f, "Label9")->isHidden());
        QVERIFY(W(&f, "Button2")->isHidden());
        QVERIFY(W(&f, "BitBtn2")->isVisible());
        TModeloTabla* niv = f.wwDataSourceNIVIMP();
        QCOMPARE(niv->rowCount(), 20);
        for (int fila = 1; fila < niv->rowCount(); ++fila)  // index order on CODCURSO
            QVERIFY(niv->index(fila - 1, 0).data().toString() < niv->index(fila, 0).data().toString());

        // Typing in the grid: limited to the field's size, the fixed columns not editable.
        auto* rejilla = f.findChild<TRejillaDatos*>("wwDBGridNIVIMP");
        rejilla->setFocus();
        ClicEnCelda(rejilla, 0, 2);
        Teclea(rejilla, "MXY");
        Tab();
        QCOMPARE(rejilla->currentIndex().column(), 3);
        Teclea(rejilla, "ABCDEFG");
        Tab();
        Teclea(rejilla, "12345");
        Tab();
        QCOMPARE(niv->index(0, 2).data().toString(), QStringLiteral("M"));
        QCOMPARE(niv->index(0, 3).data().toString(), QStringLiteral("ABCDE"));
        QCOMPARE(niv->index(0, 4).data().toString(), QStringLiteral("123"));
        QVERIFY(!(niv->flags(niv->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!(niv->flags(niv->index(0, 1)) & Qt::ItemIsEditable));

        // All but one course filled: "Aceptar" shows the incomplete state and runs nothing.
        RellenaCursos(niv, "1ESO");
        Pulsa(&f, "BitBtn2");
        QCOMPARE(f.estado().NivelesIncompletos, 1);
        QVERIFY(W(&f, "Label9")->isVisible());
        QVERIFY(W(&f, "Button2")->isVisible());
        QVERIFY(W(&f, "BitBtn2")->isHidden());
        QVERIFY(W(&f, "Panel2")->isVisible());
        QVERIFY(!prueba::ExisteTabla(e.ztemp, "GRUPOST.DBF"));
        QVERIFY(d.mensajes.isEmpty());

        // Back to the data: the first course current again.
        niv->irAFila(5);
        Pulsa(&f, "Button2");
        QVERIFY(W(&f, "Label9")->isHidden());
        QVERIFY(W(&f, "Button2")->isHidden());
        QVERIFY(W(&f, "BitBtn2")->isVisible());
        QCOMPARE(niv->filaActual(), 0);
        RellenaCursos(niv);

        // The run.
        Pulsa(&f, "BitBtn2");
        QCOMPARE(f.estado().NivelesIncompletos, 0);
        QCOMPARE(d.mensajes, QStringList{"Proceso finalizado"});
        QCOMPARE(d.cursores, std::vector<Qt::CursorShape>{Qt::ArrowCursor});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(d.errores.isEmpty());
        QVERIFY(W(&f, "Panel2")->isHidden());
        QVERIFY(W(&f, "Panel1")->isHidden());
        QVERIFY(W(&f, "Directorios")->isHidden());
        QVERIFY(!W(&f, "BExportar")->isEnabled());
        QVERIFY(!W(&f, "BImportar")->isEnabled());
        QVERIFY(f.isVisible());
        QCOMPARE(f.estado().EstadoTransformacion, 1);
        for (const char* t : {"CURSOST.DBF", "GRUPOST.DBF", "ASIGNOMT.DBF", "ASIGNOMT2.DBF", "PROFT.DBF",
                              "AULAT.DBF", "ASIGT.DBF"})
            QVERIFY2(prueba::ExisteTabla(e.ztemp, t), t);

        // The courses hold what was typed, as the table stores it.
        const auto cursos = prueba::Registros("CURSOST.DBF", {"CODCURSO", "TURNO", "NIVEL", "CURSO"});
        QCOMPARE(static_cast<int>(cursos.size()), 20);
        const auto niveles = Niveles();
        for (const QStringList& c : cursos)
            QCOMPARE(c.mid(1), niveles.value(c[0]));
    }

    void ejecucionConArchivoQueFaltaBajoElRelojDeArena()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QFile::remove(e.zare + "/aulasCentro.csv");
        QTemporaryDir dir;
        TMForm f({"exportar", "2"});
        ImportaConTodosLosCursos(f, e.zare, dir.filePath("Orbelin.ini"));
        QCOMPARE(d.mensajes,
                 (QStringList{"No existe archivo de Aulas (aulasCentro.CSV)", "Proceso finalizado"}));
        // The builder's message came during the run, under the hourglass.
        QCOMPARE(d.cursores, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
        QVERIFY(!prueba::ExisteTabla(e.ztemp, "AULAT.DBF"));
        QVERIFY(prueba::ExisteTabla(e.ztemp, "ASIGT.DBF"));  // the run went on
        // Embedded: the window closed after the message and the record says -1.
        QVERIFY(!f.isVisible());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")),
                 QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
    }

    void importacionEmbebidaCompletaEscribeUno()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QTemporaryDir dir;
        TMForm f({"exportar", "2"});
        ImportaConTodosLosCursos(f, e.zare, dir.filePath("Orbelin.ini"));
        QCOMPARE(d.mensajes, QStringList{"Proceso finalizado"});
        QVERIFY(!f.isVisible());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")),
                 QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
    }

    // Another run holding the work folder: each direction's button says so and changes nothing;
    // once it has gone, the import takes the folder and holds it until the import has ended.
    void carpetaDeTrabajoEnUsoPorOtraTransformacion()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        store::WorkLock otra;
        otra.take(import::kTrabajo);
        QVERIFY(otra.held());
        TMForm f({});
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        for (const char* boton : {"BExportar", "BImportar"}) {
            d.errores.clear();
            Pulsa(&f, boton);
            QCOMPARE(d.errores.size(), 1);
            QVERIFY2(d.errores[0].startsWith("La carpeta de trabajo \\ZTEMP (") &&
                         d.errores[0].contains(QString::fromUtf8("est\xC3\xA1 en uso")),
                     qPrintable(d.errores[0]));
            QCOMPARE(f.estado().EstadoTransformacion, 0);
            QVERIFY(W(&f, "BExportar")->isEnabled());
            QVERIFY(W(&f, "BImportar")->isEnabled());
            QVERIFY(W(&f, "Directorios")->isVisible());
            QCOMPARE(QDir(e.ztemp).entryList(QDir::Files), QStringList{"TRANSORBELINZARE.LCK"});
        }

        otra.release();
        d.errores.clear();
        HastaLosCursos(f, e.zare);
        QVERIFY(d.errores.isEmpty());
        QVERIFY(W(&f, "Panel2")->isVisible());
        QVERIFY_THROWS_EXCEPTION(store::EngineError, otra.take(import::kTrabajo));
        RellenaCursos(f.wwDataSourceNIVIMP());
        Pulsa(&f, "BitBtn2");
        QCOMPARE(d.mensajes, QStringList{"Proceso finalizado"});
        otra.take(import::kTrabajo);  // the import has ended: the folder is free
        QVERIFY(otra.held());
    }

    // Without the subgroups file the import still counts as done, as the help pages say.
    void importacionEmbebidaSinSubgruposEscribeUno()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QFile::remove(e.zare + "/subgruposCentro.csv");
        QTemporaryDir dir;
        TMForm f({"exportar", "2"});
        ImportaConTodosLosCursos(f, e.zare, dir.filePath("Orbelin.ini"));
        QCOMPARE(d.mensajes,
                 (QStringList{"No existe archivo de Sub-Grupos (subgruposCentro.CSV)", "Proceso finalizado"}));
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")),
                 QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
    }

    // A short line in a file of the centre: the error box keeps the system's text and names the
    // file and the line below it.
    void errorConArchivoYLinea()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QFile grupos(e.zare + "/gruposCentro.csv");
        QVERIFY(grupos.open(QIODevice::Append));
        grupos.write("2026,1ESO,26-1ESO-Z\r\n");
        grupos.close();
        TMForm f({});
        f.show();
        HastaLosCursos(f, e.zare);
        RellenaCursos(f.wwDataSourceNIVIMP());
        Pulsa(&f, "BitBtn2");
        QCOMPARE(d.errores, QStringList{QString::fromUtf8("List index out of bounds (4)\ngruposCentro.csv, l\xC3\xADnea 52")});
    }

    void rejillaDeConvocatorias()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        TMForm f({});
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        Pulsa(&f, "BExportar");
        auto* g = f.findChild<TRejillaDatos*>("wwDBGridCODCENTRO");
        TModeloTabla* m = f.wwDataSourceCODCENTRO();
        g->setFocus();

        // Read-only cells: typing changes nothing.
        ClicEnCelda(g, 0, 1);
        const QString antes = m->index(0, 1).data().toString();
        QTest::keyClicks(g, "xyz");
        QCOMPARE(m->index(0, 1).data().toString(), antes);
        QVERIFY(!(m->flags(m->index(0, 1)) & Qt::ItemIsEditable));

        // The current row is painted blended with maroon; the others on the tooltip colour.
        QCOMPARE(g->fondoCelda(m->index(1, 1)), ui::ColorWindows(ui::cl::InfoBk));
        QCOMPARE(g->fondoCelda(m->index(0, 1)),
                 ui::Mezcla(ui::ColorWindows(ui::cl::InfoBk), QColor(128, 0, 0), 0.72));

        // Ctrl+Delete asks first; "Cancelar" keeps the row, "Aceptar" deletes it.
        d.respuestas = {false, true};
        QTest::keyClick(g, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(d.preguntas, QStringList{"Delete record?"});
        QCOMPARE(m->rowCount(), 3);
        const QString borrada = m->index(0, 0).data().toString();
        QTest::keyClick(g, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(static_cast<int>(prueba::Registros("CONVOCAZARE.DBF", {"CONVOCATORIA"}).size()), 2);
        QVERIFY(m->index(0, 0).data().toString() != borrada);
        QCOMPARE(m->filaActual(), 0);

        // Down arrow on the last row starts a blank row; again does nothing; up drops it.
        ClicEnCelda(g, 1, 1);
        QTest::keyClick(g, Qt::Key_Down);
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->estado(), TModeloTabla::Estado::Anadiendo);
        QTest::keyClick(g, Qt::Key_Down);
        QCOMPARE(m->rowCount(), 3);
        QTest::keyClick(g, Qt::Key_Up);
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(static_cast<int>(prueba::Registros("CONVOCAZARE.DBF", {"CONVOCATORIA"}).size()), 2);

        // Insert starts one too; "Continuar" on it selects no call: no courses.
        QTest::keyClick(g, Qt::Key_Insert);
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->filaActual(), 2);
        Pulsa(&f, "BitBtn1");
        QCOMPARE(f.wwDataSourceNIVIMP()->rowCount(), 1);  // the one blank row of an empty table
        QCOMPARE(f.wwDataSourceNIVIMP()->estado(), TModeloTabla::Estado::Anadiendo);
    }

    void rejillaDeCursos()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        TMForm f({});
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        HastaLosCursos(f, e.zare);
        auto* g = f.findChild<TRejillaDatos*>("wwDBGridNIVIMP");
        TModeloTabla* m = f.wwDataSourceNIVIMP();

        // Limits and colours: the course code and name on button face in every row, silver
        // alternate rows elsewhere.
        QCOMPARE(m->longitudMaxima(2), 1);
        QCOMPARE(m->longitudMaxima(3), 5);
        QCOMPARE(m->longitudMaxima(4), 3);
        const QColor cara = ui::ColorWindows(ui::cl::BtnFace);
        for (int fila : {0, 1, 2})
            for (int col : {0, 1})
                QCOMPARE(g->fondoCelda(m->index(fila, col)), cara);
        QCOMPARE(g->fondoCelda(m->index(2, 3)), ui::ColorWindows(ui::cl::InfoBk));
        QCOMPARE(g->fondoCelda(m->index(1, 3)), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(g->columnasFijas(), 2);
        QStringList titulos;
        for (int c = 0; c < m->columnCount(); ++c)
            titulos << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(titulos, (QStringList{"CODCURSO", "NOMECURSO", "TURNO", "NIVEL", "CURSO"}));

        // The handler itself: only the two named fields change the brush.
        QBrush pincel(Qt::red);
        QFont fuente;
        f.wwDBGridNIVIMPCalcCellColors(g, "NIVEL", QStyle::State_None, false, fuente, pincel);
        QCOMPARE(pincel.color(), QColor(Qt::red));
        f.wwDBGridNIVIMPCalcCellColors(g, "NOMECURSO", QStyle::State_None, false, fuente, pincel);
        QCOMPARE(pincel.color(), cara);

        // Entering the grid puts the current course into edit mode.
        m->confirma();
        QCOMPARE(m->estado(), TModeloTabla::Estado::Navegando);
        W(&f, "BitBtn2")->setFocus();
        g->setFocus();
        QCOMPARE(m->estado(), TModeloTabla::Estado::Editando);

        // Escape drops what was typed in the row.
        ClicEnCelda(g, 3, 3);
        Teclea(g, "ZZ");
        Tab();
        QCOMPARE(m->index(3, 3).data().toString(), QStringLiteral("ZZ"));
        QTest::keyClick(g, Qt::Key_Escape);
        QCOMPARE(m->index(3, 3).data().toString(), QString());

        // No way to add a row; Ctrl+Delete deletes a course, which the import then leaves out.
        const int filas = m->rowCount();
        QTest::keyClick(g, Qt::Key_Insert);
        ClicEnCelda(g, filas - 1, 2);
        QTest::keyClick(g, Qt::Key_Down);
        QCOMPARE(m->rowCount(), filas);
        ClicEnCelda(g, 0, 2);
        const QString borrado = m->index(0, 0).data().toString();
        QTest::keyClick(g, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(d.preguntas, QStringList{"Delete record?"});
        QCOMPARE(m->rowCount(), filas - 1);
        for (const QStringList& c : prueba::Registros("CURSOST.DBF", {"CODCURSO"}))
            QVERIFY(c[0] != borrado);
    }
};

static prueba::Registro<PruebaImportacion> registro;

#include "importacion_test.moc"
