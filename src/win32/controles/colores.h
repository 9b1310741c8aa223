// Windows colour values as the forms give them: 0x00BBGGRR, or a system colour by index when
// the high byte is 0x80. System colours are asked of Windows (GetSysColor) when drawn, so the
// controls follow the user's colour scheme.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace controles {

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

constexpr std::uint32_t Background = 0x80000001;
constexpr std::uint32_t Window = 0x80000005;
constexpr std::uint32_t WindowText = 0x80000008;
constexpr std::uint32_t Highlight = 0x8000000D;
constexpr std::uint32_t HighlightText = 0x8000000E;
constexpr std::uint32_t BtnFace = 0x8000000F;
constexpr std::uint32_t BtnShadow = 0x80000010;
constexpr std::uint32_t GrayText = 0x80000011;
constexpr std::uint32_t BtnText = 0x80000012;
constexpr std::uint32_t InactiveCaptionText = 0x80000013;
constexpr std::uint32_t BtnHighlight = 0x80000014;
constexpr std::uint32_t DkShadow3D = 0x80000015;
constexpr std::uint32_t Light3D = 0x80000016;
constexpr std::uint32_t InfoText = 0x80000017;
constexpr std::uint32_t InfoBk = 0x80000018;
constexpr std::uint32_t GradientInactiveCaption = 0x8000001C;
}  // namespace cl

// The colour a Windows colour value stands for now.
COLORREF ColorWindows(std::uint32_t valor);

// a and b mixed, `parteDeB` from 0 to 1.
COLORREF Mezcla(COLORREF a, COLORREF b, double parteDeB);

// A colour as the form files write it: a colour name ("clInfoBk", "clRed"), or a value in
// decimal ("8246265") or hex ("$00FFEEDD"). False, and `valor` untouched, for an unknown text.
bool ColorDeFormulario(const std::string& texto, std::uint32_t& valor);

}  // namespace controles
