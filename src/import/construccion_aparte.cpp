#include "import/construccion_aparte.h"

#include "files/file_io.h"

#include <algorithm>
#include <system_error>

namespace import {

ConstruccionAparte::ConstruccionAparte(std::function<void(TablasAparte&)> construye, bool puede)
    : construye_(std::move(construye))
{
    if (!puede || &files::fileSystem() != &files::systemFileSystem())
        return;
    try {
        hilo_ = std::thread([this] {
            try {
                construye_(tablas_);
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

bool ConstruccionAparte::PonEnSuSitio(bool puede)
{
    if (hilo_.joinable())
        hilo_.join();
    const bool sirven = hechas_ && puede && std::none_of(tablas_.begin(), tablas_.end(), [](const auto& tabla) {
                            return tabla->placeInUse();
                        });
    if (!sirven) {
        tablas_.clear();
        return false;
    }
    for (const auto& tabla : tablas_)
        tabla->commit();
    return true;
}

}  // namespace import
