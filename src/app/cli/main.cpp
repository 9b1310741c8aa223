// transorbelin: the conversions from the command line (see app/core/linea_comandos.h).
#include "app/core/cp1252.h"
#include "app/core/linea_comandos.h"
#include "app/core/salida_comprobada.h"
#include "files/process.h"
#include "store/errors.h"

#include <ostream>

int main(int argc, char** argv)
{
    files::useLargeMemoryPages();
    using files::StandardStream;
    const std::vector<std::string> argumentos = files::programArguments(argc, argv);
    StandardStream salidaEstandar(StandardStream::Which::Output);
    StandardStream errorEstandar(StandardStream::Which::Error);
    const auto escribeEn = [](StandardStream& s) {
        return [&s](const char* datos, std::size_t n) { return s.write(datos, n); };
    };
    app::SalidaComprobada bufer(escribeEn(salidaEstandar), [&] { return salidaEstandar.close(); });
    // Errors go out as they come; a failure to show them has nowhere to be reported.
    app::SalidaComprobada buferErrores(escribeEn(errorEstandar), [] { return 0; });
    std::ostream salida(&bufer);
    std::ostream errores(&buferErrores);
    errores.setf(std::ios::unitbuf);

    int estado = app::EjecutaLineaComandos(argumentos, salida, errores);
    salida.flush();
    if (!bufer.Cierra()) {
        const std::string texto = store::fileErrorText(store::windowsErrorCode(bufer.Error()));
        errores << app::Cp1252AUtf8(store::errorDisplayText(texto)) << '\n';
        estado = 2;
    }
    buferErrores.Cierra();
    return estado;
}
