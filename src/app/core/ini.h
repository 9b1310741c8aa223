// The result record for the host program: one key of an INI file, written as Windows'
// WritePrivateProfileStringA writes it. Off Windows our own writer does the same: a missing
// file, section or key is created, the key's line is replaced, every other line stays byte for
// byte. Texts are bytes (Windows-1252); section and key names match without regard to case.
#pragma once

#include <string>

namespace app {

// The file's text after setting `clave` in `seccion` to `valor`: the first line of the first
// matching section whose key matches becomes "clave=valor" (the key spelled as in the file);
// a missing key is added after the section's last non-blank line; a missing section is added
// at the end. New lines end as the file's lines do (CR LF when it has none).
std::string ActualizaTextoIni(const std::string& texto, const std::string& seccion,
                              const std::string& clave, const std::string& valor);

// Writes the key into the file at `ruta`. Answers false when the file cannot be read or
// written; the file is then left as it was.
bool EscribeValorIni(const std::string& ruta, const std::string& seccion,
                     const std::string& clave, const std::string& valor);

// The text of the error shown when the record cannot be written.
std::string TextoNoSePuedeEscribir(const std::string& ruta);

// The host program's result record beside the executable.
inline const std::string kArchivoResultado = "Orbelin.ini";
inline const std::string kSeccionResultado = "Transformadores";
inline const std::string kClaveResultado = "Transformado";

}  // namespace app
