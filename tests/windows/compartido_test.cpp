// What only Windows has to show: sharing modes and locks between two processes, folders with
// accents and drive letters, the 259-character path limit, and files written in binary mode.
// The second process is this very program, started with "--otro-proceso".
#include "csv/lector_csv.h"
#include "files/process.h"
#include "store/errors.h"
#include "store/paths.h"
#include "store/table.h"
#include "support/proceso.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using prueba::Ancho;
using prueba::Ruta;
using prueba::Texto;

namespace {

std::string esteProgram;  // this program's path, for the second process

// --- The second process -----------------------------------------------------------------------

// Waits until the first process closes our standard input.
void esperaAlOtro()
{
    char c;
    DWORD n = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &n, nullptr) && n > 0) {
    }
}

void dice(const std::string& texto)
{
    std::cout << texto << std::endl;
}

// otro-proceso tabla UNIDAD_C exclusiva|compartida NOMBRE [mantiene]: opens the table in \ZTEMP;
// says "abierta" or the engine's error; with "mantiene", keeps it open until told.
// otro-proceso escribe RUTA: holds the file open for writing (others may read and write) until told.
int otroProceso(const std::vector<std::string>& a)
{
    try {
        if (a.size() >= 4 && a[0] == "tabla") {
            store::setDriveC(a[1]);
            store::Table t("\\ZTEMP", a[3]);
            t.open(a[2] == "exclusiva" ? store::Access::Exclusive : store::Access::Shared);
            dice("abierta");
            if (a.size() > 4)
                esperaAlOtro();
            return 0;
        }
        if (a.size() == 2 && a[0] == "escribe") {
            HANDLE h = CreateFileW(Ancho(a[1]).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                dice("error " + std::to_string(GetLastError()));
                return 2;
            }
            dice("abierta");
            esperaAlOtro();
            CloseHandle(h);
            return 0;
        }
    } catch (const store::EngineError& e) {
        dice(e.what());
        return 1;
    }
    dice("no entiendo");
    return 3;
}

// --- The first process's side -----------------------------------------------------------------

