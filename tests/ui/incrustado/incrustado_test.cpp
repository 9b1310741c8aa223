// The embedded launch in a real X server (run under xvfb-run): the test makes a host window,
// starts the program with "importar" and the host's window id, checks with the X server that
// the program's window became the host's child at (2, 2), clicks "Salir" through the XTEST
// extension and reads the result record written beside the executable.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace {

struct Hija {
    Window ventana = 0;
    XWindowAttributes atributos{};
};

// The first mapped child of the host, waiting for it up to `segundos`.
Hija EsperaHija(Display* dpy, Window anfitrion, int segundos)
{
    const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(segundos);
    while (std::chrono::steady_clock::now() < fin) {
        Window raiz = 0, padre = 0, *hijas = nullptr;
        unsigned int n = 0;
        if (XQueryTree(dpy, anfitrion, &raiz, &padre, &hijas, &n)) {
            for (unsigned int i = 0; i < n; ++i) {
                Hija h{hijas[i], {}};
                if (XGetWindowAttributes(dpy, h.ventana, &h.atributos) && h.atributos.map_state == IsViewable) {
                    XFree(hijas);
                    return h;
                }
            }
            if (hijas)
                XFree(hijas);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

// Starts a copy of the program in a folder of its own (so the record lands beside that copy),
// embedded with "importar" in the window `anfitrion`; drive C given by the environment, or by
// the option before the launch parameters.
bool Arranca(QProcess& proceso, const QTemporaryDir& dir, Window anfitrion, bool conOpcion = false)
{
    const QString programa = dir.filePath("TransOrbelinZARE");
    if (!QFile::copy(BIN_DIR "/TransOrbelinZARE", programa))
        return false;
    QFile::setPermissions(programa, QFile::permissions(programa) | QFileDevice::ExeOwner);
    QDir(dir.path()).mkpath("c/ZTEMP");
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert("QT_QPA_PLATFORM", "xcb");
    QStringList parametros{"importar", QString::number(anfitrion, 16)};
    if (conOpcion)
        parametros = QStringList{"--unidad-c", dir.filePath("c")} + parametros;
    else
        entorno.insert("TRANSORBELIN_UNIDAD_C", dir.filePath("c"));
    proceso.setProcessEnvironment(entorno);
    proceso.setWorkingDirectory(dir.path());
    proceso.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proceso.start(programa, parametros);
    return proceso.waitForStarted(10000);
}

// The host's window, as Orbelin's main window: mapped, grey, larger than ours.
Window CreaAnfitrion(Display* dpy)
{
    const Window anfitrion = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 40, 30, 720, 420, 0, 0, 0xC0C0C0);
    XMapWindow(dpy, anfitrion);
    XSync(dpy, False);
    return anfitrion;
}

}  // namespace

class PruebaIncrustado : public QObject {
    Q_OBJECT

private slots:
    void ventanaHijaDelAnfitrionYRegistroAlCerrar()
    {
        Display* dpy = XOpenDisplay(nullptr);
        QVERIFY2(dpy, "no X display: run under xvfb-run");
        const Window anfitrion = CreaAnfitrion(dpy);

        QTemporaryDir dir;
        QProcess proceso;
        QVERIFY(Arranca(proceso, dir, anfitrion));

        const Hija hija = EsperaHija(dpy, anfitrion, 30);
        QVERIFY2(hija.ventana != 0, "the program's window never became a child of the host");
        Window raiz = 0, padre = 0, *hijas = nullptr;
        unsigned int n = 0;
        QVERIFY(XQueryTree(dpy, hija.ventana, &raiz, &padre, &hijas, &n));
        if (hijas)
            XFree(hijas);
        QCOMPARE(padre, anfitrion);
        QCOMPARE(hija.atributos.x, 2);
        QCOMPARE(hija.atributos.y, 2);
        QCOMPARE(hija.atributos.width, 599);
        QCOMPARE(hija.atributos.height, 269);
        QVERIFY(!QFile::exists(dir.filePath("Orbelin.ini")));

        // "&Salir" sits at (480, 87) of the lower panel, which starts 99 pixels down.
        int x = 0, y = 0;
        Window nada = 0;
        XTranslateCoordinates(dpy, hija.ventana, DefaultRootWindow(dpy), 480 + 44, 99 + 87 + 12, &x, &y, &nada);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XTestFakeMotionEvent(dpy, -1, x, y, 0);
        XTestFakeButtonEvent(dpy, 1, True, 0);
        XTestFakeButtonEvent(dpy, 1, False, 30);
        XFlush(dpy);

        QVERIFY2(proceso.waitForFinished(30000), "the program did not close on \"Salir\"");
        QCOMPARE(proceso.exitStatus(), QProcess::NormalExit);
        QCOMPARE(proceso.exitCode(), 0);
        QFile ini(dir.filePath("Orbelin.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));

        XDestroyWindow(dpy, anfitrion);
        XCloseDisplay(dpy);
    }

    // The host's window goes away under the program: the program writes its record as it stands
    // and ends, instead of running on with no window.
    void anfitrionQueDesapareceTerminaElPrograma()
    {
        Display* dpy = XOpenDisplay(nullptr);
        QVERIFY2(dpy, "no X display: run under xvfb-run");
        const Window anfitrion = CreaAnfitrion(dpy);
        QTemporaryDir dir;
        QProcess proceso;
        QVERIFY(Arranca(proceso, dir, anfitrion, true));
        QVERIFY2(EsperaHija(dpy, anfitrion, 30).ventana != 0, "the program's window never became a child of the host");

        XDestroyWindow(dpy, anfitrion);
        XSync(dpy, False);
        QVERIFY2(proceso.waitForFinished(30000), "the program ran on after its host window had gone");
        QCOMPARE(proceso.exitStatus(), QProcess::NormalExit);
        QCOMPARE(proceso.exitCode(), 0);
        QFile ini(dir.filePath("Orbelin.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
        XCloseDisplay(dpy);
    }

    void opcionUnidadCVaciaEsUnUsoIncorrecto()
    {
        QProcess proceso;
        proceso.start(BIN_DIR "/TransOrbelinZARE", {"--unidad-c", "", "importar", "1A2B"});
        QVERIFY(proceso.waitForFinished(30000));
        QCOMPARE(proceso.exitCode(), 64);
        QVERIFY(proceso.readAllStandardError().startsWith("uso: TransOrbelinZARE [--unidad-c DIR]"));
    }
};

QTEST_GUILESS_MAIN(PruebaIncrustado)

#include "incrustado_test.moc"
