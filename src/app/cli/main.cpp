// transorbelin: the conversions from the command line (see app/core/linea_comandos.h).
#include "app/core/cp1252.h"
#include "app/core/linea_comandos.h"
#include "app/core/salida_comprobada.h"
#include "store/errors.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A reader that went away is an error to report, not a signal that ends us silently.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    app::SalidaComprobada bufer(STDOUT_FILENO);
    std::ostream salida(&bufer);
    int estado = app::EjecutaLineaComandos(argumentos, salida, std::cerr);
    salida.flush();
    if (!bufer.Cierra()) {
        const std::string texto = store::fileErrorText(store::windowsErrorCode(bufer.Error()));
        std::cerr << app::Cp1252AUtf8(store::errorDisplayText(texto)) << '\n';
        estado = 2;
    }
    return estado;
}