// This program run as a second process that holds something open until it is destroyed.
class OtroProceso {
public:
    explicit OtroProceso(const std::vector<std::string>& args)
    {
        SECURITY_ATTRIBUTES heredable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE suLectura, suEscritura;
        CreatePipe(&suLectura, &entrada_, &heredable, 0);
        CreatePipe(&salida_, &suEscritura, &heredable, 0);
        SetHandleInformation(entrada_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(salida_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW inicio{};
        inicio.cb = sizeof inicio;
        inicio.dwFlags = STARTF_USESTDHANDLES;
        inicio.hStdInput = suLectura;
        inicio.hStdOutput = suEscritura;
        inicio.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::wstring linea = prueba::ArgumentoWindows(Ancho(esteProgram)) + L" --otro-proceso";
        for (const auto& a : args)
            linea += L" " + prueba::ArgumentoWindows(Ancho(a));
        arrancado_ = CreateProcessW(nullptr, linea.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &inicio,
                                    &proceso_);
        CloseHandle(suLectura);
        CloseHandle(suEscritura);
        // Its first line: "abierta" once it holds what it was asked to.
        char c;
        DWORD n = 0;
        while (arrancado_ && ReadFile(salida_, &c, 1, &n, nullptr) && n > 0 && c != '\n')
            if (c != '\r')
                primeraLinea_ += c;
    }
    ~OtroProceso() { termina(); }

    const std::string& primeraLinea() const { return primeraLinea_; }

    // Lets it go and waits for it; its exit status.
    int termina()
    {
        if (entrada_) {
            CloseHandle(entrada_);
            entrada_ = nullptr;
        }
        if (!arrancado_)
            return -1;
        WaitForSingleObject(proceso_.hProcess, INFINITE);
        DWORD estado = 0;
        GetExitCodeProcess(proceso_.hProcess, &estado);
        CloseHandle(proceso_.hProcess);
        CloseHandle(proceso_.hThread);
        CloseHandle(salida_);
        arrancado_ = false;
        estado_ = static_cast<int>(estado);
        return estado_;
    }

private:
    HANDLE entrada_ = nullptr, salida_ = nullptr;
    PROCESS_INFORMATION proceso_{};
    bool arrancado_ = false;
    int estado_ = -1;
    std::string primeraLinea_;
};

// The text of the engine error that opening the table gives; "" when it opens.
std::string errorAlAbrir(const std::string& nombre, store::Access acceso)
{
    try {
        store::Table t("\\ZTEMP", nombre);
        t.open(acceso);
        return {};
    } catch (const store::EngineError& e) {
        return e.what();
    }
}

bool enUso(const std::string& texto)
{
    return texto.find("en uso") != std::string::npos;
}

class Compartido : public ::testing::Test {
protected:
    prueba::CarpetaTemporal raiz;

    void SetUp() override
    {
        fs::create_directories(raiz.ruta() / "ZTEMP");
        store::setDriveC(Texto(raiz.ruta()));
        store::recreateTable("\\ZTEMP", "GRUPOST.DBF", {{"ABREV", 'C', 4, 0}}, {}, {});
    }
    void TearDown() override { store::setDriveC(""); }

    std::vector<std::string> tabla(const std::string& acceso, bool mantiene)
    {
        std::vector<std::string> a{"tabla", Texto(raiz.ruta()), acceso, "GRUPOST"};
        if (mantiene)
            a.push_back("mantiene");
        return a;
    }
};

}  // namespace

TEST_F(Compartido, ATableOpenExclusiveInAnotherProcessIsInUse)
{
    {
        OtroProceso otro(tabla("exclusiva", true));
        ASSERT_EQ(otro.primeraLinea(), "abierta");
        const std::string compartida = errorAlAbrir("GRUPOST", store::Access::Shared);
        EXPECT_TRUE(enUso(compartida) && compartida.find("GRUPOST") != std::string::npos) << compartida;
        EXPECT_TRUE(enUso(errorAlAbrir("GRUPOST", store::Access::Exclusive)));
        EXPECT_EQ(otro.termina(), 0);
    }
    // Once it has gone, the table opens; and held here, the other process finds it in use.
    EXPECT_EQ(errorAlAbrir("GRUPOST", store::Access::Exclusive), "");
    store::Table t("\\ZTEMP", "GRUPOST");
    t.open(store::Access::Exclusive);
    const prueba::Salida s = prueba::Ejecuta(
        {esteProgram, "--otro-proceso", "tabla", Texto(raiz.ruta()), "compartida", "GRUPOST"});
    EXPECT_EQ(s.estado, 1);
    EXPECT_TRUE(enUso(s.salida)) << s.salida;
}

TEST_F(Compartido, SharedOpensShareAcrossProcessesButKeepExclusiveOut)
{
    OtroProceso otro(tabla("compartida", true));
    ASSERT_EQ(otro.primeraLinea(), "abierta");
    store::Table t("\\ZTEMP", "GRUPOST");
    t.open(store::Access::Shared);
    t.append();
    t.setText("ABREV", "1A");
    t.post();
    EXPECT_TRUE(enUso(errorAlAbrir("GRUPOST", store::Access::Exclusive)));
    // A third process opens it shared too, and not exclusive.
    const auto abre = [&](const char* acceso) {
        return prueba::Ejecuta({esteProgram, "--otro-proceso", "tabla", Texto(raiz.ruta()), acceso, "GRUPOST"});
    };
    EXPECT_EQ(abre("compartida").estado, 0);
    const prueba::Salida exclusiva = abre("exclusiva");
    EXPECT_EQ(exclusiva.estado, 1);
    EXPECT_TRUE(enUso(exclusiva.salida)) << exclusiva.salida;
    t.close();
    EXPECT_EQ(otro.termina(), 0);
    EXPECT_EQ(abre("exclusiva").estado, 0);
}

TEST(LectorCompartido, AFileHeldForWritingByAnotherProcessGivesError32)
{
    prueba::CarpetaTemporal carpeta;
    const std::string ruta = carpeta / "gruposCentro.csv";
    prueba::Escribe(ruta, "h\n1\n");
    {
        OtroProceso otro({"escribe", ruta});
        ASSERT_EQ(otro.primeraLinea(), "abierta");
        try {
            csv::LectorCSV().Abrir(ruta);
            ADD_FAILURE() << "opened a file another process writes";
        } catch (const store::FileError& e) {
            EXPECT_EQ(e.code(), 32);
            EXPECT_STREQ(e.what(), "Error de E/S 32");
        }
        EXPECT_EQ(otro.termina(), 0);
    }
    csv::LectorCSV lector;
    lector.Abrir(ruta);
    lector.SaltaLinea();
    EXPECT_EQ(lector.Siguiente().Campo(0), "1");
    // While read here, another process cannot open it for writing.
    OtroProceso escritor({"escribe", ruta});
    EXPECT_EQ(escritor.primeraLinea(), "error 32");
    EXPECT_EQ(escritor.termina(), 2);
}

namespace {

// The sample centre in a folder with accents on drive C: (Wine's temporary folder is there),
// "José Núñez\ZARE exportación", and the real drive C: with its ZTEMP, as on a school's computer:
// with a stand-in for drive C (--unidad-c) a path on C: would be taken inside the stand-in.
class Acentos : public ::testing::Test {
protected:
    prueba::CarpetaTemporal raiz;
    fs::path zare = raiz.ruta() / Ruta("Jos\xC3\xA9 N\xC3\xBA\xC3\xB1" "ez") / Ruta("ZARE exportaci\xC3\xB3n");
    fs::path ztemp = "C:\\ZTEMP";
    bool ztempNuestro = false;
    fs::path antes = fs::current_path();  // "\\ZTEMP" is on the current drive: C:, as the program runs

