// The error display: an error that escapes a handler ends it where it stands and is shown in
// the error box, with the full-stop rule; the window stays in the state the handler left.
#pragma once

#include "desktop/vista.h"
#include "store/errors.h"

#include <exception>
#include <utility>

namespace desktop {

// Runs a handler's work; an error it raises puts the normal cursor back and is shown. Answers
// true when the work ended without error.
template <typename F>
bool Protege(Vista& vista, F&& trabajo)
{
    try {
        std::forward<F>(trabajo)();
        return true;
    } catch (const std::exception& e) {
        vista.CursorNormal();
        vista.Error(store::errorReport(e));
    }
    return false;
}

}  // namespace desktop
