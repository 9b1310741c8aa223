// The edge between the core's Windows-1252 texts and Qt's strings, and between paths as Qt
// shows them and as the operating system takes them.
#pragma once

#include <QString>

#include <string>

namespace ui {

QString DeAnsi(const std::string& texto);
// Characters outside Windows-1252 become their best-fit look-alike or "?", as Windows does.
std::string AAnsi(const QString& texto);

std::string RutaNativa(const QString& ruta);
QString DeRutaNativa(const std::string& ruta);

}  // namespace ui
