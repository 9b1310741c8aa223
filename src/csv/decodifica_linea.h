// Decoding of one CSV line from UTF-8 into Windows-1252 text.
#pragma once

#include <string>
#include <string_view>

namespace csv {

// The line's text in Windows-1252. The bytes are read as UTF-8 into UTF-16 code units with the
// administration system's lenient rules (no check for overlong forms or surrogates; a lead byte
// with bit 0x20 set starts a three-byte sequence, any other a two-byte one), and every unit is
// converted through the Windows-1252 table. A broken sequence makes the whole line empty. The
// unit 0 gives the byte 0, which ends the text for DivideCampos.
std::string DecodificaLinea(std::string_view bytes);

// The same into a buffer the caller reuses from line to line.
void DecodificaLinea(std::string_view bytes, std::string& texto);

}  // namespace csv
