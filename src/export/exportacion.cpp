// The timetable export: every entry of SOLUC becomes one line per teaching hour, with the
// group, subject and teacher translated through the tables the import built, collected in
// HORARIOZARECSV.DBF and then written to "HORARIO.CSV".
#include "export/exportacion.h"

#include "export/escritor_horario.h"
#include "export/horario_csv.h"
#include "export/plantilla.h"
#include "store/errors.h"
#include "store/table.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace exportacion {

namespace {

// The six tables of the timetabling product and of the import, in the folder as the main
// form's components name it.
const std::string kCarpetaTablas = "\\ztemp";
const std::string kTablaHorario = "HORARIOZARECSV.DBF";

const std::vector<store::FieldDef>& CamposHorario()
{
    static const std::vector<store::FieldDef> campos = {
        {"NLIN", 'I', 4},           {"DIASEM", 'C', 10},    {"HORAINI", 'C', 5},
        {"GRUPO_SUBGRU", 'C', 200}, {"MATERIA", 'C', 200},  {"PROFESOR", 'C', 200},
        {"RESERVADO", 'C', 50},     {"AULA", 'C', 100},
    };
    return campos;
}

// The day's name by the number in SOLUC (1 is Monday); empty for any other number.
std::string NombreDia(long dia)
{
    static const char* const nombres[] = {"Luns",  "Martes", "M\xE9rcores", "Xoves",
                                          "Venres", ("S\xE1" "bado"), "Domingo"};
    return dia >= 1 && dia <= 7 ? nombres[dia - 1] : "";
}

bool TieneFraccion(float valor)
{
    return valor - std::trunc(valor) != 0.0f;
}

// The slot of DIASHORAST that a whole hour starts: 2 x hour - 1. None when that lies beyond
// the integers, where no record's HORA can be.
std::optional<long> FranjaDeHora(long hora)
{
    constexpr long kMayor = std::numeric_limits<long>::max() / 2 + 1;
    constexpr long kMenor = std::numeric_limits<long>::min() / 2 + 1;
    if (hora > kMayor || hora < kMenor)
        return std::nullopt;
    return 2 * (hora - 1) + 1;
}

// The position of an hour in the template list, counted from 0: hour - 1, or the lowest
// position there is for the lowest hour, whose position before it cannot be told.
long PosicionEnPlantilla(long hora)
{
    return hora == std::numeric_limits<long>::min() ? hora : hora - 1;
}

// The start time of a slot of a day in DIASHORAST: the first record, in record order, whose
// DIA and HORA equal them as integers; empty when there is none. The values are read from the
// table once, each when a search first needs it (so a value that cannot be read stops the
// export at the same search as a scan of the table would), and kept for the next searches.
class FranjasDiasHoras {
public:
    explicit FranjasDiasHoras(store::Table& tabla) : tabla_(tabla) {}

    std::string HoraDesde(long dia, long franja)
    {
        for (std::size_t i = 0;; ++i) {
            if (i == filas_.size() && !LeeFila())
                return {};
            Fila& fila = filas_[i];
            if (fila.dia != dia)
                continue;
            if (!fila.hora) {
                tabla_.goTo(fila.registro);
                fila.hora = tabla_.asInteger("HORA");
            }
            if (*fila.hora != franja)
                continue;
            if (!fila.desde) {
                tabla_.goTo(fila.registro);
                fila.desde = tabla_.asText("HORADESDE");
            }
            return *fila.desde;
        }
    }

private:
    struct Fila {
        long registro;
        long dia;
        std::optional<long> hora;
        std::optional<std::string> desde;
    };

    // The next record in record order; false after the last.
    bool LeeFila()
    {
        if (filas_.empty()) {
            tabla_.first();
        } else {
            tabla_.goTo(filas_.back().registro);  // a search may have moved the cursor
            tabla_.next();
        }
        if (tabla_.eof())
            return false;
        filas_.push_back({tabla_.recNo(), tabla_.asInteger("DIA"), std::nullopt, std::nullopt});
        return true;
    }

