// Works TransOrbelinZARE.exe through window messages, as a person would with mouse and keys,
// finding its windows by class and its controls by their IDs (win32/ventanas/identificadores.h).
// Each case starts the program, drives it and checks what it shows; the files it leaves are
// compared with the Linux programs' by ventanas.sh.
//   conductor EXE importa UNIDAD_C CARPETA NIVELES.csv
//   conductor EXE exporta UNIDAD_C CARPETA HORA TEXTO
//   conductor EXE incrusta UNIDAD_C CARPETA
//   conductor EXE ayuda UNIDAD_C CARPETA ZARE.CHM
//   conductor EXE capturas UNIDAD_C CARPETA MARCAS    (for scripts/capturas-windows)
// EXE is a copy of the program in a folder of its own, where its "Orbelin.ini" goes.
#include "desktop/controles.h"
#include "files/win32.h"
#include "win32/ventanas/identificadores.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

int fallos = 0;
std::string botonCaja;  // the OK button's text of the last message box answered
std::wstring exe, unidadC, carpeta;

void Falla(const std::string& que)
{
    std::fprintf(stderr, "FALLO: %s\n", que.c_str());
    ++fallos;
}

void Comprueba(bool ok, const std::string& que)
{
    if (!ok)
        Falla(que);
}

// Waits for a condition, keeping this thread's own windows answering (the host window the test
// makes receives messages from the program).
bool Espera(const std::function<bool()>& condicion, DWORD ms = 20000)
{
    const DWORD inicio = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        if (condicion())
            return true;
        if (GetTickCount() - inicio > ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

struct Programa {
    PROCESS_INFORMATION pi{};
    DWORD hilo = 0;

    bool Arranca(const std::wstring& parametros)
    {
        std::wstring linea = L"\"" + exe + L"\" --unidad-c \"" + unidadC + L"\" " + parametros;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (!CreateProcessW(exe.c_str(), linea.data(), nullptr, nullptr, FALSE, 0, nullptr, carpeta.c_str(), &si, &pi))
            return false;
        WaitForInputIdle(pi.hProcess, 10000);
        return true;
    }
    bool Vivo() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    bool Termina(DWORD ms = 15000) const
    {
        return Espera([&] { return !Vivo(); }, ms);
    }
    void Mata()
    {
        if (pi.hProcess && Vivo())
            TerminateProcess(pi.hProcess, 1);
        if (pi.hProcess) {
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        pi = {};
    }
    ~Programa() { Mata(); }

    // The windows of the program's process, top-level ones and children of other windows alike.
    std::vector<HWND> Ventanas(const wchar_t* clase) const
    {
        struct Busca {
            DWORD pid;
            const wchar_t* clase;
            std::vector<HWND> hallados;
        } b{pi.dwProcessId, clase, {}};
        auto mira = [](HWND h, LPARAM l) -> BOOL {
            auto* b = reinterpret_cast<Busca*>(l);
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            wchar_t c[64];
            if (pid == b->pid && GetClassNameW(h, c, 64) && std::wstring(c) == b->clase)
                b->hallados.push_back(h);
            return TRUE;
        };
        EnumWindows(mira, reinterpret_cast<LPARAM>(&b));
        if (b.hallados.empty()) {
            // Embedded, the window is a child of the host's.
            EnumWindows([](HWND h, LPARAM l) -> BOOL {
                EnumChildWindows(h, [](HWND c, LPARAM l2) -> BOOL {
                    auto* b = reinterpret_cast<Busca*>(l2);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(c, &pid);
                    wchar_t n[64];
                    if (pid == b->pid && GetClassNameW(c, n, 64) && std::wstring(n) == b->clase)
                        b->hallados.push_back(c);
                    return TRUE;
                }, l);
                return TRUE;
            }, reinterpret_cast<LPARAM>(&b));
        }
        return b.hallados;
    }
    HWND Ventana(const wchar_t* clase) const
    {
        const auto v = Ventanas(clase);
        return v.empty() ? nullptr : v.front();
    }
    HWND EsperaVentana(const wchar_t* clase) const
    {
        HWND h = nullptr;
        Espera([&] { return (h = Ventana(clase)) != nullptr && IsWindowVisible(h); });
        return h;
    }
    // Started stand-alone: its main window once it shows, or nullptr after saying what failed.
    HWND ArrancaSolo()
    {
        if (!Arranca(L"")) {
            Falla("the program does not start");
            return nullptr;
        }
        HWND v = EsperaVentana(ventanas::kClasePrincipal);
        if (!v)
            Falla("no main window");
        return v;
    }
};

std::string Texto(HWND h)
{
    wchar_t t[2048];
    const int n = GetWindowTextW(h, t, 2048);
    return files::win32::narrow(std::wstring(t, static_cast<std::size_t>(std::max(n, 0))));
}

// A control of one of the program's windows by its name in the window's description.
HWND Control(HWND ventana, const desktop::Ventana& d, const std::string& nombre)
{
    const int id = ventanas::IdControl(d, nombre);
    HWND hallado = nullptr;
    struct Busca {
        int id;
        HWND* hallado;
    } b{id, &hallado};
    EnumChildWindows(ventana, [](HWND h, LPARAM l) -> BOOL {
        auto* b = reinterpret_cast<Busca*>(l);
        if (GetDlgCtrlID(h) == b->id) {
            *b->hallado = h;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&b));
    return hallado;
}

// A click on a button as the mouse gives it.
void Pulsa(HWND boton)
{
    RECT r;
    GetClientRect(boton, &r);
    const LPARAM punto = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(boton, WM_LBUTTONDOWN, MK_LBUTTON, punto);
    PostMessageW(boton, WM_LBUTTONUP, 0, punto);
}

// A click on one of the navigator's ten buttons (0 first ... 9 refresh), which share its width.
void PulsaNavegador(HWND navegador, int boton)
{
    RECT r;
    GetClientRect(navegador, &r);
    const LPARAM punto = MAKELPARAM(boton * r.right / 10 + r.right / 20, r.bottom / 2);
    // Sent, not posted: the buttons open no window, and the next key must find the move done.
    DWORD_PTR x;
    SendMessageTimeoutW(navegador, WM_LBUTTONDOWN, MK_LBUTTON, punto, SMTO_NORMAL, 10000, &x);
    SendMessageTimeoutW(navegador, WM_LBUTTONUP, 0, punto, SMTO_NORMAL, 10000, &x);
}

// The message box the program shows now, if any.
HWND CajaMensaje(const Programa& p)
{
    return p.Ventana(L"#32770");
}

std::string TextoCaja(HWND caja)
{
    return Texto(GetDlgItem(caja, 0xFFFF));
}

// Waits for a message box, answers it with OK and gives its text ("" when none came).
std::string AceptaCaja(const Programa& p, DWORD ms = 30000)
{
    HWND caja = nullptr;
    if (!Espera([&] { return (caja = CajaMensaje(p)) != nullptr && IsWindowVisible(caja); }, ms))
        return {};
    const std::string texto = TextoCaja(caja);
    const std::string titulo = Texto(caja);
    botonCaja = Texto(GetDlgItem(caja, IDOK));
    Comprueba(titulo == "TransOrbelosZARECSV", "message box titled '" + titulo + "'");
    PostMessageW(caja, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(caja, IDOK)));
    Espera([&] { return !IsWindow(caja); }, 10000);
    return texto;
}

// Keys into a grid: to its cell editor when one is open, else to the grid.
HWND Destino(HWND rejilla)
{
    HWND editor = FindWindowExW(rejilla, nullptr, L"Edit", nullptr);
    return editor ? editor : rejilla;
}

void Tecla(HWND rejilla, WPARAM tecla)
{
    DWORD_PTR r;
    SendMessageTimeoutW(Destino(rejilla), WM_KEYDOWN, tecla, 1, SMTO_NORMAL, 10000, &r);
    SendMessageTimeoutW(Destino(rejilla), WM_KEYUP, tecla, 0xC0000001, SMTO_NORMAL, 10000, &r);
}

void Escribe(HWND rejilla, const std::string& texto)
{
    for (wchar_t c : files::win32::widen(texto)) {
        DWORD_PTR r;
        SendMessageTimeoutW(Destino(rejilla), WM_CHAR, c, 1, SMTO_NORMAL, 10000, &r);
    }
}

std::string LeeIni(const std::wstring& ini)
{
    wchar_t v[64] = L"";
    GetPrivateProfileStringW(L"Transformadores", L"Transformado", L"<ninguno>", v, 64, ini.c_str());
    return files::win32::narrow(v);
}

std::wstring Ini()
{
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + L"Orbelin.ini";
}

// The course sheet's codes, row by row in the order of the course grid (by CODCURSO).
std::vector<std::vector<std::string>> LeeNiveles(const std::wstring& ruta)
{
    std::string todo;
    if (FILE* a = _wfopen(ruta.c_str(), L"rb")) {
        char bloque[4096];
        std::size_t n;
        while ((n = std::fread(bloque, 1, sizeof bloque, a)) > 0)
            todo.append(bloque, n);
        std::fclose(a);
    }
    std::istringstream f(todo);
    std::string linea;
    std::getline(f, linea);
    std::vector<std::vector<std::string>> filas;
    while (std::getline(f, linea)) {
        if (!linea.empty() && linea.back() == '\r')
            linea.pop_back();
        std::vector<std::string> campos;
        std::string campo;
        bool comillas = false;
        for (char c : linea) {
            if (c == '"')
                comillas = !comillas;
            else if (c == ',' && !comillas) {
                campos.push_back(campo);
                campo.clear();
            } else
                campo += c;
        }
        campos.push_back(campo);
        if (campos.size() == 5)
            filas.push_back({campos[0], campos[2], campos[3], campos[4]});
    }
    std::sort(filas.begin(), filas.end());
    return filas;
}

void Importa(const std::wstring& niveles)
{
    const desktop::Ventana& d = desktop::VentanaPrincipal();
    Programa p;
    HWND v = p.ArrancaSolo();
    if (!v)
        return;
    Comprueba(Texto(v) == "Exportar e importar datos entre Orbelin y ZARE (Formato CSV)", "main window's caption");

    // The folder list shows the folder the program started in; the import direction reads the calls.
    Pulsa(Control(v, d, "BExportar"));
    HWND panel1 = Control(v, d, "Panel1");
    if (!Espera([&] { return IsWindowVisible(panel1); }))
        return Falla("the call panel did not appear: " + TextoCaja(CajaMensaje(p)));
    Comprueba(!IsWindowVisible(Control(v, d, "Directorios")), "the folder list hidden under the call panel");
    Comprueba(!IsWindowEnabled(Control(v, d, "BExportar")), "the import button disabled");

    // The first call (2026) is the current row: "Continuar" reads its courses.
    Pulsa(Control(v, d, "BitBtn1"));
    HWND panel2 = Control(v, d, "Panel2");
    if (!Espera([&] { return IsWindowVisible(panel2); }))
        return Falla("the course screen did not appear: " + TextoCaja(CajaMensaje(p)));

    // Every course's codes typed in, but the last course's CURSO.
    const auto filas = LeeNiveles(niveles);
    HWND rejilla = Control(v, d, "wwDBGridNIVIMP");
    Tecla(rejilla, VK_HOME);
    for (std::size_t i = 0; i < filas.size(); ++i) {
        for (int c = 1; c <= 3; ++c) {
            const bool ultima = i + 1 == filas.size() && c == 3;
            if (!ultima && !filas[i][static_cast<std::size_t>(c)].empty())
                Escribe(rejilla, filas[i][static_cast<std::size_t>(c)]);
            if (!ultima)
                Tecla(rejilla, VK_TAB);
        }
    }
    Pulsa(Control(v, d, "BitBtn2"));
    HWND label9 = Control(v, d, "Label9");
    if (!Espera([&] { return IsWindowVisible(label9); }))
        return Falla("no warning for the incomplete course");
    Comprueba(Texto(label9).find("NIVEL o CURSO") != std::string::npos, "the warning's text");
    Comprueba(Espera([&] { return IsWindowVisible(Control(v, d, "Button2")) && !IsWindowVisible(Control(v, d, "BitBtn2")); }, 5000),
              "\"Volver a los Datos\" in place of \"Aceptar\"");

    // Back to the data: the missing code typed into the last row, and the import run.
    Pulsa(Control(v, d, "Button2"));
    if (!Espera([&] { return !IsWindowVisible(label9) && IsWindowVisible(Control(v, d, "BitBtn2")); }))
        return Falla("\"Volver a los Datos\" did not bring the grid back");
    for (std::size_t i = 1; i < filas.size(); ++i)
        Tecla(rejilla, VK_DOWN);
    Tecla(rejilla, VK_END);
    Escribe(rejilla, filas.back()[3]);
    Pulsa(Control(v, d, "BitBtn2"));
    const std::string fin = AceptaCaja(p, 120000);
    Comprueba(fin == "Proceso finalizado", "the import ended with '" + fin + "'");
    Comprueba(botonCaja == "Aceptar", "the message's button is \"Aceptar\", not '" + botonCaja + "'");
    Comprueba(!IsWindowVisible(panel2), "the course screen hidden after the run");
    Comprueba(Espera([&] { return !IsWindowEnabled(Control(v, d, "BImportar")); }, 5000),
              "the export button disabled after the import");
    Pulsa(Control(v, d, "BClose"));
    Comprueba(p.Termina(), "\"&Salir\" ends the program");
}

void Exporta(int hora, const std::string& texto)
{
    const desktop::Ventana& d = desktop::VentanaPrincipal();
    const desktop::Ventana& dp = desktop::VentanaPlantilla();
    Programa p;
    HWND v = p.ArrancaSolo();
    if (!v)
        return;
    Pulsa(Control(v, d, "BImportar"));
    HWND plantilla = p.EsperaVentana(ventanas::kClasePlantilla);
    if (!plantilla)
        return Falla("no template window: " + TextoCaja(CajaMensaje(p)));
    Comprueba(Texto(plantilla) == "Control de Plantilla Horaria", "the template window's caption");
    Comprueba(!IsWindowEnabled(v), "the main window disabled while the template window is open");
    RECT r;
    GetClientRect(plantilla, &r);
    Comprueba(r.right == 595 && r.bottom == 310, "the template window's client area 595 x 310");
    HWND rejilla = Control(plantilla, dp, "PlantiHorDBGrid");
    // The grid reads the template when it takes the focus: its scroll range grows to the rows.
    Espera([&] {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        return GetScrollInfo(rejilla, SB_VERT, &si) && si.nMax >= 19;
    }, 5000);
    // The navigator takes the grid to the hour: last, first, then forward one by one.
    HWND navegador = Control(plantilla, dp, "wwDBNavigator1");
    PulsaNavegador(navegador, 5);
    PulsaNavegador(navegador, 0);
    for (int i = 1; i < hora; ++i)
        PulsaNavegador(navegador, 3);
    Tecla(rejilla, VK_RIGHT);
    Escribe(rejilla, texto);
    Pulsa(Control(plantilla, dp, "BitBtn2"));
    const std::string fin = AceptaCaja(p, 120000);
    Comprueba(fin == "Proceso finalizado", "the export ended with '" + fin + "'");
    Comprueba(!IsWindow(plantilla) || !IsWindowVisible(plantilla), "the template window closed");
    Comprueba(IsWindowEnabled(v), "the main window enabled again");
    Comprueba(Espera([&] {
        return !IsWindowEnabled(Control(v, d, "BImportar")) && !IsWindowEnabled(Control(v, d, "BExportar"));
    }, 5000), "both direction buttons disabled after the export");
    PostMessageW(v, WM_CLOSE, 0, 0);
    Comprueba(p.Termina(), "the close box ends the program");
}

LRESULT CALLBACK ProcAnfitriona(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProcW(h, m, w, l);
}

// The program's main window once it shows inside the host's window; nullptr if it never does.
HWND EsperaIncrustada(HWND anfitriona)
{
    HWND v = nullptr;
    Espera([&] { return (v = FindWindowExW(anfitriona, nullptr, ventanas::kClasePrincipal, nullptr)) != nullptr && IsWindowVisible(v); });
    return v;
}

HWND CreaAnfitriona()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProcAnfitriona;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"AnfitrionaDePrueba";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, L"Orbelin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700, 400,
                             nullptr, nullptr, wc.hInstance, nullptr);
    Espera([] { return false; }, 200);
    return h;
}

std::wstring Hex(HWND h)
{
    wchar_t t[32];
    wsprintfW(t, L"%x", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(h)));
    return t;
}

