#include "import/construccion_aparte.h"

#include "files/file_io.h"
#include "files/folders.h"

#include <algorithm>
#include <system_error>

namespace import {

ConstruccionAparte::ConstruccionAparte(std::function<void(TablasAparte&)> construye)
    : construye_(std::move(construye))
{
    if (!files::systemFileSystemInUse())
        return;
    try {
        hilo_ = std::thread([this] {
            try {
                construye_(hecho_);
                hechas_ = true;
            } catch (...) {
                // Built again the usual way, which meets the same error where it belongs.
            }
        });
    } catch (const std::system_error&) {
    }
}

ConstruccionAparte::~ConstruccionAparte()
{
    if (hilo_.joinable())
        hilo_.join();
}

bool ConstruccionAparte::PonEnSuSitio()
{
    if (hilo_.joinable())
        hilo_.join();
    const auto sigue = [](const std::string& ruta) { return files::fileExists(ruta); };
    const auto retenida = [](const auto& tabla) { return tabla->placeInUse(); };
    const bool sirven = hechas_ && std::all_of(hecho_.archivos.begin(), hecho_.archivos.end(), sigue) &&
                        std::none_of(hecho_.tablas.begin(), hecho_.tablas.end(), retenida);
    if (!sirven) {
        hecho_ = {};
        return false;
    }
    for (const auto& tabla : hecho_.tablas)
        tabla->commit();
    return true;
}

}  // namespace import
