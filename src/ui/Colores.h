// Windows colour values as the forms give them: 0x00BBGGRR, or a system colour by index when
// the high byte is 0x80.
#pragma once

#include <QColor>

#include <cstdint>

namespace ui {

namespace cl {
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t Maroon = 0x000080;
constexpr std::uint32_t Red = 0x0000FF;
constexpr std::uint32_t Lime = 0x00FF00;
constexpr std::uint32_t Navy = 0x800000;
constexpr std::uint32_t Blue = 0xFF0000;
constexpr std::uint32_t Aqua = 0xFFFF00;
constexpr std::uint32_t Silver = 0xC0C0C0;
constexpr std::uint32_t White = 0xFFFFFF;

constexpr std::uint32_t Background = 0x80000001;  // desktop
constexpr std::uint32_t Highlight = 0x8000000D;
constexpr std::uint32_t HighlightText = 0x8000000E;
constexpr std::uint32_t BtnFace = 0x8000000F;
constexpr std::uint32_t BtnShadow = 0x80000010;
constexpr std::uint32_t BtnText = 0x80000012;
constexpr std::uint32_t InactiveCaptionText = 0x80000013;
constexpr std::uint32_t BtnHighlight = 0x80000014;
constexpr std::uint32_t DkShadow3D = 0x80000015;
constexpr std::uint32_t Light3D = 0x80000016;
constexpr std::uint32_t InfoText = 0x80000017;
constexpr std::uint32_t InfoBk = 0x80000018;
constexpr std::uint32_t GradientInactiveCaption = 0x8000001C;
}  // namespace cl

// The colour of a Windows colour value. System colours are the system's own on Windows and,
// elsewhere, those of the Windows XP scheme the screens were drawn with.
QColor ColorWindows(std::uint32_t valor);

// a and b mixed, `parteDeB` from 0 to 1.
QColor Mezcla(const QColor& a, const QColor& b, double parteDeB);

}  // namespace ui

namespace ui {

// A colour as the form files write it: a colour name ("clInfoBk", "clRed") or a Windows colour
// value in decimal ("8246265") or hex ("$00FFEEDD"). An unknown text gives an invalid colour.
QColor ColorDeFormulario(const QString& texto);

}  // namespace ui
