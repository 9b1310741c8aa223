// TransOrbelinZARE.exe: the desktop program on Windows. Stand-alone with no parameters;
// embedded in the host timetabling program's window with a direction word and the host's
// window handle, "--unidad-c DIR" first as the other programs take it.
#include "app/core/lanzamiento.h"
#include "files/win32.h"
#include "win32/ventanas/ayuda_programa.h"
#include "win32/ventanas/dialogos.h"
#include "win32/ventanas/mensajes.h"
#include "win32/ventanas/ventana_principal.h"
#include "win32/ventanas/fuente_rejilla.h"

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> parametros;
    for (int i = 1; i < argc; ++i)
        parametros.push_back(files::win32::narrow(argv[i]));
    LocalFree(argv);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    if (!app::QuitaOpcionUnidadC(parametros)) {
        ventanas::Error(nullptr, "uso: TransOrbelinZARE [--unidad-c DIR] [importar|exportar VENTANA]");
        return 64;
    }
    // The help viewer is loaded as the program starts.
    ventanas::PreparaAyuda();
    try {
        ventanas::VentanaPrincipal MForm(parametros);
        MForm.Muestra();
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0) > 0)
            ventanas::ProcesaMensaje(m);
    } catch (const std::exception& e) {
        ventanas::Error(nullptr, ventanas::Utf8AAnsi(e.what()));
    }
    return 0;
}
