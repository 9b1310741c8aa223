#include "ui/Colores.h"

#include <array>

namespace ui {

namespace {

// The Qt program runs on Linux, where Windows has no system colours to ask: the Windows XP
// "Luna" scheme stands for them, by system colour index.
constexpr std::array<QRgb, 31> kSistema = {
    qRgb(212, 208, 200),  //  0 scroll bar
    qRgb(0, 78, 152),     //  1 desktop
    qRgb(0, 84, 227),     //  2 active caption
    qRgb(122, 150, 223),  //  3 inactive caption
    qRgb(255, 255, 255),  //  4 menu
    qRgb(255, 255, 255),  //  5 window
    qRgb(0, 0, 0),        //  6 window frame
    qRgb(0, 0, 0),        //  7 menu text
    qRgb(0, 0, 0),        //  8 window text
    qRgb(255, 255, 255),  //  9 caption text
    qRgb(212, 208, 200),  // 10 active border
    qRgb(212, 208, 200),  // 11 inactive border
    qRgb(128, 128, 128),  // 12 application workspace
    qRgb(49, 106, 197),   // 13 highlight
    qRgb(255, 255, 255),  // 14 highlight text
    qRgb(236, 233, 216),  // 15 button face
    qRgb(172, 168, 153),  // 16 button shadow
    qRgb(172, 168, 153),  // 17 grey text
    qRgb(0, 0, 0),        // 18 button text
    qRgb(216, 228, 248),  // 19 inactive caption text
    qRgb(255, 255, 255),  // 20 button highlight
    qRgb(113, 111, 100),  // 21 3D dark shadow
    qRgb(241, 239, 226),  // 22 3D light
    qRgb(0, 0, 0),        // 23 tooltip text
    qRgb(255, 255, 225),  // 24 tooltip background
    qRgb(181, 181, 181),  // 25 alternate button face
    qRgb(0, 0, 128),      // 26 hot tracking
    qRgb(61, 149, 255),   // 27 gradient active caption
    qRgb(157, 185, 235),  // 28 gradient inactive caption
    qRgb(49, 106, 197),   // 29 menu highlight
    qRgb(236, 233, 216),  // 30 menu bar
};

}  // namespace

QColor ColorWindows(std::uint32_t valor)
{
    if (valor == desktop::kSinColor)
        return {};
    if ((valor & 0xFF000000u) == 0x80000000u) {
        const std::uint32_t indice = valor & 0xFFu;
        return indice < kSistema.size() ? QColor::fromRgb(kSistema[indice]) : QColor(Qt::black);
    }
    return QColor(static_cast<int>(valor & 0xFF), static_cast<int>((valor >> 8) & 0xFF),
                  static_cast<int>((valor >> 16) & 0xFF));
}

QColor Mezcla(const QColor& a, const QColor& b, double parteDeB)
{
    const double p = parteDeB < 0 ? 0 : (parteDeB > 1 ? 1 : parteDeB);
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - p) + b.redF() * p),
                            static_cast<float>(a.greenF() * (1 - p) + b.greenF() * p),
                            static_cast<float>(a.blueF() * (1 - p) + b.blueF() * p));
}

}  // namespace ui

