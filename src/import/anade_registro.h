// Appending one record whose values come from a CSV line.
#pragma once

#include "store/table.h"

namespace import {

// Appends a record, fills it and posts it. A failure while filling (a short line) drops the
// new record, so it is never written half filled; the records posted before stay.
template <typename Rellena>
void AnadeRegistro(store::Table& tabla, Rellena&& rellena)
{
    tabla.append();
    try {
        rellena();
    } catch (...) {
        tabla.cancel();
        throw;
    }
    tabla.post();
}

}  // namespace import
