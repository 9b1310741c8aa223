// Windows colour values as the windows are described with them: 0x00BBGGRR, or a system colour
// by its index when the high byte is 0x80 (each toolkit asks its own system for those).
#pragma once

#include <cstdint>

namespace desktop {

using Color = std::uint32_t;

// No colour given: the control keeps its toolkit's own.
constexpr Color kSinColor = 0xFFFFFFFFu;

namespace cl {
constexpr Color Black = 0x000000;
constexpr Color Maroon = 0x000080;
constexpr Color Red = 0x0000FF;
constexpr Color Lime = 0x00FF00;
constexpr Color Navy = 0x800000;
constexpr Color Blue = 0xFF0000;
constexpr Color Aqua = 0xFFFF00;
constexpr Color Silver = 0xC0C0C0;
constexpr Color White = 0xFFFFFF;

constexpr Color Background = 0x80000001;  // desktop
constexpr Color Window = 0x80000005;
constexpr Color Highlight = 0x8000000D;
constexpr Color HighlightText = 0x8000000E;
constexpr Color BtnFace = 0x8000000F;
constexpr Color BtnShadow = 0x80000010;
constexpr Color BtnText = 0x80000012;
constexpr Color InactiveCaptionText = 0x80000013;
constexpr Color BtnHighlight = 0x80000014;
constexpr Color DkShadow3D = 0x80000015;
constexpr Color Light3D = 0x80000016;
constexpr Color InfoText = 0x80000017;
constexpr Color InfoBk = 0x80000018;
constexpr Color GradientInactiveCaption = 0x8000001C;
}  // namespace cl

constexpr bool EsColorDeSistema(Color c)
{
    return c != kSinColor && (c & 0xFF000000u) == 0x80000000u;
}

}  // namespace desktop
