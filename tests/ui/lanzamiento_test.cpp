// The launch modes from the command line, and the result record after each way of closing.
#include "apoyo.h"

#include "ui/MainForm.h"
#include "ui/models/ModeloTabla.h"
#include "ui/widgets/ListaCarpetas.h"

#include <QPushButton>

namespace {

QWidget* W(QWidget* f, const char* nombre)
{
    return f->findChild<QWidget*>(nombre);
}

// Opens a folder in the window's list, then removes it, as another program might before a
// direction's button is pressed.
void AbreCarpetaQueDesaparece(QWidget& f, const QString& raiz)
{
    const QString borrada = raiz + "/borrada";
    QDir().mkpath(borrada);
    static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(borrada);
    QDir::setCurrent(raiz);
    QDir().rmdir(borrada);
}

const QByteArray kRegistro0 = "[Transformadores]\r\nTransformado=0\r\n";
const QByteArray kRegistro1 = "[Transformadores]\r\nTransformado=1\r\n";
const QByteArray kRegistroMenos1 = "[Transformadores]\r\nTransformado=-1\r\n";

}  // namespace

class PruebaLanzamiento : public QObject {
    Q_OBJECT

private slots:
    void tablaDeLanzamientos_data()
    {
        QTest::addColumn<QStringList>("parametros");
        QTest::addColumn<int>("modo");
        QTest::addColumn<bool>("draw3d2");
        QTest::addColumn<bool>("draw3d3");
        QTest::addColumn<quint32>("handle");
        QTest::newRow("ninguno") << QStringList{} << 0 << true << true << 0u;
        QTest::newRow("uno") << QStringList{"importar"} << 0 << true << true << 0u;
        QTest::newRow("tres") << QStringList{"importar", "1A2B", "x"} << 0 << true << true << 0u;
        QTest::newRow("IMPORTAR") << QStringList{"IMPORTAR", "1A2B"} << 2 << false << true << 0x1A2Bu;
        QTest::newRow("importar") << QStringList{"importar", "1a2b"} << 2 << false << true << 0x1A2Bu;
        QTest::newRow("exportar 0") << QStringList{"exportar", "0"} << 2 << true << false << 0u;
        QTest::newRow("Exportar") << QStringList{"Exportar", "1234"} << 2 << true << false << 0x1234u;
        QTest::newRow("otra palabra") << QStringList{"otra", "FFFFFFFF"} << 2 << true << true << 0xFFFFFFFFu;
    }

    void tablaDeLanzamientos()
    {
        QFETCH(QStringList, parametros);
        QFETCH(int, modo);
        QFETCH(bool, draw3d2);
        QFETCH(bool, draw3d3);
        QFETCH(quint32, handle);
        prueba::DialogosPrueba d;
        std::vector<std::string> p;
        for (const QString& s : parametros)
            p.push_back(s.toStdString());
        TMForm f(p);
        QCOMPARE(f.estado().ModoLanzamiento, modo);
        QCOMPARE(f.estado().EstadoTransformacion, 0);
        QCOMPARE(!W(&f, "Draw3D2")->isHidden(), draw3d2);
        QCOMPARE(!W(&f, "Draw3D3")->isHidden(), draw3d3);
        QVERIFY(d.errores.isEmpty());
        if (modo == 2) {
            QVERIFY(f.windowFlags() & Qt::FramelessWindowHint);
            QCOMPARE(f.pos(), QPoint(2, 2));
            QCOMPARE(f.handleAnfitriona(), handle);
        } else {
            QVERIFY(!(f.windowFlags() & Qt::FramelessWindowHint));
        }
        // The panel left alone fills the whole upper area, its controls where they were.
        if (!draw3d2)
            QCOMPARE(W(&f, "Draw3D3")->geometry(), QRect(0, 0, 599, 99));
        if (!draw3d3)
            QCOMPARE(W(&f, "Draw3D2")->geometry(), QRect(0, 0, 599, 99));
        if (draw3d2 && draw3d3) {
            QCOMPARE(W(&f, "Draw3D2")->geometry(), QRect(0, 0, 289, 99));
            QCOMPARE(W(&f, "Draw3D3")->geometry(), QRect(289, 0, 310, 99));
        }
        QCOMPARE(W(&f, "BImportar")->geometry(), QRect(96, 72, 89, 25));
        QCOMPARE(W(&f, "BExportar")->geometry(), QRect(88, 72, 89, 25));
    }

    void handleMaloDaErrorYVentanaIndependiente_data()
    {
        QTest::addColumn<QString>("handle");
        QTest::addColumn<QString>("error");
        QTest::newRow("0x") << "0x1A" << QString::fromUtf8("'$0x1A' no es un valor entero válido.");
        QTest::newRow("signo") << "-1" << QString::fromUtf8("'$-1' no es un valor entero válido.");
        QTest::newRow("grande") << "100000000" << QString::fromUtf8("'$100000000' no es un valor entero válido.");
        QTest::newRow("letra") << "12G" << QString::fromUtf8("'$12G' no es un valor entero válido.");
    }

    void handleMaloDaErrorYVentanaIndependiente()
    {
        QFETCH(QString, handle);
        QFETCH(QString, error);
        prueba::DialogosPrueba d;
        TMForm f({"importar", handle.toStdString()});
        QCOMPARE(d.errores, QStringList{error});
        QCOMPARE(f.estado().ModoLanzamiento, 0);
        QVERIFY(!W(&f, "Draw3D2")->isHidden());
        QVERIFY(!W(&f, "Draw3D3")->isHidden());
        QVERIFY(!(f.windowFlags() & Qt::FramelessWindowHint));
        // Stand-alone: closing writes nothing.
        QTemporaryDir dir;
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        QVERIFY(f.close());
        QVERIFY(!QFile::exists(dir.filePath("Orbelin.ini")));
    }

