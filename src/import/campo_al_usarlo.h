// A field of a table made by an earlier step, taken by name at its first use: a table that lacks
// it fails where a locate by that name always failed, not when the builder starts.
#pragma once

#include "store/table.h"

#include <optional>
#include <string>
#include <utility>

namespace import {

class CampoAlUsarlo {
public:
    CampoAlUsarlo(const store::Table& tabla, std::string nombre) : tabla_(tabla), nombre_(std::move(nombre)) {}

    const store::FieldRef& operator()()
    {
        if (!campo_)
            campo_ = tabla_.field(nombre_);
        return *campo_;
    }

private:
    const store::Table& tabla_;
    const std::string nombre_;
    std::optional<store::FieldRef> campo_;
};

}  // namespace import