    store::Table& tabla_;
    std::vector<Fila> filas_;
};

// A whole number that a long holds: asInteger gives it unchanged.
bool EsEnteroLong(double valor)
{
    constexpr double kBajo = static_cast<double>(std::numeric_limits<long>::min());
    constexpr double kAlto = static_cast<double>(std::numeric_limits<long>::max());  // 2^63, outside
    return valor >= kBajo && valor < kAlto && std::trunc(valor) == valor;
}

// The hash a value is kept under, worked out once for a prefetch and the lookup after it.
std::size_t HashDe(std::string_view clave)
{
    return std::hash<std::string_view>{}(clave);
}

// What a search in a table gave, kept by the value searched: the tables do not change during
// the export, and a timetable names the same teachers, groups and subjects again and again.
// The first search of a value is the one that reads the table, so an error comes where it did.
// Open addressing over an array of small places (an entry's number and part of its hash), the
// entries themselves kept apart in the order they came: a lookup reads one place, and the
// places of a whole table's keys stay within the cache and take little fresh memory, where a
// node-based map follows three pointers. A result handed out stays valid until the next value
// is kept.
template <typename Resultado>
class Recuerdo {
public:
    // `hash`: HashDe(clave).
    template <typename Busca>
    const Resultado& De(std::string_view clave, std::size_t hash, Busca&& busca)
    {
        const std::size_t i = Lugar(clave, hash);
        if (lugares_[i].entrada)
            return entradas_[lugares_[i].entrada - 1].resultado;
        return Pon(i, hash, clave, busca());  // a failed search keeps nothing
    }

    // What is kept for a value; nullptr when nothing is.
    const Resultado* Busca(std::string_view clave, std::size_t hash) const
    {
        if (lugares_.empty())
            return nullptr;
        const LugarDe& lugar = lugares_[Sitio(clave, hash)];
        return lugar.entrada ? &entradas_[lugar.entrada - 1].resultado : nullptr;
    }

    // Keeps a result for a value that has none yet; false (keeping nothing) when it has one.
    template <typename Hace>
    bool AnadeSiFalta(const std::string& clave, Hace&& hace)
    {
        const std::size_t hash = HashDe(clave);
        const std::size_t i = Lugar(clave, hash);
        if (lugares_[i].entrada)
            return false;
        Pon(i, hash, clave, hace());
        return true;
    }

    // Room for `valores` values from the start (when nothing is kept yet), so that a table read
    // whole is not moved into ever larger arrays on the way. The entries' room is only taken,
    // not touched: what the values do not fill costs nothing.
    void Reserva(std::size_t valores)
    {
        if (!lugares_.empty())
            return;
        std::size_t lugares = 64;
        while (lugares < 2 * valores)
            lugares *= 2;
        lugares_.resize(lugares);
        entradas_.reserve(valores);
    }

    // Asks the memory for the place a value's lookup will read, so that the lookups of one
    // entry wait for memory together rather than one after another.
    void Anticipa(std::size_t hash) const
    {
        if (!lugares_.empty())
            __builtin_prefetch(&lugares_[hash & (lugares_.size() - 1)]);
    }

private:
    struct LugarDe {
        std::uint32_t entrada = 0;  // the entry's number from 1; 0 for a free place
        std::uint32_t hash = 0;     // the low half of its hash
    };
    struct Entrada {
        std::size_t hash;
        std::string clave;
        Resultado resultado;
    };

    // The place of a value: where it is kept, or the free place where it would go.
    std::size_t Lugar(std::string_view clave, std::size_t hash)
    {
        if (lugares_.empty())
            lugares_.resize(64);
        return Sitio(clave, hash);
    }

    // The same in an array that has places.
    std::size_t Sitio(std::string_view clave, std::size_t hash) const
    {
        const std::size_t mascara = lugares_.size() - 1;
        const auto corto = static_cast<std::uint32_t>(hash);
        std::size_t i = hash & mascara;
        while (lugares_[i].entrada && !(lugares_[i].hash == corto && entradas_[lugares_[i].entrada - 1].clave == clave))
            i = (i + 1) & mascara;
        return i;
    }

    const Resultado& Pon(std::size_t i, std::size_t hash, std::string_view clave, Resultado resultado)
    {
        entradas_.push_back({hash, std::string(clave), std::move(resultado)});
        lugares_[i] = {static_cast<std::uint32_t>(entradas_.size()), static_cast<std::uint32_t>(hash)};
        if (entradas_.size() * 2 > lugares_.size())
            Crece();
        return entradas_.back().resultado;
    }

    void Crece()
    {
        std::vector<LugarDe> nuevos(lugares_.size() * 2);
        const std::size_t mascara = nuevos.size() - 1;
        for (std::size_t e = 0; e < entradas_.size(); ++e) {
            std::size_t i = entradas_[e].hash & mascara;
            while (nuevos[i].entrada)
                i = (i + 1) & mascara;
            nuevos[i] = {static_cast<std::uint32_t>(e + 1), static_cast<std::uint32_t>(entradas_[e].hash)};
        }
        lugares_.swap(nuevos);
    }

