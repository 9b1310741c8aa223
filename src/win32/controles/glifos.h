// The small pictures on the buttons, the folder list and the drive picker, drawn by this code
// (the same drawings as the Linux program's), so the program ships no image files. Each is
// drawn at the size asked for, smoothed, as a 32-bit bitmap with its alpha channel.
#pragma once

#include "desktop/glifos.h"

#include <windows.h>
#include <commctrl.h>

namespace controles {

using Glifo = desktop::Glifo;

// A top-down 32-bit DIB of `lado` by `lado` pixels, premultiplied alpha; greyed when `apagado`.
// The caller deletes it (DeleteObject).
HBITMAP MapaGlifo(Glifo glifo, int lado, bool apagado = false);

// The same as an icon; the caller destroys it (DestroyIcon).
HICON IconoGlifo(Glifo glifo, int lado, bool apagado = false);

// The six images a button takes through BCM_SETIMAGELIST (normal, hot, pressed, disabled,
// default, stylus hot). The caller destroys it (ImageList_Destroy) after the button.
HIMAGELIST ListaDeBoton(Glifo glifo, int lado);

}  // namespace controles
