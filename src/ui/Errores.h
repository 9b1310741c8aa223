// The error display: an error that escapes a user action ends that action where it stands and
// is shown in the error box; the program stays open in the state the action left.
#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace ui {

// The error box for an exception's message (Windows-1252), with the full-stop rule.
void MuestraError(QWidget* padre, const std::exception& error);
// The same for a message already converted.
void MuestraError(QWidget* padre, const QString& mensaje);

// Puts the normal cursor back, whatever the action had set.
void CursorNormal();

// Runs a handler's work; an error it raises is shown and ends it. Answers true when the work
// ended without error.
template <typename F>
bool Protege(QWidget* padre, F&& trabajo)
{
    try {
        std::forward<F>(trabajo)();
        return true;
    } catch (const std::exception& e) {
        CursorNormal();
        MuestraError(padre, e);
    }
    return false;
}

}  // namespace ui