    std::vector<LugarDe> lugares_;  // a power of two, never more than half taken
    std::vector<Entrada> entradas_;  // in the order they were kept
};

// The first record, in record order, of each key of a table the export holds exclusively, made
// into a result: the table does not change meanwhile, so one scan at the first search answers
// every search, where a locate per key would look up an index and read the record each time.
// A key is the key fields' texts joined by a 0 byte (no text read from a table holds one).
// Character fields compare as a locate compares them, exactly as read; when a key field is of
// another type (which a locate compares by value) each new key is a locate, as before.
template <typename Resultado>
class PrimerosPorClave {
public:
    // `campos`: the key fields, as a locate's list ("COD;CODCURSO"); `lee` makes the result
    // from the table's current record.
    PrimerosPorClave(store::Table& tabla, std::string campos, std::function<Resultado()> lee)
        : tabla_(tabla), campos_(std::move(campos)), lee_(std::move(lee))
    {
    }

    // The result of the first record with that key; nullptr when no record has it.
    // `hash`: HashDe(clave).
    const Resultado* Busca(std::string_view clave, std::size_t hash)
    {
        if (!leida_)
            Lee();
        if (recorrida_)
            return encontrados_.Busca(clave, hash);
        const std::optional<Resultado>& r = buscados_.De(clave, hash, [&]() -> std::optional<Resultado> {
            std::vector<store::Value> valores;
            for (std::size_t desde = 0;;) {
                const std::size_t fin = clave.find('\0', desde);
                valores.emplace_back(std::string(clave.substr(desde, fin - desde)));
                if (fin == std::string::npos)
                    break;
                desde = fin + 1;
            }
            if (!tabla_.locate(campos_, valores))
                return std::nullopt;
            return lee_();
        });
        return r ? &*r : nullptr;
    }

    void Anticipa(std::size_t hash) const { encontrados_.Anticipa(hash); }

private:
    // Finds the key fields (a missing one fails here, at the first search, as a locate would)
    // and, when they are all character fields, reads the table once.
    void Lee()
    {
        std::vector<store::FieldRef> claves;
        bool textos = true;
        for (std::size_t desde = 0;;) {
            const std::size_t fin = campos_.find(';', desde);
            claves.push_back(tabla_.field(campos_.substr(desde, fin - desde)));
            textos = textos && tabla_.fieldDef(claves.back()).type == 'C';
            if (fin == std::string::npos)
                break;
            desde = fin + 1;
        }
        leida_ = true;
        if (!textos)
            return;
        encontrados_.Reserva(static_cast<std::size_t>(tabla_.recordCount()));  // at most a key a record
        std::string clave;
        for (tabla_.first(); !tabla_.eof(); tabla_.next()) {
            clave.clear();
            for (std::size_t i = 0; i < claves.size(); ++i) {
                if (i > 0)
                    clave += '\0';
                clave += tabla_.textView(claves[i]);
            }
            encontrados_.AnadeSiFalta(clave, lee_);
        }
        recorrida_ = true;
    }

    store::Table& tabla_;
    std::string campos_;
    std::function<Resultado()> lee_;
    bool leida_ = false;
    bool recorrida_ = false;                         // the table was read into encontrados_
    Recuerdo<Resultado> encontrados_;                // by key, each key's first record
    Recuerdo<std::optional<Resultado>> buscados_;    // by key, what each locate found
};

// The group's name for the line and its course, from the first group of a code in record order.
struct DatosGrupo {
    std::string grupo;
    std::string codigoCurso;
};

// One line of the timetable, as it goes into the work table. The group, subject and teacher
// are the remembered results of their searches, valid until the next entry's searches.
struct LineaHorarioZare {
    std::string dia;
    std::string horaInicio;
    std::string_view grupo;
    std::string_view materia;
    std::string_view profesor;
    std::string_view aula;
};

// A field of a table the export reads, found by name at its first use: a missing field is an
// error where the first read of it was, never earlier.
class CampoLeido {
public:
    explicit CampoLeido(const char* nombre) : nombre_(nombre) {}
    const store::FieldRef& De(const store::Table& tabla)
    {
        if (!ref_) {
            ref_ = tabla.field(nombre_);
            const char tipo = tabla.fieldDef(*ref_).type;
            texto_ = tipo == 'C' || tipo == 'D';
        }
        return *ref_;
    }

