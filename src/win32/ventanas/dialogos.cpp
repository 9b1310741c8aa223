#include "win32/ventanas/dialogos.h"

#include "files/win32.h"
#include "win32/ventanas/fuente_rejilla.h"

namespace ventanas {

namespace {

// The buttons of the next message box of this thread named in Spanish, whatever the system's
// language, as the program's own dialogs are.
thread_local HHOOK gancho = nullptr;

LRESULT CALLBACK NombraBotones(int codigo, WPARAM w, LPARAM l)
{
    if (codigo == HCBT_ACTIVATE) {
        HWND caja = reinterpret_cast<HWND>(w);
        if (HWND b = GetDlgItem(caja, IDOK))
            SetWindowTextW(b, L"Aceptar");
        if (HWND b = GetDlgItem(caja, IDCANCEL))
            SetWindowTextW(b, L"Cancelar");
        UnhookWindowsHookEx(gancho);
        gancho = nullptr;
    }
    return CallNextHookEx(nullptr, codigo, w, l);
}

int Caja(HWND dueno, const std::string& texto, UINT estilo, bool enEspanol)
{
    if (enEspanol && !gancho)
        gancho = SetWindowsHookExW(WH_CBT, &NombraBotones, nullptr, GetCurrentThreadId());
    // The arrow while the box waits for the user, whatever cursor the run had set.
    const HCURSOR antes = SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const int r = MessageBoxW(dueno, files::win32::widen(AnsiAUtf8(texto)).c_str(), kTituloAplicacion,
                              estilo | (dueno ? 0u : static_cast<UINT>(MB_TASKMODAL)));
    SetCursor(antes);
    if (gancho) {
        UnhookWindowsHookEx(gancho);
        gancho = nullptr;
    }
    return r;
}

}  // namespace

void Mensaje(HWND dueno, const std::string& texto)
{
    Caja(dueno, texto, MB_OK, true);
}

void Error(HWND dueno, const std::string& texto)
{
    Caja(dueno, texto, MB_OK | MB_ICONERROR, false);
}

bool Pregunta(HWND dueno, const std::string& texto)
{
    return Caja(dueno, texto, MB_OKCANCEL | MB_ICONQUESTION, true) == IDOK;
}

std::string TextoDelSistema(DWORD codigo)
{
    wchar_t* texto = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, codigo, 0, reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
    std::wstring t = n && texto ? std::wstring(texto, n) : L"Error " + std::to_wstring(codigo);
    if (texto)
        LocalFree(texto);
    while (!t.empty() && (t.back() == L'\n' || t.back() == L'\r' || t.back() == L' '))
        t.pop_back();
    return Utf8AAnsi(files::win32::narrow(t));
}

}  // namespace ventanas
