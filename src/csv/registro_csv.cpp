#include "csv/registro_csv.h"

#include "store/errors.h"

#include <algorithm>

namespace csv {

const std::string& RegistroCSV::Campo(int i) const
{
    if (i < 0 || static_cast<std::size_t>(i) >= cuenta_) {
        store::ListIndexError error(i);
        if (archivo_)
            error.ponLugar(store::lugarEnArchivo(*archivo_, linea_));
        throw error;
    }
    return campos_[static_cast<std::size_t>(i)];
}

std::string& RegistroCSV::NuevoCampo()
{
    if (cuenta_ == campos_.size())
        campos_.emplace_back();
    std::string& campo = campos_[cuenta_++];
    campo.clear();
    return campo;
}

// A copy holds only the fields, not the spare strings kept for reuse.
RegistroCSV::RegistroCSV(const RegistroCSV& otro)
    : campos_(otro.campos_.begin(), otro.campos_.begin() + static_cast<std::ptrdiff_t>(otro.cuenta_)),
      cuenta_(otro.cuenta_)
{
}

RegistroCSV& RegistroCSV::operator=(const RegistroCSV& otro)
{
    if (this != &otro) {
        Vacia();
        for (std::size_t i = 0; i < otro.cuenta_; ++i)
            Agrega(otro.campos_[i]);
    }
    return *this;
}

bool operator==(const RegistroCSV& a, const RegistroCSV& b)
{
    return a.cuenta_ == b.cuenta_ &&
           std::equal(a.campos_.begin(), a.campos_.begin() + static_cast<std::ptrdiff_t>(a.cuenta_),
                      b.campos_.begin());
}

}  // namespace csv
