// Test support for the windows' behaviour: a view that records, in order, what the behaviour
// asks of it, and a temporary drive C with ZTEMP and a copy of the sample centre.
#pragma once

#include "desktop/vista.h"
#include "store/paths.h"
#include "support/sistema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pruebas {

namespace fs = std::filesystem;

class VistaPrueba : public desktop::VistaPrincipal {
public:
    std::vector<std::string> llamadas;  // "Muestra Panel1 1", "Mensaje Proceso finalizado", ...
    std::string carpeta;                // what the folder list shows
    std::deque<bool> respuestas;        // answers to Pregunta; "Aceptar" when empty
    std::function<void()> alPlantilla;  // what the user does in the template window
    int esperas = 0;                    // wait cursors set and not yet put back
    std::string falloIncrusta;          // the system's error for a handle that names no window

    void Muestra(const std::string& c, bool v) override { anota("Muestra " + c + (v ? " 1" : " 0")); }
    void Habilita(const std::string& c, bool h) override { anota("Habilita " + c + (h ? " 1" : " 0")); }
    void PonLugar(const std::string& c, const desktop::Rectangulo& r) override
    {
        anota("PonLugar " + c + " " + std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.ancho) +
              "," + std::to_string(r.alto));
    }
    void Mensaje(const std::string& t) override { anota("Mensaje " + t + (esperas > 0 ? " (espera)" : "")); }
    void Error(const std::string& t) override { anota("Error " + t); }
    bool Pregunta(const std::string& t) override
    {
        anota("Pregunta " + t);
        if (respuestas.empty())
            return true;
        const bool r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    void CursorEspera() override { ++esperas; anota("CursorEspera"); }
    void CursorNormal() override { esperas = 0; anota("CursorNormal"); }
    void ConfirmaEdicion(const std::string& r) override { anota("ConfirmaEdicion " + r); }
    void Cierra() override { anota("Cierra"); }
    void Ayuda(const std::string& a, int c) override { anota("Ayuda " + a + " " + std::to_string(c)); }
    std::string CarpetaElegida() override { return carpeta; }
    void Incrusta(std::uint32_t v) override
    {
        anota("Incrusta " + std::to_string(v));
        if (!falloIncrusta.empty())
            throw std::runtime_error(falloIncrusta);
    }
    void VentanaPlantilla() override
    {
        anota("VentanaPlantilla");
        if (alPlantilla)
            alPlantilla();
    }

    bool Hubo(const std::string& llamada) const
    {
        return std::find(llamadas.begin(), llamadas.end(), llamada) != llamadas.end();
    }
    // Where a call stands in the record; -1 when it was never made.
    long Posicion(const std::string& llamada) const
    {
        const auto it = std::find(llamadas.begin(), llamadas.end(), llamada);
        return it == llamadas.end() ? -1 : static_cast<long>(it - llamadas.begin());
    }
    void Olvida() { llamadas.clear(); }

private:
    void anota(std::string llamada) { llamadas.push_back(std::move(llamada)); }
};

// A temporary folder that stands for drive C, with ZTEMP, and the sample centre in "zare".
class UnidadC : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> contador{0};
        raiz = prueba::TemporalFueraDeC() /
               ("desktop_tests." + std::to_string(prueba::IdProceso()) + ".c" + std::to_string(contador++));
        fs::remove_all(raiz);
        ztemp = raiz / "ZTEMP";
        zare = raiz / "zare";
        fs::create_directories(ztemp);
        fs::create_directories(zare);
        for (const auto& e : fs::directory_iterator(prueba::Ruta(prueba::RutaCompilada(SOURCE_DIR "/samples/zare"))))
            fs::copy_file(e.path(), zare / e.path().filename());
        store::setDriveC(prueba::Texto(raiz));
    }
    void TearDown() override
    {
        store::setDriveC("");
        std::error_code ec;
        fs::remove_all(raiz, ec);
    }

    fs::path raiz, ztemp, zare;
};

}  // namespace pruebas
