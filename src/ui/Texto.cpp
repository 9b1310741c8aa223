#include "ui/Texto.h"

#include "app/core/cp1252.h"
#include "csv/cp1252.h"

#include <QFile>

namespace ui {

QString DeAnsi(const std::string& texto)
{
    return QString::fromStdString(app::Cp1252AUtf8(texto));
}

std::string AAnsi(const QString& texto)
{
    std::string r;
    r.reserve(static_cast<std::size_t>(texto.size()));
    for (QChar c : texto)
        r += static_cast<char>(csv::UnidadACp1252(c.unicode()));
    return r;
}

std::string RutaNativa(const QString& ruta)
{
    return QFile::encodeName(ruta).toStdString();
}

QString DeRutaNativa(const std::string& ruta)
{
    return QFile::decodeName(QByteArray::fromStdString(ruta));
}

}  // namespace ui
