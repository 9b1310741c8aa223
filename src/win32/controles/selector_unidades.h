// The drive picker: the machine's drives (GetLogicalDrives), each with the picture of its kind
// and its volume name, linked to a folder list. Choosing a drive opens that drive's current
// folder in the list: the last folder opened on it in this run, or its root. The picker
// follows the list onto whatever drive the list opens.
#pragma once

#include "win32/controles/control.h"
#include "win32/controles/glifos.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace controles {

class ListaCarpetas;

struct Unidad {
    char letra = 'C';       // upper case
    std::string raiz;       // "C:\"
    unsigned tipo = 0;      // GetDriveType's answer
    std::string etiqueta;   // the volume name, or a network drive's share; may be empty
    std::string texto;      // as shown: "c: [SISTEMA]"
};

// The drives of this machine now, from A to Z. A drive without a disk in it is listed without
// its volume name, and Windows asks nobody to insert one.
std::vector<Unidad> UnidadesDeLaMaquina();

// "c: [ETIQUETA]", or "c:" without a name.
std::string TextoUnidad(char letra, const std::string& etiqueta);

// The picture of a kind of drive.
Glifo GlifoDeUnidad(unsigned tipo);

class SelectorUnidades : public Control {
public:
    static SelectorUnidades* Crea(HWND padre, int id, int x, int y, int ancho, int alto);
    static SelectorUnidades* De(HWND hwnd);

    void ponLista(ListaCarpetas* lista);
    // The background of the box and its list, a Windows colour value; the window colour by default.
    void ponColorFondo(std::uint32_t color);
    // Reads the machine's drives again.
    void recarga();
    const std::vector<Unidad>& unidades() const { return unidades_; }
    // The row of the drive shown, -1 when the list's folder is on none (a network path).
    int elegida() const;
    // Chooses the drive at a row, as the user does.
    void elige(int fila);
    // The Windows combo box inside.
    HWND comboBox() const { return combo_; }

protected:
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l) override;

private:
    SelectorUnidades() = default;
    ~SelectorUnidades() override;
    void SigueLista(const std::string& carpeta);
    int FilaDe(const std::string& carpeta) const;
    void CreaIconos();
    void Dibuja(const DRAWITEMSTRUCT& d) const;

    HWND combo_ = nullptr;
    std::uint32_t fondo_ = 0x80000005;
    HBRUSH pincel_ = nullptr;
    HWND lista_ = nullptr;  // the folder list's window, checked before each use
    std::vector<Unidad> unidades_;
    std::map<char, std::string> ultimaCarpeta_;
    std::map<unsigned, HICON> iconos_;
};

}  // namespace controles
