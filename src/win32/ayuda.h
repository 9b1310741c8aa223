// The Windows program's help: "ZARE.CHM" through HTML Help. The viewer, hhctrl.ocx, is loaded
// from the system folder with LoadLibrary when the program starts and HtmlHelpA looked up in
// it, rather than linked:
// mingw-w64's htmlhelp import library is not on every build machine, and a Windows without the
// viewer must still run the program. Paths are UTF-8, as everywhere in the program.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The help file's full path: a name without a folder stands for the file in `carpetaPrograma`.
std::string RutaArchivoAyuda(const std::string& nombre, const std::string& carpetaPrograma);
// Whether help requests handle the file: its extension is ".chm", in any letter case.
bool EsArchivoAyuda(const std::string& ruta);
// The folder of the running executable.
std::string CarpetaPrograma();

// What a help request gave: the help window, or an error text for the caller's error box.
struct ResultadoAyuda {
    HWND ventana = nullptr;
    std::string error;
};

class Ayuda {
public:
    // Loads the viewer; `archivo` is the application help file ("ZARE.CHM").
    explicit Ayuda(std::string archivo = "ZARE.CHM", std::string carpetaPrograma = CarpetaPrograma());
    // Closes every help window still open, then lets the viewer go.
    ~Ayuda();
    Ayuda(const Ayuda&) = delete;
    Ayuda& operator=(const Ayuda&) = delete;

    bool VisorCargado() const { return htmlHelp_ != nullptr; }
    void PonArchivo(std::string archivo) { archivo_ = std::move(archivo); }
    std::string Ruta() const { return RutaArchivoAyuda(archivo_, carpetaPrograma_); }

    // "F1 AYUDA": the table of contents. F1: the topic of a help context. `llamante` is the
    // window the request comes from: the modal one when one is open, so that the help window
    // belongs to it and takes input while it is open.
    ResultadoAyuda MuestraContenido(HWND llamante);
    ResultadoAyuda MuestraContexto(HWND llamante, int contexto);

private:
    using FuncionHtmlHelpA = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    using FuncionHtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    ResultadoAyuda Pide(HWND llamante, UINT orden, DWORD_PTR dato);

    std::string archivo_;
    std::string carpetaPrograma_;
    HMODULE visor_ = nullptr;
    FuncionHtmlHelpA htmlHelp_ = nullptr;
    FuncionHtmlHelpW htmlHelpW_ = nullptr;
};

// The texts of the two cases in which no help can be shown.
std::string TextoAyudaNoInstalada(const std::string& ruta);
std::string TextoSinVisorDeAyuda();

}  // namespace win32
