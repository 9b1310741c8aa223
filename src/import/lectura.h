// Reads one ZARE CSV file the way every builder does: open, skip the header line when there is
// one, hand each further line's fields to the caller, close.
#pragma once

#include "csv/lector_csv.h"

#include <functional>
#include <string>

namespace import {

// `porLinea` may stop the reading early by returning false.
void LeeCSV(const std::string& ruta, bool saltaCabecera,
            const std::function<bool(const csv::RegistroCSV&)>& porLinea);

}  // namespace import