void Incrusta()
{
    const desktop::Ventana& d = desktop::VentanaPrincipal();
    const std::wstring ini = Ini();

    {  // Embedded: a borderless child at (2, 2) of the host's client area, "&Salir" writes 0.
        DeleteFileW(ini.c_str());
        HWND anfitriona = CreaAnfitriona();
        Programa p;
        p.Arranca(L"IMPORTAR " + Hex(anfitriona));
        HWND v = EsperaIncrustada(anfitriona);
        if (!v) {
            Falla("embedded: no window inside the host's");
        } else {
            Comprueba(GetParent(v) == anfitriona && IsChild(anfitriona, v), "embedded: GetParent and IsChild");
            const LONG_PTR estilo = GetWindowLongPtrW(v, GWL_STYLE);
            Comprueba((estilo & WS_CHILD) && !(estilo & WS_CAPTION) && !(estilo & WS_THICKFRAME),
                      "embedded: a child window without border");
            RECT r;
            GetWindowRect(v, &r);
            MapWindowPoints(nullptr, anfitriona, reinterpret_cast<POINT*>(&r), 2);
            Comprueba(r.left == 2 && r.top == 2, "embedded: at (2, 2) of the host's client area, not (" +
                                                     std::to_string(r.left) + ", " + std::to_string(r.top) + ")");
            RECT c;
            GetClientRect(v, &c);
            Comprueba(c.right == 599 && c.bottom == 269, "embedded: client area 599 x 269, not " +
                                                             std::to_string(c.right) + " x " + std::to_string(c.bottom));
            Comprueba(!IsWindowVisible(Control(v, d, "Draw3D2")), "importar: the import panel hidden");
            RECT p3;
            GetWindowRect(Control(v, d, "Draw3D3"), &p3);
            Comprueba(p3.right - p3.left == 599, "importar: the export panel fills the upper area");
            Pulsa(Control(v, d, "BClose"));
            Comprueba(p.Termina(), "embedded: \"&Salir\" ends the program");
            Comprueba(LeeIni(ini) == "0", "embedded: \"&Salir\" at once records 0, not " + LeeIni(ini));
        }
        DestroyWindow(anfitriona);
    }
    {  // The host's window destroyed after the import started: the record holds 1, the program ends.
        DeleteFileW(ini.c_str());
        HWND anfitriona = CreaAnfitriona();
        Programa p;
        p.Arranca(L"exportar " + Hex(anfitriona));
        HWND v = EsperaIncrustada(anfitriona);
        if (!v) {
            Falla("host destroyed: no window inside the host's");
        } else {
            Comprueba(!IsWindowVisible(Control(v, d, "Draw3D3")), "exportar: the export panel hidden");
            Pulsa(Control(v, d, "BExportar"));
            Comprueba(Espera([&] { return IsWindowVisible(Control(v, d, "Panel1")); }), "embedded: the call panel");
            DestroyWindow(anfitriona);
            Comprueba(p.Termina(), "host destroyed: the program ends");
            Comprueba(LeeIni(ini) == "1", "host destroyed: the record holds 1, not " + LeeIni(ini));
        }
    }
    {  // "exportar 0": borderless at (2, 2) of the screen; a record that cannot be written is said
       // and the window stays, and the next close writes it.
        DeleteFileW(ini.c_str());
        CreateDirectoryW(ini.c_str(), nullptr);
        Programa p;
        p.Arranca(L"exportar 0");
        HWND v = p.EsperaVentana(ventanas::kClasePrincipal);
        if (!v) {
            Falla("exportar 0: no window");
        } else {
            Comprueba(GetParent(v) == nullptr, "exportar 0: no parent");
            RECT r;
            GetWindowRect(v, &r);
            Comprueba(r.left == 2 && r.top == 2, "exportar 0: at (2, 2) of the screen");
            Comprueba(!(GetWindowLongPtrW(v, GWL_STYLE) & WS_CAPTION), "exportar 0: no border");
            PostMessageW(v, WM_CLOSE, 0, 0);
            const std::string error = AceptaCaja(p);
            Comprueba(error.rfind("Unable to write to ", 0) == 0 && error.find("Orbelin.ini") != std::string::npos,
                      "an unwritable record: '" + error + "'");
            Espera([] { return false; }, 300);
            Comprueba(p.Vivo() && IsWindow(v), "an unwritable record keeps the window open");
            RemoveDirectoryW(ini.c_str());
            PostMessageW(v, WM_CLOSE, 0, 0);
            Comprueba(p.Termina(), "exportar 0: a second close ends the program");
            Comprueba(LeeIni(ini) == "0", "exportar 0: the record written at the second close");
        }
        RemoveDirectoryW(ini.c_str());
    }
    {  // A handle that names no window: the system's message, then the program by itself.
        DeleteFileW(ini.c_str());
        Programa p;
        p.Arranca(L"importar 1");
        const std::string error = AceptaCaja(p);
        Comprueba(!error.empty(), "a bad handle: an error box");
        HWND v = p.EsperaVentana(ventanas::kClasePrincipal);
        if (!v) {
            Falla("a bad handle: no window");
        } else {
            Comprueba(GetParent(v) == nullptr && (GetWindowLongPtrW(v, GWL_STYLE) & WS_CAPTION),
                      "a bad handle: a window of its own with its caption");
            Comprueba(IsWindowVisible(Control(v, d, "Draw3D2")) && IsWindowVisible(Control(v, d, "Draw3D3")),
                      "a bad handle: both direction panels");
            PostMessageW(v, WM_CLOSE, 0, 0);
            Comprueba(p.Termina(), "a bad handle: the close ends the program");
            Comprueba(GetFileAttributesW(ini.c_str()) == INVALID_FILE_ATTRIBUTES, "a bad handle: no record written");
        }
        std::printf("bad handle: %s\n", error.c_str());
    }
}

