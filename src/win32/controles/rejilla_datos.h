// The data grid over a DatosRejilla: titles in their own colours, an indicator column that
// marks the current record and its state, fixed columns at the left that the cursor skips,
// alternate row colours, a cell colour handler, in-place editing cut to each column's length,
// and the grid keys: arrows, Tab and Shift+Tab, Home/End, Page Up/Down, Enter (which may move
// on as Tab does), F2 or typing to edit, Esc to drop the changes, Insert or the down arrow on
// the last row to start a new record, Ctrl+Delete to delete the current record after a
// question answered through a handler.
#pragma once

#include "win32/controles/control.h"
#include "win32/controles/datos_rejilla.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace controles {

class RejillaDatos : public Control {
public:
    // What the cell colour handler is told of a cell, and what it may change.
    struct EstadoCelda {
        int fila = 0;
        int columna = 0;
        bool celdaActual = false;  // the cursor's cell
        bool resaltado = false;    // the cursor's cell, drawn highlighted (the grid has focus)
    };
    struct ColorCelda {
        COLORREF fondo = 0;
        bool negrita = false;
    };
    using ColoresCelda = std::function<void(const std::string& campo, const EstadoCelda& estado, ColorCelda& color)>;
    // The question before a deletion ("Delete record?"); true goes on.
    using Pregunta = std::function<bool(const std::string& pregunta)>;
    // The text of an error the data source threw.
    using AlFallar = std::function<void(const std::string& texto)>;

    static RejillaDatos* Crea(HWND padre, int id, int x, int y, int ancho, int alto);
    static RejillaDatos* De(HWND hwnd);

    // The data shown; not owned, and must outlive the grid or be taken away with null.
    void ponDatos(DatosRejilla* datos);
    DatosRejilla* datos() const { return datos_; }

    void ponColoresCelda(ColoresCelda f) { coloresCelda_ = std::move(f); Redibuja(); }
    void ponPregunta(Pregunta f) { pregunta_ = std::move(f); }
    void ponAlFallar(AlFallar f) { alFallar_ = std::move(f); }
    // The focus came into the grid, or left it for another control of the same window; a
    // message box or another window taking the keyboard for a while is neither.
    void ponAlEntrar(std::function<void()> f) { alEntrar_ = std::move(f); }
    void ponAlSalir(std::function<void()> f) { alSalir_ = std::move(f); }

    // Windows colour values (colores.h). Without alternate or current-row colour, none is used.
    void ponColumnasFijas(int n);
    void ponLineasTitulo(int n);
    void ponColorCeldas(std::uint32_t c);
    void ponColorFilasAlternas(std::optional<std::uint32_t> c);
    void ponColorTitulos(std::uint32_t c);
    void ponColorTextoTitulos(std::uint32_t c);
    void ponColorFilaActual(std::optional<std::uint32_t> c);
    void ponPermiteAnadir(bool b) { permiteAnadir_ = b; }
    void ponPermiteBorrar(bool b) { permiteBorrar_ = b; }
    void ponEnterComoTab(bool b) { enterComoTab_ = b; }
    void ponBarraHorizontal(bool b);

    // The cursor: the data's current row and a column of the grid.
    int columnaActual() const { return columna_; }
    int filaSuperior() const { return superior_; }
    int filasVisibles() const;
    // Makes a row current, as the navigator does.
    void irAFila(int fila);
    // Moves the cursor as a click on a cell does; the fixed columns take no cursor.
    void irACelda(int fila, int columna);
    // Opens the cell editor on the cursor's cell; false on a read-only column.
    bool editaCelda();
    // The open cell editor (a Windows edit control), or null.
    HWND editor() const { return editor_; }
    // Ends an open cell editor, keeping what was typed; false when the data refused it.
    bool confirmaEdicion();
    // Column widths from the columns' widths in characters and their titles.
    void ajustaColumnas();
    int anchoColumna(int c) const;

    // Colours a cell is painted with, after the alternate rows and the cell colour handler.
    COLORREF fondoCelda(int fila, int columna, bool* negrita = nullptr, COLORREF* texto = nullptr) const;
    // A cell's rectangle in the client area (the title row above row 0), for tests and clicks.
    RECT rectanguloCelda(int fila, int columna) const;

protected:
    LRESULT Procesa(UINT mensaje, WPARAM w, LPARAM l) override;

private:
    RejillaDatos() = default;
    ~RejillaDatos() override;

    int PrimeraEditable() const;
    int AltoFila() const { return altoFila_; }
    int AltoTitulo() const { return altoTitulo_; }
    int AnchoIndicador() const;
    int AnchoFijas() const;
    void Redibuja();
    void ActualizaBarras();
    void HazVisible();
    void SigueDatos();
    bool Protege(const std::function<void()>& f);
    void Pinta(HDC dc);
    void PintaIndicador(HDC dc, const RECT& r, int fila) const;
    bool Tecla(WPARAM tecla);
    void Mueve(bool atras);
    void Borra();
    void AbreEditor(const std::wstring* inicial);
    void CierraEditor();
    void FocoCambiado();
    void Desplaza(int barra, WPARAM w);
    static LRESULT CALLBACK ProcEditor(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR datos);

    DatosRejilla* datos_ = nullptr;
    int observacion_ = 0;
    ColoresCelda coloresCelda_;
    Pregunta pregunta_;
    AlFallar alFallar_;
    std::function<void()> alEntrar_, alSalir_;

    int fijas_ = 0;
    int lineasTitulo_ = 1;
    std::uint32_t celdas_ = 0x80000005;
    std::optional<std::uint32_t> alternas_;
    std::uint32_t titulos_ = 0x8000000F;
    std::uint32_t textoTitulos_ = 0x000000;
    std::optional<std::uint32_t> filaActual_;
    bool permiteAnadir_ = false;
    bool permiteBorrar_ = false;
    bool enterComoTab_ = false;
    bool barraHorizontal_ = false;

    std::vector<int> anchos_;
    int altoFila_ = 17;
    int altoTitulo_ = 17;
    int columna_ = 0;
    int superior_ = 0;
    int desplazamientoX_ = 0;
    HWND editor_ = nullptr;
    int filaEditor_ = -1, columnaEditor_ = -1;
    bool cargandoEditor_ = false;  // the editor is being given the cell's text
    bool editorEdita_ = false;     // the editor's typing put the record into edit mode
    bool dentro_ = false;
    bool ocupada_ = false;  // moving the cursor or closing the editor: the data's news wait
};

}  // namespace controles
