// TransOrbelinZARE: the desktop program. Stand-alone with no parameters; embedded in the host
// timetabling program's window with a direction word and the host's window handle.
#include "app/core/lanzamiento.h"
#include "files/process.h"
#include "ui/Aplicacion.h"
#include "ui/Ayuda.h"
#include "ui/MainForm.h"

#include <QByteArray>

#include <cstdio>

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    files::useLargeMemoryPages();
    // The host passes an X11 window id: the window system must be X11 (XWayland on Wayland).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    ui::Aplicacion aplicacion(argc, argv);
    ui::PonArchivoAyuda(QStringLiteral("ZARE.CHM"));

    // Qt has taken its own options out of argv; what is left are the program's parameters.
    std::vector<std::string> parametros;
    for (int i = 1; i < argc; ++i)
        parametros.emplace_back(argv[i]);
    // Where the help pages are, for whoever installs the program: the folder, or where it looked.
    if (parametros.size() == 1 && parametros[0] == "--carpeta-ayuda") {
        const QString carpeta = ui::CarpetaAyuda();
        std::fputs(((carpeta.isEmpty() ? ui::TextoAyudaNoInstalada() : carpeta) + "\n").toUtf8().constData(),
                   carpeta.isEmpty() ? stderr : stdout);
        return carpeta.isEmpty() ? 1 : 0;
    }
    if (!app::QuitaOpcionUnidadC(parametros)) {
        std::fputs("uso: TransOrbelinZARE [--unidad-c DIR] [importar|exportar VENTANA]\n"
                   "     TransOrbelinZARE --carpeta-ayuda\n", stderr);
        return 64;
    }

    TMForm MForm(parametros);
    // Embedded in a foreign window the form is no top-level window of ours, so its closing is
    // tied to the end of the program here rather than left to the last-window rule.
    QObject::connect(&MForm, &TMForm::cerrada, &aplicacion, &QCoreApplication::quit, Qt::QueuedConnection);
    MForm.show();
    aplicacion.exec();
    return 0;
}
