// Runs every registered Qt Test object on the offscreen platform.
#include "apoyo.h"

#include "ui/Aplicacion.h"

namespace prueba {

std::vector<std::function<std::unique_ptr<QObject>()>>& Pruebas()
{
    static std::vector<std::function<std::unique_ptr<QObject>()>> p;
    return p;
}

}  // namespace prueba

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::Aplicacion app(argc, argv);
    int fallos = 0;
    for (const auto& crea : prueba::Pruebas()) {
        std::unique_ptr<QObject> p = crea();
        fallos += QTest::qExec(p.get(), argc, argv);
    }
    return fallos == 0 ? 0 : 1;
}