// A window of the program owned by `dueno` other than a message box: the help viewer's.
HWND VentanaDeAyuda(const Programa& p, HWND dueno)
{
    struct Busca {
        DWORD pid;
        HWND dueno;
        HWND hallada;
    } b{p.pi.dwProcessId, dueno, nullptr};
    EnumWindows([](HWND h, LPARAM l) -> BOOL {
        auto* b = reinterpret_cast<Busca*>(l);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t c[64] = L"";
        GetClassNameW(h, c, 64);
        if (pid == b->pid && GetWindow(h, GW_OWNER) == b->dueno && std::wstring(c) != L"#32770") {
            b->hallada = h;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&b));
    return b.hallada;
}

// F1 and "F1 AYUDA": without ZARE.CHM beside the program the error box names it; with it, the
// help viewer opens for the window F1 was pressed in, the modal template window included.
void Ayuda(const std::wstring& chm)
{
    const desktop::Ventana& d = desktop::VentanaPrincipal();
    const std::wstring destino = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"ZARE.CHM";
    DeleteFileW(destino.c_str());
    Programa p;
    HWND v = p.ArrancaSolo();
    if (!v)
        return;
    PostMessageW(Control(v, d, "BClose"), WM_KEYDOWN, VK_F1, 1);
    const std::string sinAyuda = AceptaCaja(p);
    Comprueba(sinAyuda.find("ZARE.CHM") != std::string::npos, "F1 without the help file: '" + sinAyuda + "'");

    if (!CopyFileW(chm.c_str(), destino.c_str(), FALSE))
        return Falla("ZARE.CHM cannot be copied beside the program");
    Pulsa(Control(v, d, "Button1"));
    HWND ayuda = nullptr;
    Comprueba(Espera([&] { return (ayuda = VentanaDeAyuda(p, v)) != nullptr; }, 10000),
              "\"F1 AYUDA\" opens the help viewer for the main window");
    Comprueba(!CajaMensaje(p), "\"F1 AYUDA\" with the help file: no message");

    Pulsa(Control(v, d, "BImportar"));
    HWND plantilla = p.EsperaVentana(ventanas::kClasePlantilla);
    if (!plantilla)
        return Falla("no template window");
    PostMessageW(Control(plantilla, desktop::VentanaPlantilla(), "PlantiHorDBGrid"), WM_KEYDOWN, VK_F1, 1);
    HWND ayudaModal = nullptr;
    Comprueba(Espera([&] { return (ayudaModal = VentanaDeAyuda(p, plantilla)) != nullptr; }, 10000),
              "F1 in the template window opens the help viewer for it");
    Comprueba(ayudaModal && IsWindowEnabled(ayudaModal), "the help viewer takes input while the template window is open");
    // The export then runs on a work folder without the imported tables: its error box.
    PostMessageW(plantilla, WM_CLOSE, 0, 0);
    const std::string fin = AceptaCaja(p, 60000);
    Comprueba(fin.find("GRUPOST") != std::string::npos, "the export after the template window: '" + fin + "'");
    PostMessageW(v, WM_CLOSE, 0, 0);
    Comprueba(p.Termina(), "the close ends the program with the help open");
}

// Hands a state of the program over for its picture: writes MARCAS\NN-NOMBRE.listo with the
// window's place on the screen and waits until the picture's taker writes NN-NOMBRE.hecho.
void Fotografia(const std::wstring& marcas, const std::wstring& nombre, HWND ventana)
{
    Espera([] { return false; }, 700);  // the window drawn
    RECT r;
    GetWindowRect(ventana, &r);
    const std::wstring base = marcas + L"\\" + nombre;
    if (FILE* f = _wfopen((base + L".listo").c_str(), L"w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
    if (!Espera([&] { return GetFileAttributesW((base + L".hecho").c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
        Falla("nobody took the picture " + files::win32::narrow(nombre));
}

// The windows in each state the README shows: the main window, the call panel, the course
// screen, the incomplete courses, the template window.
void Capturas(const std::wstring& marcas)
{
    const desktop::Ventana& d = desktop::VentanaPrincipal();
    {
        Programa p;
        HWND v = p.ArrancaSolo();
        if (!v)
            return;
        Fotografia(marcas, L"1-ventana-principal", v);
        Pulsa(Control(v, d, "BExportar"));
        if (!Espera([&] { return IsWindowVisible(Control(v, d, "Panel1")); }))
            return Falla("no call panel");
        Fotografia(marcas, L"2-convocatorias", v);
        Pulsa(Control(v, d, "BitBtn1"));
        if (!Espera([&] { return IsWindowVisible(Control(v, d, "Panel2")); }))
            return Falla("no course screen");
        HWND rejilla = Control(v, d, "wwDBGridNIVIMP");
        Tecla(rejilla, VK_HOME);
        Escribe(rejilla, "M");
        Tecla(rejilla, VK_TAB);
        Escribe(rejilla, "ESO");
        Tecla(rejilla, VK_TAB);
        Escribe(rejilla, "1");
        Tecla(rejilla, VK_TAB);
        Fotografia(marcas, L"3-cursos", v);
        Pulsa(Control(v, d, "BitBtn2"));
        if (!Espera([&] { return IsWindowVisible(Control(v, d, "Label9")); }))
            return Falla("no warning");
        Fotografia(marcas, L"4-cursos-incompletos", v);
    }
    {
        Programa p;
        HWND v = p.ArrancaSolo();
        if (!v)
            return;
        Pulsa(Control(v, d, "BImportar"));
        HWND plantilla = p.EsperaVentana(ventanas::kClasePlantilla);
        if (!plantilla)
            return Falla("no template window");
        HWND rejilla = Control(plantilla, desktop::VentanaPlantilla(), "PlantiHorDBGrid");
        Espera([] { return false; }, 500);
        Tecla(rejilla, VK_DOWN);
        Tecla(rejilla, VK_DOWN);
        Tecla(rejilla, VK_RIGHT);
        Fotografia(marcas, L"5-plantilla", plantilla);
        // "Aceptar": the export runs and ends with its message over the main window.
        Pulsa(Control(plantilla, desktop::VentanaPlantilla(), "BitBtn2"));
        HWND caja = nullptr;
        if (!Espera([&] { return (caja = CajaMensaje(p)) != nullptr && IsWindowVisible(caja); }, 60000))
            return Falla("no closing message");
        RECT r, rc;
        GetWindowRect(v, &r);
        GetWindowRect(caja, &rc);
        UnionRect(&r, &r, &rc);
        Espera([] { return false; }, 700);
        const std::wstring base = marcas + L"\\6-exportado";
        if (FILE* f = _wfopen((base + L".listo").c_str(), L"w")) {
            std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            std::fclose(f);
        }
        Espera([&] { return GetFileAttributesW((base + L".hecho").c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
        AceptaCaja(p);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "uso: conductor EXE importa|exporta|incrusta UNIDAD_C CARPETA ...\n");
        return 64;
    }
    exe = argv[1];
    const std::wstring caso = argv[2];
    unidadC = argv[3];
    carpeta = argv[4];
    if (caso == L"importa" && argc == 6)
        Importa(argv[5]);
    else if (caso == L"exporta" && argc == 7)
        Exporta(_wtoi(argv[5]), files::win32::narrow(argv[6]));
    else if (caso == L"capturas" && argc == 6)
        Capturas(argv[5]);
    else if (caso == L"ayuda" && argc == 6)
        Ayuda(argv[5]);
    else if (caso == L"incrusta")
        Incrusta();
    else
        return 64;
    std::printf("%s: %d fallos\n", files::win32::narrow(caso).c_str(), fallos);
    return fallos == 0 ? 0 : 1;
}