    // The field's text as asText reads it, into a string kept from record to record.
    void Texto(const store::Table& tabla, std::string& destino)
    {
        const std::string_view texto = Vista(tabla, destino);  // another type of field is there already
        if (texto.data() != destino.data())
            destino.assign(texto);
    }

    // The same without a copy: valid until the cursor moves, or until `guarda` changes, which
    // holds the text of a field that is not a character or date field.
    std::string_view Vista(const store::Table& tabla, std::string& guarda)
    {
        const store::FieldRef& ref = De(tabla);
        if (texto_)
            return tabla.textView(ref);
        guarda = tabla.asText(ref);
        return guarda;
    }

private:
    const char* nombre_;
    std::optional<store::FieldRef> ref_;
    bool texto_ = false;  // a character or date field, read without a copy
};

}  // namespace

Exportacion::Exportacion(import::EstadoConversion& estado, import::Mensajes& mensajes)
    : estado_(estado), mensajes_(mensajes)
{
}

void Exportacion::PlantillaCentro()
{
    CreaPlantillaSiFalta();
}

void Exportacion::Importar2()
{
    // Held exclusive for the whole export: another program holding one of them open stops it
    // here, before anything is written.
    store::Table soluc(kCarpetaTablas, "SOLUC");
    store::Table grupos(kCarpetaTablas, "GRUPOST");
    store::Table profesores(kCarpetaTablas, "PROFT");
    store::Table aulas(kCarpetaTablas, "AULAT");
    store::Table materias(kCarpetaTablas, "ASIGNOMT2");
    store::Table diasHoras(kCarpetaTablas, "DIASHORAST");
    soluc.open(store::Access::Exclusive);
    grupos.open(store::Access::Exclusive);
    profesores.open(store::Access::Exclusive);
    profesores.setIndex("ABREV");
    aulas.open(store::Access::Exclusive);
    materias.open(store::Access::Exclusive);
    diasHoras.open(store::Access::Exclusive);
    FranjasDiasHoras franjas(diasHoras);
    soluc.first();

    // The work table is built aside, over the spare the one before it left, and put in place
    // whole; one held by another program stops the export here, as when it was made in place.
    // After an error it is put in place with the lines that reached it, as when it was filled in
    // place; the error stays the export's.
    store::NewTable nuevoHorario(import::kTrabajo, kTablaHorario, CamposHorario(), {}, {kTablaHorario});
    nuevoHorario.checkPlaceFree();
    nuevoHorario.placeOnError();
    store::Table& horario = nuevoHorario.table();

    const std::vector<std::string> plantilla = LeeListaPlantilla();

    Recuerdo<std::optional<std::string>> nombresProfesor;
    // The group's name for the line and its course, from the first group of a code; the
    // subject's abbreviation from the first row of a subject and course. Each field is found
    // at its first read, as by name, and not looked up by name again for every record.
    CampoLeido nombreSubgrupo("NOMEABREVSUBGRUZARE"), nombreGrupo("NOMEABREVGRUPZARE"), cursoDelGrupo("CODCURSOZARE"),
        abrevMateria("ABREVZARE"), nombreProfesor("NOMBRE");
    PrimerosPorClave<DatosGrupo> primerGrupo(grupos, "ABREV", [&] {
        DatosGrupo encontrado;
        nombreSubgrupo.Texto(grupos, encontrado.grupo);
        if (encontrado.grupo.empty())
            nombreGrupo.Texto(grupos, encontrado.grupo);
        cursoDelGrupo.Texto(grupos, encontrado.codigoCurso);
        return encontrado;
    });
    PrimerosPorClave<std::string> primeraMateria(materias, "COD;CODCURSO", [&] {
        std::string abrev;
        abrevMateria.Texto(materias, abrev);
        return abrev;
    });
    const DatosGrupo sinGrupo;  // none leaves group and course empty
    std::string claveMateria;

    CampoLeido campoDia("DIA"), campoAsig("ASIG"), campoProf("PROF"), campoGrupo("CODGRUPO"), campoAula("AULA"),
        campoHora("HORA"), campoSesiones("SESIONES");
    EscritorHorario escritor(horario, estado_.CarpetaCSV);

    long numeroLinea = 0;
    LineaHorarioZare linea;  // kept from entry to entry, so that its strings keep their room
    // Where a field that is not text keeps its text while the entry is worked on.
    std::string guardaAsig, guardaProf, guardaGrupo, guardaAula;
    try {
        for (; !soluc.eof(); soluc.next()) {
            const long dia = soluc.asInteger(campoDia.De(soluc));
            if (dia == 0)
                continue;
            // Views of the entry's texts, valid until the next entry.
            const std::string_view asignatura = campoAsig.Vista(soluc, guardaAsig);
            const std::string_view profesor = campoProf.Vista(soluc, guardaProf);
            const std::string_view codigoGrupo = campoGrupo.Vista(soluc, guardaGrupo);
            const std::size_t hashProfesor = HashDe(profesor);
            const std::size_t hashGrupo = HashDe(codigoGrupo);
            nombresProfesor.Anticipa(hashProfesor);
            primerGrupo.Anticipa(hashGrupo);
            linea.aula = campoAula.Vista(soluc, guardaAula);
            long hora = soluc.asInteger(campoHora.De(soluc));
            linea.dia = NombreDia(dia);

            const auto buscaProfesor = [&]() -> std::optional<std::string> {
                if (!profesores.findKey({std::string(profesor)}))
                    return std::nullopt;
                std::string nombre;
                nombreProfesor.Texto(profesores, nombre);
                return nombre;
            };
            const std::optional<std::string>& nombre = nombresProfesor.De(profesor, hashProfesor, buscaProfesor);
            if (!nombre)
                continue;
            linea.profesor = *nombre;

            // The sessions read once: a whole number is the count of lines as asInteger reads
            // it; any other value is read by asInteger itself, for its rounding and its errors.
            const double sesionesLeidas = soluc.asFloat(campoSesiones.De(soluc));
            long lineas = EsEnteroLong(sesionesLeidas) ? static_cast<long>(sesionesLeidas)
                                                       : soluc.asInteger(campoSesiones.De(soluc));

            const DatosGrupo* grupo = primerGrupo.Busca(codigoGrupo, hashGrupo);
            const DatosGrupo& datos = grupo ? *grupo : sinGrupo;
            linea.grupo = datos.grupo;

            claveMateria.assign(asignatura).append(1, '\0').append(datos.codigoCurso);
            const std::string* materia = primeraMateria.Busca(claveMateria, HashDe(claveMateria));
            if (!materia)
                continue;
            linea.materia = *materia;

            // A fractional number of hours is one line whose start time is that of its slot in
            // DIASHORAST, which counts two slots per teaching hour.
            const float sesiones = static_cast<float>(sesionesLeidas);
            const bool fraccionaria = TieneFraccion(sesiones);
            if (fraccionaria) {
                lineas = 1;
                // A float with a fraction is far from the ends of the integers.
                const float horaExacta = static_cast<float>(soluc.asFloat(campoHora.De(soluc)));
                const std::optional<long> franja = TieneFraccion(horaExacta)
                                                       ? 2 * static_cast<long>(std::trunc(horaExacta))
                                                       : FranjaDeHora(hora);
                linea.horaInicio = franja ? franjas.HoraDesde(dia, *franja) : std::string();
            }

            for (long i = 0; i < lineas; ++i) {
                if (!fraccionaria) {
                    // An hour the template lacks ends the export; nothing of this line is written.
                    if (hora < 1 || hora > static_cast<long>(plantilla.size())) {
                        store::ListIndexError error(PosicionEnPlantilla(hora));
                        error.ponLugar(store::lugarEnTabla("SOLUC", soluc.recNo()));
                        throw error;
                    }
                    linea.horaInicio = plantilla[static_cast<std::size_t>(hora - 1)];
                }
                ++numeroLinea;
                escritor.Anade(numeroLinea,
                               {linea.dia, linea.horaInicio, linea.grupo, linea.materia, linea.profesor, "", linea.aula});
                ++hora;
            }
        }
    } catch (...) {
        // The lines before this entry reach the table first, as they did before it; an error
        // one of them meets there is the export's error.
        escritor.Termina();
        throw;
    }
    escritor.Termina();

    soluc.close();
    grupos.close();
    profesores.close();
    aulas.close();
    materias.close();
    diasHoras.close();

    // The work table whole and in place first: its last records are written at its close, and
    // a failure there must leave "HORARIO.CSV" as it was (and the table in place with what it
    // holds).
    nuevoHorario.commitAsWritten();
    ArchivoHorario archivo(estado_.CarpetaCSV);
    escritor.EscribeArchivo(archivo);

    estado_.EstadoTransformacion = 1;
    mensajes_.Muestra(import::kProcesoFinalizado);
}

}  // namespace exportacion
