// Windows-1252 text to UTF-8, for what the command-line program prints.
#pragma once

#include <string>

namespace app {

std::string Cp1252AUtf8(const std::string& texto);

}  // namespace app
