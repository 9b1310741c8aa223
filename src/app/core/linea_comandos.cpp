#include "app/core/linea_comandos.h"

#include "files/folders.h"
#include "app/core/cp1252.h"
#include "app/core/lanzamiento.h"
#include "csv/decodifica_linea.h"
#include "csv/lector_csv.h"
#include "export/orden_exportar.h"
#include "import/importacion.h"
#include "store/errors.h"
#include "store/paths.h"
#include "store/table.h"
#include "store/work_lock.h"

#include <ostream>

namespace app {

namespace {

constexpr int kHecho = 0;
constexpr int kSinExito = 1;
constexpr int kError = 2;
constexpr int kIncompleto = 3;
constexpr int kUso = 64;

const char* const kUsoTexto =
    "uso: transorbelin [--unidad-c DIR] convocatorias CARPETA\n"
    "     transorbelin [--unidad-c DIR] cursos CARPETA CONVOCATORIA\n"
    "     transorbelin [--unidad-c DIR] importar CARPETA CONVOCATORIA NIVELES\n"
    "     transorbelin [--unidad-c DIR] exportar CARPETA\n";

class MensajesConsola : public import::Mensajes {
public:
    explicit MensajesConsola(std::ostream& salida) : salida_(salida) {}
    void Muestra(const std::string& texto) override { salida_ << Cp1252AUtf8(texto) << '\n'; }

private:
    std::ostream& salida_;
};

// A value for a CSV line: in double quotes, a quote inside doubled.
std::string Entrecomillado(const std::string& valor)
{
    std::string r = "\"";
    for (char c : valor) {
        if (c == '"')
            r += '"';
        r += c;
    }
    return r + "\"";
}

int Resultado(const import::EstadoConversion& estado)
{
    return estado.EstadoTransformacion == 1 ? kHecho : kSinExito;
}

class Orden {
public:
    Orden(std::ostream& salida, std::ostream& errores)
        : salida_(salida), errores_(errores), mensajes_(salida), importacion_(estado_, mensajes_)
    {
    }

    // The folder and the call list, as the import button does; false when it goes no further.
    bool Convocatorias(const std::string& carpeta)
    {
        if (!files::folderExists(carpeta)) {
            mensajes_.Muestra(import::kNoExisteCarpeta);
            return false;
        }
        estado_.CarpetaCSV = store::resolveFolder(carpeta) + "/";
        estado_.EstadoTransformacion = 1;
        return importacion_.CargaConvocatorias();
    }

    void ListaConvocatorias()
    {
        store::Table tabla(import::kTrabajo, "CONVOCAZARE.DBF");
        tabla.open(store::Access::Shared);
        for (tabla.first(); !tabla.eof(); tabla.next())
            salida_ << Cp1252AUtf8(tabla.asText("CONVOCATORIA")) << '\t'
                    << Cp1252AUtf8(tabla.asText("DESCRIPCION")) << '\n';
    }

    // The call, then the courses as "Continuar" builds them; false when the screen would not open.
    bool Cursos(const std::string& convocatoriaUtf8, int& estado)
    {
        const std::string codigo = csv::DecodificaLinea(convocatoriaUtf8);
        {
            store::Table tabla(import::kTrabajo, "CONVOCAZARE.DBF");
            tabla.open(store::Access::Shared);
            if (!tabla.locate("CONVOCATORIA", {codigo})) {
                errores_ << "No existe la convocatoria " << convocatoriaUtf8 << '\n';
                estado = kError;
                return false;
            }
        }
        importacion_.SeleccionaConvocatoria(codigo);
        importacion_.CargaCursos();
        if (!importacion_.ExisteTablaCursos()) {
            estado = kSinExito;
            return false;
        }
        return true;
    }

    void ListaCursos()
    {
        store::Table tabla(import::kTrabajo, "CURSOST.DBF");
        tabla.open(store::Access::Shared);
        salida_ << "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n";
        for (tabla.first(); !tabla.eof(); tabla.next()) {
            const char* sep = "";
            for (const char* campo : {"CODCURSO", "NOMECURSO", "TURNO", "NIVEL", "CURSO"}) {
                salida_ << sep << Entrecomillado(Cp1252AUtf8(tabla.asText(campo)));
                sep = ",";
            }
            salida_ << '\n';
        }
    }

