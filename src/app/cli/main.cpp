// transorbelin: the conversions from the command line (see app/core/linea_comandos.h).
#include "app/core/linea_comandos.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    const int estado = app::EjecutaLineaComandos(argumentos, std::cout, std::cerr);
    std::cout.flush();
    return estado;
}
