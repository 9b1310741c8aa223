// Test support: temporary folders, files, running programs and reading tables with dbfcheck.
#pragma once

#include "support/sistema.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <atomic>
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
        static std::atomic<int> contador{0};
        const fs::path base = fs::temp_directory_path();
        for (int intento = 0; intento < 100; ++intento) {
            fs::path ruta = base / ("transorbelin." + std::to_string(IdProceso()) + "." + std::to_string(contador++));
            std::error_code ec;
            if (fs::create_directory(ruta, ec)) {
                ruta_ = ruta;
                return;
            }
        }
        throw std::runtime_error("no temporary folder could be made");
    }
    ~CarpetaTemporal()
    {
        std::error_code ec;
        fs::permissions(ruta_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(ruta_, ec);
    }
    const fs::path& ruta() const { return ruta_; }
    // The path of `nombre` (UTF-8) inside the folder, as UTF-8.
    std::string operator/(const std::string& nombre) const { return Texto(ruta_ / Ruta(nombre)); }

private:
    fs::path ruta_;
};

inline void Escribe(const std::string& ruta, const std::string& contenido)
{
    fs::create_directories(Ruta(ruta).parent_path());
    std::ofstream f(Ruta(ruta), std::ios::binary);
    f << contenido;
}

inline std::string Lee(const std::string& ruta)
{
    std::ifstream f(Ruta(ruta), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct Salida {
    int estado = -1;
    std::string salida;
    std::string errores;
};

#ifdef _WIN32
// One argument on a Windows command line, quoted as the C runtime splits it again: backslashes
// before a quote are doubled, quotes escaped.
inline std::wstring ArgumentoWindows(const std::wstring& a)
{
    if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return a;
    std::wstring r = L"\"";
    std::size_t barras = 0;
    for (wchar_t c : a) {
        if (c == L'\\') {
            ++barras;
            continue;
        }
        r.append(c == L'"' ? barras * 2 + 1 : barras, L'\\');
        barras = 0;
        r += c;
    }
    r.append(barras * 2, L'\\');
    return r + L"\"";
}

// Runs a program with its arguments (UTF-8), `entrada` on its standard input, and collects its
// exit status, standard output and error.
inline Salida Ejecuta(const std::vector<std::string>& orden, const std::string& entrada = {})
{
    CarpetaTemporal tmp;
    Escribe(tmp / "in", entrada);
    SECURITY_ATTRIBUTES heredable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto abre = [&](const std::string& ruta, DWORD acceso, DWORD disposicion) {
        return CreateFileW(Ancho(ruta).c_str(), acceso, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           &heredable, disposicion, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE in = abre(tmp / "in", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = abre(tmp / "out", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = abre(tmp / "err", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    inicio.dwFlags = STARTF_USESTDHANDLES;
    inicio.hStdInput = in;
    inicio.hStdOutput = out;
    inicio.hStdError = err;
    std::wstring linea;
    for (const auto& a : orden)
        linea += ArgumentoWindows(Ancho(a)) + L" ";
    PROCESS_INFORMATION proceso{};
    Salida s;
    if (CreateProcessW(nullptr, linea.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &inicio, &proceso)) {
        WaitForSingleObject(proceso.hProcess, INFINITE);
        DWORD estado = 0;
        if (GetExitCodeProcess(proceso.hProcess, &estado))
            s.estado = static_cast<int>(estado);
        CloseHandle(proceso.hThread);
        CloseHandle(proceso.hProcess);
    } else {
        s.errores = "cannot start " + orden.at(0);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    s.salida = Lee(tmp / "out");
    s.errores += Lee(tmp / "err");
    return s;
}
#else
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

// Runs a program with its arguments, `entrada` on its standard input, and collects its exit
// status, standard output and error.
inline Salida Ejecuta(const std::vector<std::string>& orden, const std::string& entrada = {})
{
    CarpetaTemporal tmp;
    Escribe(tmp / "in", entrada);
    std::string linea;
    for (const auto& a : orden)
        linea += Comillas(a) + " ";
    linea += "< " + Comillas(tmp / "in") + " > " + Comillas(tmp / "out") + " 2> " + Comillas(tmp / "err");
    const int r = std::system(linea.c_str());
    Salida s;
    s.estado = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
    s.salida = Lee(tmp / "out");
    s.errores = Lee(tmp / "err");
    return s;
}
#endif

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
