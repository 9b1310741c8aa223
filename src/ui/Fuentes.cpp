#include "ui/Fuentes.h"

#include <QStringList>

namespace ui {

QFont FuenteMsSansSerif(int pixeles)
{
    QFont f;
    f.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "Nimbus Sans",
                   "DejaVu Sans"});
    f.setPixelSize(pixeles);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont FuenteArial(int pixeles, bool negrita)
{
    QFont f;
    f.setFamilies({"Arial", "Liberation Sans", "Nimbus Sans", "DejaVu Sans"});
    f.setPixelSize(pixeles);
    f.setBold(negrita);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

}  // namespace ui
