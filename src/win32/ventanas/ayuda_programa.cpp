#include "win32/ventanas/ayuda_programa.h"

namespace ventanas {

// The HTML Help viewer is not wired in yet: a help request does nothing, as when the viewer
// cannot be loaded.
void PideAyuda(HWND, const std::string&, int)
{
}

}  // namespace ventanas
