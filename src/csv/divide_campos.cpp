#include "csv/divide_campos.h"

#include <array>
#include <cstring>
#include <string>

namespace csv {

namespace {

constexpr char kComa = ',';
constexpr char kComilla = '"';

constexpr bool esBlanco(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

// The characters that end a run of an unquoted field: the comma and the blanks.
constexpr std::array<bool, 256> kCortaSinComillas = [] {
    std::array<bool, 256> corta{};
    for (std::size_t c = 0; c < corta.size(); ++c)
        corta[c] = esBlanco(static_cast<char>(c)) || static_cast<char>(c) == kComa;
    return corta;
}();

enum class Estado {
    AntesDeCampo,       // skipping blanks before a field
    SinComillas,        // inside an unquoted field
    EntreComillas,      // inside a quoted field
    ComillaEnComillas,  // a quote inside a quoted field: it closes the field unless doubled
    TrasCampo,          // skipping blanks after a field
};

// One pass over the text, one character at a time. A field is added to the record when it
// starts and filled as its characters come, so nothing is left to do at the end of the text.
class Divisor {
public:
    Divisor(std::string_view texto, RegistroCSV& registro) : texto_(texto), registro_(registro) {}

    void divide()
    {
        registro_.Vacia();
        for (p_ = 0; p_ < texto_.size(); ++p_) {
            // Inside a field, the characters that only join it are taken as one run.
            if (estado_ == Estado::SinComillas || estado_ == Estado::EntreComillas) {
                const std::size_t fin = finDelTramo();
                campo_->append(texto_.data() + p_, fin - p_);
                p_ = fin;
                if (p_ == texto_.size())
                    break;
            }
            procesa(texto_[p_]);
        }
    }

private:
    void procesa(char c)
    {
        switch (estado_) {
        case Estado::AntesDeCampo:
            if (!esBlanco(c))
                empiezaCampo(c);
            break;
        case Estado::SinComillas:
            if (c == kComa)
                coma();
            else if (esBlanco(c))
                estado_ = Estado::TrasCampo;
            else
                campo_->push_back(c);
            break;
        case Estado::EntreComillas:
            if (c == kComilla)
                estado_ = Estado::ComillaEnComillas;
            else
                campo_->push_back(c);
            break;
        case Estado::ComillaEnComillas:
            if (c == kComilla) {
                campo_->push_back(kComilla);
                estado_ = Estado::EntreComillas;
            } else {
                estado_ = Estado::TrasCampo;
                procesa(c);
            }
            break;
        case Estado::TrasCampo:
            if (c == kComa)
                coma();
            else if (!esBlanco(c))
                empiezaCampo(c);  // text right after a field starts the next one
            break;
        }
    }

    // Where the run of characters from p_ that the current field simply takes ends.
    std::size_t finDelTramo() const
    {
        if (estado_ == Estado::EntreComillas) {
            const void* comilla = std::memchr(texto_.data() + p_, kComilla, texto_.size() - p_);
            return comilla ? static_cast<std::size_t>(static_cast<const char*>(comilla) - texto_.data()) : texto_.size();
        }
        std::size_t fin = p_;
        while (fin < texto_.size() && !kCortaSinComillas[static_cast<unsigned char>(texto_[fin])])
            ++fin;
        return fin;
    }

    void empiezaCampo(char c)
    {
        campo_ = &registro_.NuevoCampo();
        if (c == kComilla) {
            estado_ = Estado::EntreComillas;
        } else if (c == kComa) {
            coma();  // the field before this comma is empty
        } else {
            campo_->push_back(c);
            estado_ = Estado::SinComillas;
        }
    }

    // A comma ends the current field; as the text's last character it also gives an empty
    // last field (a comma followed by blanks does not).
    void coma()
    {
        if (p_ + 1 == texto_.size())
            registro_.NuevoCampo();
        estado_ = Estado::AntesDeCampo;
    }

    std::string_view texto_;
    RegistroCSV& registro_;
    std::size_t p_ = 0;
    Estado estado_ = Estado::AntesDeCampo;
    std::string* campo_ = nullptr;
};

}  // namespace

void DivideCampos(std::string_view texto, RegistroCSV& registro)
{
    Divisor(texto.substr(0, texto.find('\0')), registro).divide();
}

RegistroCSV DivideCampos(std::string_view texto)
{
    RegistroCSV registro;
    DivideCampos(texto, registro);
    return registro;
}

}  // namespace csv
