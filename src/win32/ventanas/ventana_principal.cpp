#include "win32/ventanas/ventana_principal.h"

#include "app/core/ini.h"
#include "files/win32.h"
#include "win32/controles/colores.h"
#include "win32/controles/fuente.h"
#include "win32/controles/lista_carpetas.h"
#include "win32/controles/rejilla_datos.h"
#include "win32/ventanas/ayuda_programa.h"
#include "win32/ventanas/dialogos.h"
#include "win32/ventanas/identificadores.h"
#include "win32/ventanas/mensajes.h"
#include "win32/ventanas/ventana_plantilla.h"

#include <stdexcept>

namespace ventanas {

namespace {

constexpr UINT_PTR kVigia = 1;
constexpr DWORD kEstiloSolo = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kEstiloExtSolo = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

}  // namespace

std::string CarpetaDelPrograma()
{
    std::wstring ruta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
        if (n < ruta.size()) {
            ruta.resize(n);
            break;
        }
        ruta.resize(ruta.size() * 2);
    }
    const auto barra = ruta.find_last_of(L"\\/");
    return files::win32::narrow(barra == std::wstring::npos ? std::wstring(L".") : ruta.substr(0, barra));
}

VentanaPrincipal::VentanaPrincipal(const std::vector<std::string>& parametros)
{
    HINSTANCE instancia = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &VentanaPrincipal::Procedimiento;
    wc.hInstance = instancia;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(instancia, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kClasePrincipal;
    RegisterClassExW(&wc);

    const desktop::Ventana& d = desktop::VentanaPrincipal();
    const UINT dpi = controles::DpiDe(nullptr);
    RECT r{0, 0, controles::Escala(d.ancho, dpi), controles::Escala(d.alto, dpi)};
    AdjustWindowRectEx(&r, kEstiloSolo, FALSE, kEstiloExtSolo);
    hwnd_ = CreateWindowExW(kEstiloExtSolo, kClasePrincipal, files::win32::widen(AnsiAUtf8(d.titulo)).c_str(),
                            kEstiloSolo, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr,
                            nullptr, instancia, this);
    if (!hwnd_)
        throw std::runtime_error(TextoDelSistema(GetLastError()));
    comportamiento_ = std::make_unique<desktop::FormularioPrincipal>(static_cast<desktop::VistaPrincipal&>(*this));
    controles_ = std::make_unique<ControlesWin32>(hwnd_, d);
    comportamiento_->PonRutaResultado(CarpetaDelPrograma() + "\\" + app::kArchivoResultado);
    PreparaControles();
    comportamiento_->AplicaLanzamiento(parametros);
}

VentanaPrincipal::~VentanaPrincipal()
{
    // The grids let go of their data before the data and the behaviour go.
    if (IsWindow(hwnd_)) {
        cerrando_ = true;
        DestroyWindow(hwnd_);
    }
    fuenteConvocatorias_.reset();
    fuenteCursos_.reset();
    comportamiento_.reset();
}

void VentanaPrincipal::PreparaControles()
{
    auto prepara = [this](const std::string& nombre, desktop::FuenteDatos& fuente, std::unique_ptr<FuenteRejilla>& datos) {
        auto* rejilla = controles::RejillaDatos::De((*controles_)[nombre]);
        datos = std::make_unique<FuenteRejilla>(fuente);
        rejilla->ponDatos(datos.get());
        rejilla->ponPregunta([this](const std::string& t) { return Pregunta(t); });
        rejilla->ponAlFallar([this](const std::string& t) { Error(Utf8AAnsi(t)); });
        rejilla->ponAlEntrar([this, nombre] { comportamiento_->Entra(nombre); });
        rejilla->ponAlSalir([this, nombre] { comportamiento_->Sale(nombre); });
        return rejilla;
    };
    prepara("wwDBGridCODCENTRO", comportamiento_->wwDataSourceCODCENTRO(), fuenteConvocatorias_);
    auto* cursos = prepara("wwDBGridNIVIMP", comportamiento_->wwDataSourceNIVIMP(), fuenteCursos_);
    cursos->ponColoresCelda([this](const std::string& campo, const controles::RejillaDatos::EstadoCelda&,
                                   controles::RejillaDatos::ColorCelda& color) {
        const desktop::Color c = comportamiento_->wwDBGridNIVIMPCalcCellColors(campo);
        if (c != desktop::kSinColor)
            color.fondo = controles::ColorWindows(c);
    });
    if (auto* lista = controles::ListaCarpetas::De((*controles_)["Directorios"])) {
        lista->ponAlFallar([this](const std::string& ruta, unsigned long codigo) {
            Error(TextoDelSistema(codigo) + "\n" + Utf8AAnsi(ruta));
        });
    }
}

void VentanaPrincipal::Muestra()
{
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

// ---- The view ----

void VentanaPrincipal::Error(const std::string& texto)
{
    ventanas::Error(IsWindowVisible(hwnd_) ? hwnd_ : nullptr, texto);
}

void VentanaPrincipal::Cierra()
{
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

std::string VentanaPrincipal::CarpetaElegida()
{
    auto* lista = controles::ListaCarpetas::De((*controles_)["Directorios"]);
    return lista ? lista->carpeta() : std::string();
}

// A child of the host's window without border at (2, 2) of its client area; handle 0 leaves
// the window borderless at (2, 2) of the screen. A handle that names no window is the system's
// error, and the window stays as it was.
void VentanaPrincipal::Incrusta(std::uint32_t ventana)
{
    HWND anfitriona = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(ventana));
    RECT cliente;
    GetClientRect(hwnd_, &cliente);
    if (anfitriona) {
        if (!IsWindow(anfitriona))
            throw std::runtime_error(TextoDelSistema(ERROR_INVALID_WINDOW_HANDLE));
        const LONG_PTR estilo = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, (estilo & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)) | WS_CHILD);
        if (!SetParent(hwnd_, anfitriona)) {
            const DWORD codigo = GetLastError();
            SetWindowLongPtrW(hwnd_, GWL_STYLE, estilo);
            throw std::runtime_error(TextoDelSistema(codigo ? codigo : ERROR_INVALID_WINDOW_HANDLE));
        }
        anfitriona_ = anfitriona;
        // Nothing may tell a child whose parent belongs to another program that the parent has
        // gone: ask now and then.
        SetTimer(hwnd_, kVigia, 250, nullptr);
    } else {
        const LONG_PTR estilo = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, (estilo & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)) | WS_POPUP);
    }
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, WS_EX_CONTROLPARENT | (anfitriona ? 0 : WS_EX_APPWINDOW));
    incrustada_ = true;
    SetWindowPos(hwnd_, nullptr, 2, 2, cliente.right, cliente.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void VentanaPrincipal::VentanaPlantilla()
{
    VentanaPlantillaWin32 ventana(hwnd_);
    ventana.Modal();
}

// ---- Messages ----

void VentanaPrincipal::AnfitrionaDesaparecida()
{
    if (desaparecida_ || cerrando_)
        return;
    desaparecida_ = true;
    KillTimer(hwnd_, kVigia);
    comportamiento_->AnfitrionaDesaparecida();
    PostQuitMessage(0);
}

LRESULT CALLBACK VentanaPrincipal::Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l)
{
    if (mensaje == WM_NCCREATE) {
        auto* yo = static_cast<VentanaPrincipal*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        yo->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(yo));
    }
    auto* yo = reinterpret_cast<VentanaPrincipal*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!yo || !yo->comportamiento_)
        return DefWindowProcW(hwnd, mensaje, w, l);
    return yo->Procesa(mensaje, w, l);
}

LRESULT VentanaPrincipal::Procesa(UINT mensaje, WPARAM w, LPARAM l)
{
    switch (mensaje) {
    case WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && l) {
            const std::string nombre = controles_->NombrePorId(LOWORD(w));
            if (!nombre.empty())
                comportamiento_->Clic(nombre);
        }
        return 0;
    case kMensajeF1:
        comportamiento_->F1(controles_->NombreDe(reinterpret_cast<HWND>(w)));
        return 0;
    case WM_SETCURSOR:
        if (AplicaCursorEspera())
            return TRUE;
        break;
    case WM_TIMER:
        if (w == kVigia && anfitriona_ && !IsWindow(anfitriona_)) {
            AnfitrionaDesaparecida();
            return 0;
        }
        break;
    case WM_CLOSE:
        if (cerrando_ || !comportamiento_->AlCerrar())
            return 0;  // the record could not be written: the window stays open
        cerrando_ = true;
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        // Destroyed with the host's window: the record as it stands.
        if (!cerrando_)
            AnfitrionaDesaparecida();
        KillTimer(hwnd_, kVigia);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd_, mensaje, w, l);
}

}  // namespace ventanas
