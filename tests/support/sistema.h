// What the tests ask of the system, one way on Linux and on Windows: the process id, environment
// variables, UTF-8 paths as std::filesystem paths, and where the build put our programs and the
// sources. Everything platform-dependent in the tests' support lives here and in proceso.h.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/process.h"

#ifdef _WIN32
#include "files/win32.h"

#include <windows.h>

#include <process.h>
#include <stdlib.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

namespace prueba {

inline long IdProceso()
{
    return static_cast<long>(files::processId());
}

#ifdef _WIN32
inline std::wstring Ancho(const std::string& utf8)
{
    return files::win32::widen(utf8);
}
#endif

// Sets (or, with an empty value, removes) a variable of this process's environment, where the
// program reads it: the C library's copy and, on Windows, the system's.
inline void PonVariable(const std::string& nombre, const std::string& valor)
{
#ifdef _WIN32
    ::_wputenv_s(Ancho(nombre).c_str(), Ancho(valor).c_str());
    SetEnvironmentVariableW(Ancho(nombre).c_str(), valor.empty() ? nullptr : Ancho(valor).c_str());
#else
    if (valor.empty())
        ::unsetenv(nombre.c_str());
    else
        ::setenv(nombre.c_str(), valor.c_str(), 1);
#endif
}

// A path from UTF-8 text. On MinGW std::filesystem::path(std::string) reads the ANSI code page,
// which would spoil a folder such as "José Núñez".
inline std::filesystem::path Ruta(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A path as the UTF-8 text the program takes.
inline std::string Texto(const std::filesystem::path& ruta)
{
    const std::u8string u = ruta.u8string();
    return std::string(u.begin(), u.end());
}

// A path the build compiled in (a Linux path): under Wine it is on drive Z:, Linux's root.
inline std::string RutaCompilada(const std::string& ruta)
{
#ifdef _WIN32
    if (!ruta.empty() && ruta[0] == '/')
        return "Z:" + ruta;
#endif
    return ruta;
}

// Where tests that give transorbelin a stand-in for drive C (--unidad-c) make their temporary
// folders: the program takes a path on C: inside the stand-in, and Wine's temporary folder is on
// C:, so under Wine they go to Linux's /tmp on drive Z:.
inline std::filesystem::path TemporalFueraDeC()
{
#ifdef _WIN32
    return std::filesystem::path(L"Z:\\tmp");
#else
    return std::filesystem::temp_directory_path();
#endif
}

// One of our programs, as the build made it: "transorbelin" is transorbelin.exe on Windows.
inline std::string Programa(const std::string& nombre)
{
#ifdef _WIN32
    return RutaCompilada(BIN_DIR) + "/" + nombre + ".exe";
#else
    return std::string(BIN_DIR) + "/" + nombre;
#endif
}

}  // namespace prueba

// dbfcheck, the independent dBASE engine that checks our tables, is a Linux program; a Windows
// program under Wine can start it but not learn its exit status, so such tests skip there (the
// Windows build's tables are compared byte for byte with Linux's by tests/windows/golden.sh).
#ifdef _WIN32
#define SALTA_SIN_DBFCHECK() \
    GTEST_SKIP() << "uses dbfcheck, a Linux program whose exit status Wine cannot hand to a Windows one"
#define SALTA_EN_WINDOWS(por_que) GTEST_SKIP() << por_que
#else
#define SALTA_SIN_DBFCHECK() static_cast<void>(0)
#define SALTA_EN_WINDOWS(por_que) static_cast<void>(0)
#endif