    // Fills TURNO, NIVEL and CURSO of every course from the first NIVELES line of its code, cut
    // to the field sizes as the course grid limits typing. An empty table gets the one blank row
    // the course screen would show.
    void RellenaNiveles(const std::string& rutaNiveles)
    {
        struct Niveles {
            std::string turno, nivel, curso;
        };
        std::vector<std::pair<std::string, Niveles>> lineas;
        csv::LectorCSV lector;
        lector.Abrir(rutaNiveles);
        if (!lector.Fin())
            lector.SaltaLinea();
        while (!lector.Fin()) {
            const csv::RegistroCSV& campos = lector.Siguiente();
            lineas.push_back({campos.Campo(0), {campos.Campo(2), campos.Campo(3), campos.Campo(4)}});
        }
        lector.Cerrar();

        store::Table tabla(import::kTrabajo, "CURSOST.DBF");
        tabla.open(store::Access::Shared);
        tabla.first();
        if (tabla.eof()) {
            tabla.append();
            tabla.post();
        }
        for (tabla.first(); !tabla.eof(); tabla.next()) {
            const std::string codigo = tabla.asText("CODCURSO");
            for (const auto& [codCurso, niveles] : lineas) {
                if (codCurso != codigo)
                    continue;
                tabla.edit();
                tabla.setText("TURNO", niveles.turno);
                tabla.setText("NIVEL", niveles.nivel);
                tabla.setText("CURSO", niveles.curso);
                tabla.post();
                break;
            }
        }
        tabla.close();  // a failure to write reported, not lost in the destructor
    }

    import::EstadoConversion estado_;
    std::ostream& salida_;
    std::ostream& errores_;
    MensajesConsola mensajes_;
    import::Importacion importacion_;
};

bool UsoCorrecto(const std::vector<std::string>& args)
{
    const std::string& orden = args[0];
    return (orden == "convocatorias" && args.size() == 2) || (orden == "cursos" && args.size() == 3) ||
           (orden == "importar" && args.size() == 4) || (orden == "exportar" && args.size() == 2);
}

int Ejecuta(const std::vector<std::string>& args, std::ostream& salida, std::ostream& errores)
{
    const std::string& orden = args[0];
    // Every order rebuilds or reads the work tables: the folder is ours until the order ends.
    store::WorkLock bloqueo;
    bloqueo.take(import::kTrabajo);
    Orden o(salida, errores);
    if (orden == "convocatorias") {
        if (!o.Convocatorias(args[1]))
            return kSinExito;
        o.ListaConvocatorias();
        return Resultado(o.estado_);
    }
    if (orden == "cursos") {
        int estado = kHecho;
        if (!o.Convocatorias(args[1]))
            return kSinExito;
        if (!o.Cursos(args[2], estado))
            return estado;
        o.ListaCursos();
        return Resultado(o.estado_);
    }
    if (orden == "importar") {
        int estado = kHecho;
        if (!o.Convocatorias(args[1]))
            return kSinExito;
        if (!o.Cursos(args[2], estado))
            return estado;
        o.RellenaNiveles(args[3]);
        o.importacion_.CompruebaNiveles();
        if (o.estado_.NivelesIncompletos != 0) {
            o.mensajes_.Muestra(import::kNivelesIncompletos);
            return kIncompleto;
        }
        o.importacion_.EjecutaBuilders();
        o.mensajes_.Muestra(import::kProcesoFinalizado);
        return Resultado(o.estado_);
    }
    // exportar
    if (!exportacion::ExportaCarpeta(args[1], o.estado_, o.mensajes_))
        return kSinExito;
    return Resultado(o.estado_);
}

}  // namespace

int EjecutaLineaComandos(const std::vector<std::string>& argumentos, std::ostream& salida,
                         std::ostream& errores)
{
    std::vector<std::string> args = argumentos;
    if (!QuitaOpcionUnidadC(args)) {
        errores << kUsoTexto;
        return kUso;
    }
    if (args.empty() || !UsoCorrecto(args)) {
        errores << kUsoTexto;
        return kUso;
    }
    try {
        return Ejecuta(args, salida, errores);
    } catch (const std::exception& e) {
        errores << Cp1252AUtf8(store::errorReport(e)) << '\n';
        return kError;
    }
}

}  // namespace app
