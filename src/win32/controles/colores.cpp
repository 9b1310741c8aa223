#include "win32/controles/colores.h"

#include <cctype>
#include <cstdlib>
#include <utility>

namespace controles {

COLORREF ColorWindows(std::uint32_t valor)
{
    if ((valor & 0xFF000000u) == 0x80000000u)
        return GetSysColor(static_cast<int>(valor & 0xFFu));
    return static_cast<COLORREF>(valor & 0x00FFFFFFu);
}

COLORREF Mezcla(COLORREF a, COLORREF b, double parteDeB)
{
    const double p = parteDeB < 0 ? 0 : (parteDeB > 1 ? 1 : parteDeB);
    auto mezcla = [p](int x, int y) { return static_cast<BYTE>(x * (1 - p) + y * p + 0.5); };
    return RGB(mezcla(GetRValue(a), GetRValue(b)), mezcla(GetGValue(a), GetGValue(b)),
               mezcla(GetBValue(a), GetBValue(b)));
}

bool ColorDeFormulario(const std::string& texto, std::uint32_t& valor)
{
    static const std::pair<const char*, std::uint32_t> nombres[] = {
        {"clBlack", cl::Black},
        {"clMaroon", cl::Maroon},
        {"clRed", cl::Red},
        {"clLime", cl::Lime},
        {"clNavy", cl::Navy},
        {"clBlue", cl::Blue},
        {"clAqua", cl::Aqua},
        {"clSilver", cl::Silver},
        {"clWhite", cl::White},
        {"clBackground", cl::Background},
        {"clWindow", cl::Window},
        {"clWindowText", cl::WindowText},
        {"clHighlight", cl::Highlight},
        {"clHighlightText", cl::HighlightText},
        {"clBtnFace", cl::BtnFace},
        {"clBtnShadow", cl::BtnShadow},
        {"clGrayText", cl::GrayText},
        {"clBtnText", cl::BtnText},
        {"clInactiveCaptionText", cl::InactiveCaptionText},
        {"clBtnHighlight", cl::BtnHighlight},
        {"cl3DDkShadow", cl::DkShadow3D},
        {"cl3DLight", cl::Light3D},
        {"clInfoText", cl::InfoText},
        {"clInfoBk", cl::InfoBk},
        {"clGradientInactiveCaption", cl::GradientInactiveCaption},
    };
    const auto inicio = texto.find_first_not_of(" \t");
    if (inicio == std::string::npos)
        return false;
    const std::string t = texto.substr(inicio, texto.find_last_not_of(" \t") - inicio + 1);
    for (const auto& [nombre, v] : nombres) {
        if (t == nombre) {
            valor = v;
            return true;
        }
    }
    const bool hex = t[0] == '$';
    const std::string cifras = hex ? t.substr(1) : t;
    if (cifras.empty() || cifras.size() > (hex ? 8u : 10u))
        return false;
    for (char c : cifras) {
        const bool valida = hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
        if (!valida)
            return false;
    }
    const unsigned long long v = std::strtoull(cifras.c_str(), nullptr, hex ? 16 : 10);
    if (v > 0xFFFFFFFFull)
        return false;
    valor = static_cast<std::uint32_t>(v);
    return true;
}

}  // namespace controles
