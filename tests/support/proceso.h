// Test support: temporary folders, files, running programs and reading tables with dbfcheck.
#pragma once

#include "support/sistema.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;
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

// A fresh folder under the system's temporary folder (or under `base`), removed at the end of
// the test.
class CarpetaTemporal {
public:
    explicit CarpetaTemporal(const fs::path& base = fs::temp_directory_path())
    {
        static std::atomic<int> contador{0};
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
#endif

// A program started with its arguments (UTF-8) and its standard streams on files (an empty path
// stands for the null device), left running until it is waited for or killed.
class Proceso {
public:
    Proceso(const std::vector<std::string>& orden, const std::string& entrada, const std::string& salida,
            const std::string& errores)
    {
#ifdef _WIN32
        SECURITY_ATTRIBUTES heredable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const auto abre = [&](const std::string& ruta, DWORD acceso, DWORD disposicion) {
            return CreateFileW(ruta.empty() ? L"NUL" : Ancho(ruta).c_str(), acceso,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &heredable,
                               ruta.empty() ? OPEN_EXISTING : disposicion, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        HANDLE in = abre(entrada, GENERIC_READ, OPEN_EXISTING);
        HANDLE out = abre(salida, GENERIC_WRITE, CREATE_ALWAYS);
        HANDLE err = abre(errores, GENERIC_WRITE, CREATE_ALWAYS);
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
        if (CreateProcessW(nullptr, linea.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &inicio, &proceso)) {
            CloseHandle(proceso.hThread);
            proceso_ = proceso.hProcess;
        }
        for (HANDLE h : {in, out, err})
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
#else
        posix_spawn_file_actions_t acciones;
        posix_spawn_file_actions_init(&acciones);
        const auto ruta = [](const std::string& r) { return r.empty() ? "/dev/null" : r.c_str(); };
        posix_spawn_file_actions_addopen(&acciones, 0, ruta(entrada), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&acciones, 1, ruta(salida), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&acciones, 2, ruta(errores), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv;
        for (const std::string& a : orden)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, orden.at(0).c_str(), &acciones, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&acciones);
#endif
    }
    Proceso(const Proceso&) = delete;
    Proceso& operator=(const Proceso&) = delete;
    ~Proceso()
    {
        Mata();
        Espera();
    }

    bool Iniciado() const
    {
#ifdef _WIN32
        return proceso_ != nullptr;
#else
        return pid_ > 0;
#endif
    }

    // Its exit status once it has ended; -1 when it was killed or never started.
    int Espera()
    {
#ifdef _WIN32
        if (proceso_) {
            WaitForSingleObject(proceso_, INFINITE);
            DWORD codigo = 0;
            if (!matado_ && GetExitCodeProcess(proceso_, &codigo))
                estado_ = static_cast<int>(codigo);
            CloseHandle(proceso_);
            proceso_ = nullptr;
        }
#else
        if (pid_ > 0) {
            int estado = 0;
            while (::waitpid(pid_, &estado, 0) < 0 && errno == EINTR) {
            }
            estado_ = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
            pid_ = -1;
        }
#endif
        return estado_;
    }

    // Ends it at once, wherever it is (SIGKILL; TerminateProcess on Windows).
    void Mata()
    {
#ifdef _WIN32
        if (proceso_ && WaitForSingleObject(proceso_, 0) == WAIT_TIMEOUT) {
            matado_ = true;
            TerminateProcess(proceso_, 1);
        }
#else
        if (pid_ > 0)
            ::kill(pid_, SIGKILL);
#endif
    }

private:
#ifdef _WIN32
    HANDLE proceso_ = nullptr;
    bool matado_ = false;
#else
    pid_t pid_ = -1;
#endif
    int estado_ = -1;
};

// Runs a program with its arguments (UTF-8), `entrada` on its standard input, and collects its
// exit status, standard output and error.
inline Salida Ejecuta(const std::vector<std::string>& orden, const std::string& entrada = {})
{
    CarpetaTemporal tmp;
    Escribe(tmp / "in", entrada);
    Salida s;
    {
        Proceso proceso(orden, tmp / "in", tmp / "out", tmp / "err");
        if (!proceso.Iniciado())
            s.errores = "cannot start " + orden.at(0);
        s.estado = proceso.Espera();
    }
    s.salida = Lee(tmp / "out");
    s.errores += Lee(tmp / "err");
    return s;
}

// Our programs' console output with the line ends of Linux: on Windows they write CR LF there
// (files::StandardStream), which the checks written once for both platforms do not expect.
inline std::string SinCR(std::string texto)
{
#ifdef _WIN32
    std::string r;
    for (std::size_t i = 0; i < texto.size(); ++i)
        if (!(texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n'))
            r += texto[i];
    return r;
#else
    return texto;
#endif
}

// Runs transorbelin as the build made it (transorbelin.exe on Windows) and collects what it
// wrote with LF line ends.
inline Salida EjecutaTransorbelin(const std::vector<std::string>& argumentos, const std::string& entrada = {})
{
    std::vector<std::string> orden{Programa("transorbelin")};
    orden.insert(orden.end(), argumentos.begin(), argumentos.end());
    Salida s = Ejecuta(orden, entrada);
    s.salida = SinCR(s.salida);
    s.errores = SinCR(s.errores);
    return s;
}

#ifndef _WIN32
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
