// The folder list: the open folder's path from its drive's root down, each folder indented one
// step more and shown open, then the open folder's subfolders, closed, one step further in.
// Double-click or Enter opens a folder, which becomes the process's current directory. A label
// may show the open folder, shortened to the list's width. Folders are read through the file
// layer (files::listFolder); paths are UTF-8.
#pragma once

#include "win32/controles/control.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace controles {

class ListaCarpetas : public Control {
public:
    struct Entrada {
        std::string ruta;    // absolute
        std::string nombre;  // as shown: the root as "C:\", else the folder's name
        int nivel = 0;       // steps of indentation
        bool abierta = false;
    };

    // A folder that cannot be opened: its path and the Windows error code.
    using AlFallar = std::function<void(const std::string& ruta, unsigned long codigo)>;
    using AlCambiar = std::function<void(const std::string& carpeta)>;

    // The list shows the process's current directory.
    static ListaCarpetas* Crea(HWND padre, int id, int x, int y, int ancho, int alto);
    static ListaCarpetas* De(HWND hwnd);

    // The open folder, absolute, without a trailing separator but for a drive's root ("C:\").
    const std::string& carpeta() const { return carpeta_; }
    const std::vector<Entrada>& entradas() const { return entradas_; }
    // The Windows list box inside, which takes the keyboard and the mouse.
    HWND listBox() const { return lista_; }

    // Opens a folder: it becomes the current directory and the list shows it. A folder that
    // cannot be entered calls the failure handler (else beeps), and nothing changes.
    bool abre(const std::string& ruta);
    // Opens the entry at a row of the list, as a double-click on it does.
    bool abreEntrada(int fila);
    // Shows the current directory of the process as it is now.
    void muestraDirectorioActual();

    void ponEtiqueta(HWND etiqueta);
    // The list's background, a Windows colour value (colores.h); the window colour by default.
    void ponColorFondo(std::uint32_t color);
    void ponAlFallar(AlFallar f) { alFallar_ = std::move(f); }
    // Called after every change of folder; several may listen.
    void observa(AlCambiar f) { observadores_.push_back(std::move(f)); }

    // The path shortened as Windows' file dialogs shorten it: the root, "..." and as many
    // trailing folders as fit in `ancho` pixels with the font selected into `dc`.
    static std::string AbreviaRuta(HDC dc, const std::string& ruta, int ancho);

protected:
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l) override;

private:
    ListaCarpetas() = default;
    ~ListaCarpetas() override;
    void Reconstruye();
    void ActualizaEtiqueta();
    void CreaIconos();
    void DibujaEntrada(const DRAWITEMSTRUCT& d) const;
    static LRESULT CALLBACK ProcLista(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR datos);

    HWND lista_ = nullptr;
    HWND etiqueta_ = nullptr;
    std::uint32_t fondo_ = 0x80000005;
    HBRUSH pincel_ = nullptr;
    HICON abierta_ = nullptr;
    HICON cerrada_ = nullptr;
    std::string carpeta_;
    std::vector<Entrada> entradas_;
    AlFallar alFallar_;
    std::vector<AlCambiar> observadores_;
};

}  // namespace controles