    void salirSinHacerNadaEscribeCero()
    {
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        TMForm f({"importar", "1A2B"});
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BClose")), Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")), kRegistro0);
    }

    void cierreDelCuadroDeCierreConservaElRestoDelArchivo()
    {
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        const QString ini = dir.filePath("Orbelin.ini");
        QFile archivo(ini);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write("; Orbelin\r\n[General]\r\nRuta=C:\\ORB\r\n[Transformadores]\r\nTransformado=1\r\nOtra=x\r\n");
        archivo.close();
        TMForm f({"algo", "10"});
        f.ponRutaResultado(ini);
        f.show();
        QVERIFY(f.close());  // as the close box does
        QCOMPARE(prueba::LeeArchivo(ini),
                 QByteArray("; Orbelin\r\n[General]\r\nRuta=C:\\ORB\r\n[Transformadores]\r\nTransformado=0\r\nOtra=x\r\n"));
    }

    void independienteNoEscribeNada()
    {
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        TMForm f({});
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BClose")), Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QVERIFY(!QFile::exists(dir.filePath("Orbelin.ini")));
    }

    void registroQueNoSePuedeEscribirDejaLaVentanaAbierta()
    {
        prueba::DialogosPrueba d;
        QTemporaryDir dir;
        QFile fichero(dir.filePath("fichero"));
        QVERIFY(fichero.open(QIODevice::WriteOnly));
        fichero.close();
        const QString imposible = dir.filePath("fichero/Orbelin.ini");
        TMForm f({"importar", "0"});
        f.ponRutaResultado(imposible);
        f.show();
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(d.errores, QStringList{"Unable to write to " + imposible + "."});
        // A later close tries again.
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        QVERIFY(f.close());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")), kRegistro0);
    }

    void importacionSinCarpetaCierraConMenosUno()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QTemporaryDir dir;
        TMForm f({"exportar", "1A"});
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        AbreCarpetaQueDesaparece(f, e.raiz);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BExportar")), Qt::LeftButton);
        QCOMPARE(d.mensajes, QStringList{"No existe la carpeta"});
        QVERIFY(!f.isVisible());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")), kRegistroMenos1);
    }

    void importacionSinCarpetaIndependienteSigue()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        TMForm f({});
        f.show();
        AbreCarpetaQueDesaparece(f, e.raiz);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BExportar")), Qt::LeftButton);
        QCOMPARE(d.mensajes, QStringList{"No existe la carpeta"});
        QVERIFY(f.isVisible());
        QVERIFY(W(&f, "BExportar")->isEnabled());
        QCOMPARE(f.estado().EstadoTransformacion, 0);
    }

    void exportacionSinCarpetaCierraConCero()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QTemporaryDir dir;
        TMForm f({"importar", "1A"});
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        AbreCarpetaQueDesaparece(f, e.raiz);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BImportar")), Qt::LeftButton);
        QCOMPARE(d.mensajes, QStringList{"No existe la carpeta"});
        QCOMPARE(d.modales, 0);
        QVERIFY(!f.isVisible());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")), kRegistro0);
    }

    void faltaElArchivoDeConvocatoriasNoCierra()
    {
        prueba::DialogosPrueba d;
        prueba::Entorno e;
        QFile::remove(e.zare + "/convocatoriasCentro.csv");
        QTemporaryDir dir;
        TMForm f({"exportar", "1A"});
        f.ponRutaResultado(dir.filePath("Orbelin.ini"));
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BExportar")), Qt::LeftButton);
        QCOMPARE(d.mensajes, QStringList{"No existe archivo de Convocatorias(convocatoriasCentro.CSV)"});
        QCOMPARE(f.estado().EstadoTransformacion, -1);
        // The stopped state: no folder list, no call panel, both directions off.
        QVERIFY(f.isVisible());
        QVERIFY(W(&f, "Directorios")->isHidden());
        QVERIFY(W(&f, "Unidades")->isHidden());
        QVERIFY(W(&f, "Panel1")->isHidden());
        QVERIFY(!W(&f, "BExportar")->isEnabled());
        QVERIFY(!W(&f, "BImportar")->isEnabled());
        QVERIFY(prueba::ExisteTabla(e.ztemp, "CONVOCAZARE.DBF"));
        QVERIFY(f.close());
        QCOMPARE(prueba::LeeArchivo(dir.filePath("Orbelin.ini")), kRegistroMenos1);
    }

    void errorDelMotorSeMuestraConPuntoFinal()
    {
        // No ZTEMP on the drive: the engine's error ends the action, the window stays.
        prueba::DialogosPrueba d;
        prueba::Entorno e(false);
        TMForm f({});
        f.show();
        static_cast<TListaCarpetas*>(W(&f, "Directorios"))->abre(e.zare);
        QTest::mouseClick(static_cast<QPushButton*>(W(&f, "BExportar")), Qt::LeftButton);
        QCOMPARE(d.errores.size(), 1);
        QVERIFY(d.errores[0].endsWith('.'));
        QVERIFY2(d.errores[0].contains("ZTEMP"), qPrintable(d.errores[0]));
        QVERIFY(d.mensajes.isEmpty());
        QVERIFY(f.isVisible());
        QVERIFY(W(&f, "Panel1")->isHidden());
        QVERIFY(W(&f, "Directorios")->isHidden());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

static prueba::Registro<PruebaLanzamiento> registro;

#include "lanzamiento_test.moc"