    void SetUp() override
    {
        if (fs::exists(ztemp))
            GTEST_SKIP() << "C:\\ZTEMP exists already; the test makes and removes it";
        const fs::path fuente = Ruta(prueba::RutaCompilada(SOURCE_DIR));
        fs::create_directories(zare);
        fs::create_directories(ztemp);
        ztempNuestro = true;
        fs::current_path("C:\\");
        for (const auto& e : fs::directory_iterator(fuente / "samples" / "zare"))
            fs::copy_file(e.path(), zare / e.path().filename());
        for (const char* tabla : {"SOLUC.DBF", "DIASHORAST.DBF"})
            fs::copy_file(fuente / "samples" / "orbelin" / tabla, ztemp / tabla);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::current_path(antes, ec);
        if (ztempNuestro)
            fs::remove_all(ztemp, ec);
    }

    prueba::Salida transorbelin(std::vector<std::string> args)
    {
        std::vector<std::string> orden{prueba::Programa("transorbelin")};
        orden.insert(orden.end(), args.begin(), args.end());
        return prueba::Ejecuta(orden);
    }
};

}  // namespace

TEST_F(Acentos, ImportAndExportInAFolderWithAccentsOnDriveC)
{
    ASSERT_EQ(Texto(raiz.ruta()).substr(1, 2), ":\\") << "not a drive-letter path: " << Texto(raiz.ruta());
    const std::string niveles = prueba::RutaCompilada(SOURCE_DIR) + "/samples/niveles.csv";
    prueba::Salida s = transorbelin({"importar", Texto(zare), "2026", niveles});
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    EXPECT_EQ(s.salida, "Proceso finalizado\r\n");
    for (const char* tabla : {"GRUPOST.DBF", "PROFT.DBF", "PROFT.MDX", "ASIGT.DBF"})
        EXPECT_GT(fs::file_size(ztemp / tabla), 0u) << tabla;
    s = transorbelin({"exportar", Texto(zare)});
    ASSERT_EQ(s.estado, 0) << s.salida << s.errores;
    EXPECT_EQ(s.salida, "Proceso finalizado\r\n");

    // Binary mode: every line of HORARIO.CSV ends in one CR LF, with no CR doubled.
    const std::string horario = prueba::Lee(Texto(zare / "HORARIO.CSV"));
    ASSERT_FALSE(horario.empty());
    EXPECT_EQ(horario.find("\r\r"), std::string::npos);
    std::size_t lineas = 0;
    for (std::size_t i = 0; i < horario.size(); ++i)
        if (horario[i] == '\n') {
            ++lineas;
            EXPECT_TRUE(i > 0 && horario[i - 1] == '\r') << "a bare LF at byte " << i;
        }
    EXPECT_GT(lineas, 10u);
    EXPECT_EQ(horario.substr(horario.size() - 2), "\r\n");
}

TEST_F(Acentos, APathLongerThan259CharactersIsRefusedWithItsLength)
{
    // The CSV folder deep enough that its files' paths pass 259 characters.
    fs::path honda = zare;
    while (Texto(honda).size() < 250)
        honda /= std::string(40, 'd');
    fs::create_directories(honda);
    fs::copy_file(zare / "convocatoriasCentro.csv", honda / "convocatoriasCentro.csv");
    prueba::Salida s = transorbelin({"convocatorias", Texto(honda)});
    EXPECT_NE(s.estado, 0);
    EXPECT_NE(s.errores.find("la ruta tiene"), std::string::npos) << s.errores;
    EXPECT_NE(s.errores.find("caracteres y el m\xC3\xA1ximo es 259"), std::string::npos) << s.errores;
}

TEST(Binario, ATableWrittenOnWindowsKeepsEveryByteAsGiven)
{
    // LF and CR inside a text field and byte 0x1A stay single bytes: no text mode adds a CR.
    prueba::CarpetaTemporal raiz;
    fs::create_directories(raiz.ruta() / "ZTEMP");
    store::setDriveC(Texto(raiz.ruta()));
    store::recreateTable("\\ZTEMP", "BINARIO.DBF", {{"TEXTO", 'C', 6, 0}}, {{"TEXTO", "TEXTO"}}, {});
    {
        store::Table t("\\ZTEMP", "BINARIO");
        t.open(store::Access::Exclusive);
        for (const char* texto : {"a\nb", "\r\n\r\n", "\x1A" "z"}) {
            t.append();
            t.setText("TEXTO", texto);
            t.post();
        }
    }
    store::setDriveC("");
    const std::string bytes = prueba::Lee(Texto(raiz.ruta() / "ZTEMP" / "BINARIO.DBF"));
    ASSERT_GT(bytes.size(), 32u);
    const std::size_t cabecera = static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
    const std::size_t registro = static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11]) << 8;
    ASSERT_EQ(registro, 7u);
    ASSERT_EQ(bytes.size(), cabecera + 3 * registro + 1);
    EXPECT_EQ(bytes.substr(cabecera), std::string(" a\nb   ") + " \r\n\r\n  " + " \x1A" "z    " + "\x1A");
}

int main(int argc, char** argv)
{
    const std::vector<std::string> args = files::programArguments(argc, argv);
    wchar_t propio[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, propio, MAX_PATH * 4);
    esteProgram = prueba::Texto(fs::path(std::wstring(propio, n)));
    if (!args.empty() && args[0] == "--otro-proceso")
        return otroProceso(std::vector<std::string>(args.begin() + 1, args.end()));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
