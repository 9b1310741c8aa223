// The fields of a record as a vector, for comparing in tests.
#pragma once

#include "csv/registro_csv.h"

#include <string>
#include <vector>

inline std::vector<std::string> campos(const csv::RegistroCSV& r)
{
    std::vector<std::string> v;
    for (int i = 0; i < r.Cuenta(); ++i)
        v.push_back(r.Campo(i));
    return v;
}

using Campos = std::vector<std::string>;
