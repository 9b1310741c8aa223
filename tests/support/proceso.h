// Test support: temporary folders, files, running programs and reading tables with dbfcheck.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace prueba {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end of the test.
class CarpetaTemporal {
public:
    CarpetaTemporal()
    {
        std::string plantilla = (fs::temp_directory_path() / "transorbelin.XXXXXX").string();
        if (!::mkdtemp(plantilla.data()))
            throw std::runtime_error("mkdtemp failed");
        ruta_ = plantilla;
    }
    ~CarpetaTemporal()
    {
        std::error_code ec;
        fs::permissions(ruta_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(ruta_, ec);
    }
    const fs::path& ruta() const { return ruta_; }
    std::string operator/(const std::string& nombre) const { return (ruta_ / nombre).string(); }

private:
    fs::path ruta_;
};

inline void Escribe(const std::string& ruta, const std::string& contenido)
{
    fs::create_directories(fs::path(ruta).parent_path());
    std::ofstream f(ruta, std::ios::binary);
    f << contenido;
}

inline std::string Lee(const std::string& ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct Salida {
    int estado = -1;
    std::string salida;
    std::string errores;
};

inline std::string Comillas(const std::string& s)
{
    std::string r = "'";
    for (char c : s) {
        if (c == '\'')
            r += "'\\''";
        else
            r += c;
    }
    return r + "'";
}

// Runs a program with its arguments and collects its exit status, standard output and error.
inline Salida Ejecuta(const std::vector<std::string>& orden)
{
    CarpetaTemporal tmp;
    std::string linea;
    for (const auto& a : orden)
        linea += Comillas(a) + " ";
    linea += "> " + Comillas(tmp / "out") + " 2> " + Comillas(tmp / "err");
    const int r = std::system(linea.c_str());
    Salida s;
    s.estado = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
    s.salida = Lee(tmp / "out");
    s.errores = Lee(tmp / "err");
    return s;
}

inline std::vector<std::string> Divide(const std::string& linea, char separador)
{
    std::vector<std::string> partes;
    std::string actual;
    for (char c : linea) {
        if (c == separador) {
            partes.push_back(actual);
            actual.clear();
        } else {
            actual += c;
        }
    }
    partes.push_back(actual);
    return partes;
}

// A table as the independent engine (TDbf, through dbfcheck) reads it.
struct TablaLeida {
    std::string version;
    std::vector<std::vector<std::string>> campos;  // name, type, size, decimals
    std::vector<std::vector<std::string>> registros;  // values; deleted records left out
    int eliminados = 0;

    int Indice(const std::string& nombre) const
    {
        for (std::size_t i = 0; i < campos.size(); ++i)
            if (campos[i][0] == nombre)
                return static_cast<int>(i);
        throw std::runtime_error("no field " + nombre);
    }
    std::string Valor(std::size_t registro, const std::string& campo) const
    {
        return registros.at(registro).at(Indice(campo));
    }
    std::vector<std::string> Columna(const std::string& campo) const
    {
        std::vector<std::string> r;
        for (std::size_t i = 0; i < registros.size(); ++i)
            r.push_back(Valor(i, campo));
        return r;
    }
};

inline Salida Dbfcheck(const std::vector<std::string>& args)
{
    std::vector<std::string> orden{DBFCHECK_PATH};
    orden.insert(orden.end(), args.begin(), args.end());
    return Ejecuta(orden);
}

inline TablaLeida LeeTabla(const std::string& ruta)
{
    const Salida s = Dbfcheck({"dump", ruta});
    if (s.estado != 0)
        throw std::runtime_error("dbfcheck dump " + ruta + ": " + s.errores);
    TablaLeida t;
    std::istringstream in(s.salida);
    std::string linea;
    while (std::getline(in, linea)) {
        auto partes = Divide(linea, '\t');
        const std::string clase = partes[0];
        partes.erase(partes.begin());
        if (clase == "version")
            t.version = partes.at(0);
        else if (clase == "field")
            t.campos.push_back(partes);
        else if (clase == "record")
            t.registros.push_back(partes);
        else if (clase == "deleted")
            ++t.eliminados;
    }
    return t;
}

}  // namespace prueba
