// The host's window that the program is embedded in, as the window system sees it.
#pragma once

#include <QtGlobal>

namespace ui {

// False once the window system says the window `handle` no longer exists; true while it does
// and where the window system cannot be asked (there the host is trusted to end us).
bool VentanaAnfitrionaExiste(quint32 handle);

}  // namespace ui
