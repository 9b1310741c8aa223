#include "win32/ayuda.h"

#include "files/folders.h"
#include "files/win32.h"

#include <htmlhelp.h>

#include <cctype>
#include <utility>

namespace win32 {

std::string RutaArchivoAyuda(const std::string& nombre, const std::string& carpetaPrograma)
{
    if (nombre.find_first_of("\\/:") != std::string::npos)
        return nombre;
    return files::joinPath(carpetaPrograma, nombre);
}

bool EsArchivoAyuda(const std::string& ruta)
{
    if (ruta.size() < 4)
        return false;
    std::string extension = ruta.substr(ruta.size() - 4);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".chm";
}

std::string CarpetaPrograma()
{
    std::wstring ruta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
        if (n == 0)
            return {};
        if (n < ruta.size()) {
            ruta.resize(n);
            break;
        }
        ruta.resize(ruta.size() * 2);
    }
    const auto barra = ruta.find_last_of(L"\\/");
    return files::win32::narrow(barra == std::wstring::npos ? std::wstring() : ruta.substr(0, barra));
}

std::string TextoAyudaNoInstalada(const std::string& ruta)
{
    return "La ayuda no est\xC3\xA1 instalada: no se encuentra " + ruta;
}

std::string TextoSinVisorDeAyuda()
{
    return "La ayuda no se puede abrir: falta el visor de ayuda de Windows (hhctrl.ocx)";
}

Ayuda::Ayuda(std::string archivo, std::string carpetaPrograma)
    : archivo_(std::move(archivo)), carpetaPrograma_(std::move(carpetaPrograma))
{
    // From the system folder by its full path: the program's own folder (Orbelin's) is writable
    // by its users, and a bare name would take an hhctrl.ocx put there first.
    std::wstring sistema(MAX_PATH, L'\0');
    const UINT n = GetSystemDirectoryW(sistema.data(), static_cast<UINT>(sistema.size()));
    if (n == 0 || n >= sistema.size())
        return;
    sistema.resize(n);
    visor_ = LoadLibraryW((sistema + L"\\hhctrl.ocx").c_str());
    if (!visor_)
        return;
    htmlHelp_ = reinterpret_cast<FuncionHtmlHelpA>(reinterpret_cast<void*>(GetProcAddress(visor_, "HtmlHelpA")));
    htmlHelpW_ = reinterpret_cast<FuncionHtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(visor_, "HtmlHelpW")));
}

Ayuda::~Ayuda()
{
    if (htmlHelp_)
        htmlHelp_(nullptr, nullptr, HH_CLOSE_ALL, 0);
    if (visor_)
        FreeLibrary(visor_);
}

ResultadoAyuda Ayuda::MuestraContenido(HWND llamante)
{
    return Pide(llamante, HH_DISPLAY_TOC, 0);
}

ResultadoAyuda Ayuda::MuestraContexto(HWND llamante, int contexto)
{
    return Pide(llamante, HH_HELP_CONTEXT, static_cast<DWORD_PTR>(contexto));
}

ResultadoAyuda Ayuda::Pide(HWND llamante, UINT orden, DWORD_PTR dato)
{
    ResultadoAyuda resultado;
    const std::string ruta = Ruta();
    if (!EsArchivoAyuda(ruta))
        return resultado;
    if (!htmlHelp_) {
        resultado.error = TextoSinVisorDeAyuda();
        return resultado;
    }
    if (files::entryKind(ruta) != files::EntryKind::File) {
        resultado.error = TextoAyudaNoInstalada(ruta);
        return resultado;
    }
    // HtmlHelpA takes the path in the ANSI code page; a path that code page cannot spell (a
    // folder named in another alphabet) goes to HtmlHelpW whole.
    const std::wstring ancha = files::win32::widen(ruta);
    BOOL perdido = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, ancha.c_str(), -1, nullptr, 0, nullptr, &perdido);
    if (n > 0 && !perdido) {
        std::string ansi(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, ancha.c_str(), -1, ansi.data(), n, nullptr, nullptr);
        resultado.ventana = htmlHelp_(llamante, ansi.c_str(), orden, dato);
    } else if (htmlHelpW_) {
        resultado.ventana = htmlHelpW_(llamante, ancha.c_str(), orden, dato);
    }
    return resultado;
}

}  // namespace win32
