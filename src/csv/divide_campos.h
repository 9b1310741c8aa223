// Splitting of a decoded CSV line into its fields.
#pragma once

#include "csv/registro_csv.h"

#include <string_view>

namespace csv {

// The fields of a Windows-1252 line. Fields are separated by commas; a field that starts with
// a double quote runs to the next quote not doubled ("" inside stands for one quote), or to the
// end of the text without one. Blanks (codes 1 to 32) around fields are dropped, and an
// unquoted blank also ends a field. A comma as the very last character gives an empty last
// field. A byte 0 ends the text. An empty text, or one of blanks only, gives no fields.
RegistroCSV DivideCampos(std::string_view texto);

// The same into a record the caller reuses from line to line.
void DivideCampos(std::string_view texto, RegistroCSV& registro);

}  // namespace csv
