#include "csv/divide_campos.h"
#include "export/horario_csv.h"
#include "store/errors.h"
#include "files/file_io.h"
#include "files/folders.h"
#include "files/process.h"
#include "support/disco_envuelto.h"
#include "support/sistema.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace exportacion;

namespace {

std::string Lee(const fs::path& ruta)
{
    std::ifstream in(ruta, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One line of values, as the export makes it.
std::string LineaHorario(const std::vector<std::string>& valores)
{
    std::string linea;
    AnadeLineaHorario(linea, std::vector<std::string_view>(valores.begin(), valores.end()));
    return linea;
}

// Adds one line and its CR LF, as the export adds them.
void Anade(ArchivoHorario& archivo, const std::string& linea)
{
    archivo.AnadeLineas(linea + "\r\n");
}

struct Carpeta : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("horario_csv_test." + std::to_string(prueba::IdProceso()));
    void SetUp() override
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
};

}  // namespace

TEST(LineaHorario, QuotesEveryValueAndDoublesInnerQuotes)
{
    EXPECT_EQ(LineaHorario({"1", "Luns", "08:00", "1A", "MAT", "Docente 1", "", "A12"}),
              "\"1\",\"Luns\",\"08:00\",\"1A\",\"MAT\",\"Docente 1\",\"\",\"A12\"");
    EXPECT_EQ(LineaHorario({"P\xE9rez, \"Pepe\"", "\""}), "\"P\xE9rez, \"\"Pepe\"\"\",\"\"\"\"");
    EXPECT_EQ(LineaHorario({""}), "\"\"");
}

TEST(LineaHorario, ValuesWithoutQuotesMakeTheSameLineTheShortWay)
{
    for (const std::vector<std::string_view>& valores :
         {std::vector<std::string_view>{"1", "Luns", "08:00", "1A", "MAT", "Docente 1", "", "A12"},
          std::vector<std::string_view>{"a,b", ""}, std::vector<std::string_view>{""},
          std::vector<std::string_view>{}}) {
        std::string larga = "antes\r\n", corta = "antes\r\n";
        AnadeLineaHorario(larga, valores);
        AnadeLineaHorario(corta, valores, true);
        EXPECT_EQ(corta, larga);
    }
}

TEST(LineaHorario, OurCsvReaderSplitsEveryLineBackIntoItsValues)
{
    const std::vector<std::vector<std::string>> casos = {
        {"1", "Luns", "08:00", "1A", "MAT", "Docente 1", "", "A12"},
        {"2", "M\xE9rcores", "", "1\xBA ESO A", "\"", "P\xE9rez, \"Pepe\"", "", "\"\""},
        {"3", "", "", "a,b", "\"x\"y", " lead", "", ","},
    };
    for (const auto& valores : casos) {
        const csv::RegistroCSV campos = csv::DivideCampos(LineaHorario(valores));
        ASSERT_EQ(campos.Cuenta(), 8) << LineaHorario(valores);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(campos.Campo(i), valores[static_cast<std::size_t>(i)]) << LineaHorario(valores);
    }
}

TEST_F(Carpeta, LinesReachTheFileInPiecesOfWholeLinesAndAtTheClose)
{
    ArchivoHorario archivo(dir.string() + "/");
    archivo.Crea();
    EXPECT_EQ(archivo.Ruta(), files::joinPath(dir.string(), "HORARIO.CSV"));  // the folder, then the name
    EXPECT_EQ(fs::file_size(dir / "HORARIO.CSV"), 0u);
    Anade(archivo, "\"1\"");
    Anade(archivo, "\"2\"");
    EXPECT_EQ(fs::file_size(dir / "HORARIO.CSV"), 0u) << "each line written by itself";
    // Enough lines for a piece: the file then holds whole lines only, all of them at the close.
    const std::string linea = "\"" + std::string(98, 'x') + "\"";
    std::string todo = "\"1\"\r\n\"2\"\r\n";
    int piezas = 0;
    for (std::size_t escrito = 0, i = 0; i < 2 * ArchivoHorario::kTamanoEscritura / 100; ++i) {
        Anade(archivo, linea);
        todo += linea + "\r\n";
        if (fs::file_size(dir / "HORARIO.CSV") != escrito) {
            escrito = fs::file_size(dir / "HORARIO.CSV");
            ++piezas;
            const std::string enDisco = Lee(dir / "HORARIO.CSV");
            EXPECT_EQ(enDisco, todo.substr(0, enDisco.size()));
            EXPECT_EQ(enDisco.substr(enDisco.size() - 2), "\r\n");
        }
    }
    EXPECT_GE(piezas, 1);
    EXPECT_LE(piezas, 2);
    archivo.Cierra();
    EXPECT_TRUE(Lee(dir / "HORARIO.CSV") == todo);
}

TEST_F(Carpeta, CreationReplacesAnEarlierFileInAnyLetterCase)
{
    std::ofstream(dir / "horario.csv") << "earlier";
    std::ofstream(dir / "other.csv") << "kept";
    ArchivoHorario archivo(dir.string());
    archivo.Crea();
    std::vector<std::string> nombres;
    for (const auto& e : fs::directory_iterator(dir))
        nombres.push_back(e.path().filename().string());
    std::sort(nombres.begin(), nombres.end());
    EXPECT_EQ(nombres, (std::vector<std::string>{"HORARIO.CSV", "other.csv"}));
    EXPECT_EQ(fs::file_size(dir / "HORARIO.CSV"), 0u);
}

TEST_F(Carpeta, FileErrorsCarryTheWindowsTexts)
{
    // A folder in the file's place cannot be created as a file: access denied.
    fs::create_directory(dir / "HORARIO.CSV");
    ArchivoHorario archivo(dir.string());
    try {
        archivo.Crea();
        FAIL() << "creating over a folder succeeded";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 5);
        EXPECT_STREQ(e.what(), "Acceso al archivo denegado");
    }

    // Lines appended without a file made first need the file to exist.
    fs::remove(dir / "HORARIO.CSV");
    ArchivoHorario sinCrear(dir.string());
    try {
        Anade(sinCrear, "x");
        FAIL() << "appending to a missing file succeeded";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 2);
    }
    EXPECT_FALSE(fs::exists(dir / "HORARIO.CSV"));

    // A file that vanished between lines is not silently recreated, and its lines, gone with
    // it, are reported when the file is closed. Windows does not let it vanish: nobody may
    // delete it while it is open, so the lines stay.
    ArchivoHorario otro(dir.string());
    otro.Crea();
    Anade(otro, "x");
    std::error_code error;
    fs::remove(dir / "HORARIO.CSV", error);
#ifdef _WIN32
    EXPECT_TRUE(error) << "an open HORARIO.CSV was deleted";
    Anade(otro, "y");
    otro.Cierra();
    EXPECT_EQ(Lee(dir / "HORARIO.CSV"), "x\r\ny\r\n");
    return;
#endif
    ASSERT_FALSE(error);
    Anade(otro, "y");
    try {
        otro.Cierra();
        FAIL() << "closing a deleted file succeeded";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 2);
    }
    EXPECT_FALSE(fs::exists(dir / "HORARIO.CSV"));
}

namespace {

// A disk that holds `cabe` more bytes of file data and is then full: the write that crosses
// the limit leaves its first part in the file, as a real disk does, and reports ENOSPC.
class DiscoQueSeLlena : public prueba::DiscoEnvuelto {
public:
    explicit DiscoQueSeLlena(std::uint64_t cabe) : queda_(cabe) {}

    bool fallaAlCerrar = false;  // as a network disk that takes the data only at the close

protected:
    std::unique_ptr<files::File> envuelve(const std::string&, std::unique_ptr<files::File> dentro) override
    {
        return std::make_unique<Envuelto>(std::move(dentro), queda_, fallaAlCerrar);
    }

private:
    class Envuelto : public prueba::ArchivoEnvuelto {
    public:
        Envuelto(std::unique_ptr<files::File> dentro, std::uint64_t& queda, const bool& fallaAlCerrar)
            : prueba::ArchivoEnvuelto(std::move(dentro)), queda_(queda), fallaAlCerrar_(fallaAlCerrar)
        {
        }
        int writeAt(std::uint64_t o, const void* d, std::size_t n) override
        {
            if (n <= queda_) {
                queda_ -= n;
                return prueba::ArchivoEnvuelto::writeAt(o, d, n);
            }
            const std::size_t parte = static_cast<std::size_t>(queda_);
            queda_ = 0;
            if (const int rc = prueba::ArchivoEnvuelto::writeAt(o, d, parte))
                return rc;
            return ENOSPC;
        }
        int close() override
        {
            const int rc = prueba::ArchivoEnvuelto::close();
            return fallaAlCerrar_ ? EIO : rc;
        }

    private:
        std::uint64_t& queda_;
        const bool& fallaAlCerrar_;
    };

    std::uint64_t queda_;
};

// Puts a file system in place for one test and the operating system's back after it.
struct ConSistemaDeArchivos {
    explicit ConSistemaDeArchivos(files::FileSystem& fs) { files::setFileSystem(&fs); }
    ~ConSistemaDeArchivos() { files::setFileSystem(nullptr); }
};

}  // namespace

TEST_F(Carpeta, AFailureAtTheCloseIsReported)
{
    DiscoQueSeLlena disco(1 << 20);
    disco.fallaAlCerrar = true;
    ConSistemaDeArchivos enUso(disco);
    ArchivoHorario archivo(dir.string());
    archivo.Crea();
    Anade(archivo, "\"1\"");
    try {
        archivo.Cierra();
        FAIL() << "a failed close was taken for a written file";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), store::windowsErrorCode(EIO));
    }
}

TEST_F(Carpeta, AFullDiskLeavesOnlyTheWholeLinesWrittenBefore)
{
    const std::string primera = "\"1\",\"Luns\",\"08:00\",\"1A\",\"MAT\"";
    // The first piece is written whole, the next finds room for a line and 9 bytes only.
    const std::size_t porPieza = (ArchivoHorario::kTamanoEscritura + primera.size() + 1) / (primera.size() + 2);
    std::string antes;
    for (std::size_t i = 0; i < porPieza; ++i)
        antes += primera + "\r\n";
    DiscoQueSeLlena disco(antes.size() + primera.size() + 2 + 9);
    ConSistemaDeArchivos enUso(disco);
    ArchivoHorario archivo(dir.string());
    archivo.Crea();
    for (std::size_t i = 0; i < porPieza; ++i)
        Anade(archivo, primera);
    ASSERT_TRUE(Lee(dir / "HORARIO.CSV") == antes) << "the first piece is not the lines expected";
    Anade(archivo, primera);
    Anade(archivo, "\"3\",\"Martes\",\"10:00\",\"1A\",\"FIS\"");
    antes += primera + "\r\n";  // the whole line that fitted stays
    try {
        archivo.Cierra();
        FAIL() << "a line was written to a full disk";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 101);
        EXPECT_STREQ(e.what(), "Disco lleno");
    }
    EXPECT_TRUE(Lee(dir / "HORARIO.CSV") == antes) << "the torn piece is cut away, the lines before stay";
}

TEST_F(Carpeta, ALinkInTheFilesPlaceIsReplacedAndItsTargetLeftAlone)
{
    SALTA_EN_WINDOWS("symbolic links need a privilege on Windows, and Wine makes them as Linux links");
    // The folder of the CSV files, and files outside it that links inside it point to.
    const fs::path zare = dir / "zare", fuera = dir / "fuera";
    fs::create_directories(zare);
    fs::create_directories(fuera);
    std::ofstream(fuera / "ajeno.txt") << "ajeno\n";
    std::ofstream(fuera / "otro.txt") << "otro\n";

    // A link by the file's own name.
    fs::create_symlink(fuera / "ajeno.txt", zare / "HORARIO.CSV");
    {
        ArchivoHorario archivo(zare.string());
        archivo.Crea();
        Anade(archivo, "\"1\"");
        archivo.Cierra();
    }
    EXPECT_EQ(Lee(fuera / "ajeno.txt"), "ajeno\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(zare / "HORARIO.CSV")));
    EXPECT_EQ(Lee(zare / "HORARIO.CSV"), "\"1\"\r\n");

    // A link by the name in another letter case is the earlier file: the link goes, whatever
    // it points to, and its target stays.
    for (const fs::path& destino : {fuera / "otro.txt", fuera / "no-existe.txt", fuera}) {
        fs::remove(zare / "HORARIO.CSV");
        fs::create_symlink(destino, zare / "horario.csv");
        ArchivoHorario archivo(zare.string());
        archivo.Crea();
        Anade(archivo, "\"2\"");
        archivo.Cierra();
        std::vector<std::string> nombres;
        for (const auto& e : fs::directory_iterator(zare))
            nombres.push_back(e.path().filename().string());
        EXPECT_EQ(nombres, std::vector<std::string>{"HORARIO.CSV"}) << destino;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(zare / "HORARIO.CSV"))) << destino;
        EXPECT_EQ(Lee(zare / "HORARIO.CSV"), "\"2\"\r\n") << destino;
    }
    EXPECT_EQ(Lee(fuera / "otro.txt"), "otro\n");
    EXPECT_TRUE(fs::is_directory(fuera));
}

TEST_F(Carpeta, AFifoInTheFilesPlaceIsRefusedAtOnce)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in its folders";
#else
    ASSERT_EQ(::mkfifo((dir / "HORARIO.CSV").c_str(), 0600), 0);
    // First in a child that an alarm ends, so that an open waiting for a reader cannot hang
    // the suite: it must come back with the code for a file that cannot be created.
    const pid_t hijo = ::fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        ::alarm(20);
        int codigo = 0;
        try {
            ArchivoHorario(dir.string()).Crea();
        } catch (const store::FileError& e) {
            codigo = e.code();
        }
        ::_exit(codigo);
    }
    int estado = 0;
    ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
    ASSERT_TRUE(WIFEXITED(estado)) << "the creation hung on the FIFO";
    ASSERT_EQ(WEXITSTATUS(estado), 5);
    try {
        ArchivoHorario(dir.string()).Crea();
        FAIL() << "creating over a FIFO succeeded";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 5);
        EXPECT_STREQ(e.what(), "Acceso al archivo denegado");
    }
    EXPECT_TRUE(fs::is_fifo(dir / "HORARIO.CSV"));
#endif
}

namespace {

std::vector<std::string> Nombres(const fs::path& dir)
{
    std::vector<std::string> nombres;
    for (const auto& e : fs::directory_iterator(dir))
        nombres.push_back(e.path().filename().string());
    std::sort(nombres.begin(), nombres.end());
    return nombres;
}

// A piece of `lineas` whole lines, each numbered from `desde`.
std::string Pieza(int desde, int lineas)
{
    std::string pieza;
    for (int i = desde; i < desde + lineas; ++i)
        pieza += LineaHorario({std::to_string(i), "Luns", "08:00", "1A", "MAT"}) + "\r\n";
    return pieza;
}

// A file system whose moves all fail, as on a share that does not allow them; with
// `sinLeer`, reading fails too.
class SinMover : public prueba::DiscoEnvuelto {
public:
    int rename(const std::string&, const std::string&) override { return EACCES; }
    bool sinLeer = false;

protected:
    std::unique_ptr<files::File> envuelve(const std::string&, std::unique_ptr<files::File> dentro) override
    {
        if (!sinLeer)
            return dentro;
        struct SinLectura : prueba::ArchivoEnvuelto {
            using prueba::ArchivoEnvuelto::ArchivoEnvuelto;
            int readAt(std::uint64_t, void*, std::size_t, std::size_t&) override { return EIO; }
        };
        return std::make_unique<SinLectura>(std::move(dentro));
    }
};

}  // namespace

TEST_F(Carpeta, TheDraftTakesTheFilesPlaceAndTheLinesAfterItFollow)
{
    std::ofstream(dir / "horario.csv") << "earlier";
    const std::string primera = Pieza(1, 3000), segunda = Pieza(3001, 3000), resto = Pieza(6001, 10);
    BorradorHorario borrador(dir.string());
    ASSERT_TRUE(borrador.Anade(primera));
    ASSERT_TRUE(borrador.Anade(segunda));
    EXPECT_EQ(Nombres(dir).size(), 2u) << "the draft is a file of its own";
    EXPECT_EQ(Lee(dir / "horario.csv"), "earlier") << "the earlier file stays while the draft is written";

    ArchivoHorario archivo(dir.string());
    archivo.Crea();
    archivo.TomaBorrador(borrador);
    archivo.AnadeLineas(resto);
    archivo.Cierra();
    EXPECT_EQ(Nombres(dir), std::vector<std::string>{"HORARIO.CSV"});
    EXPECT_TRUE(Lee(dir / "HORARIO.CSV") == primera + segunda + resto);
    EXPECT_FALSE(borrador.Existe());
}

TEST_F(Carpeta, ADraftNotTakenIsRemovedAndANameTakenIsLeftAlone)
{
    std::ofstream(dir / "HORARIO.CSV") << "earlier";
    {
        BorradorHorario borrador(dir.string());
        ASSERT_TRUE(borrador.Anade(Pieza(1, 10)));
        EXPECT_TRUE(borrador.Existe());
    }
    EXPECT_EQ(Nombres(dir), std::vector<std::string>{"HORARIO.CSV"}) << "an export that stopped leaves no draft";
    EXPECT_EQ(Lee(dir / "HORARIO.CSV"), "earlier");

    // Somebody's file by the draft's name: the lines stay with the caller, the file as it was.
    const std::string nombre = ".HORARIO.CSV." + std::to_string(files::processId());
    std::ofstream(dir / nombre) << "ajeno";
    {
        BorradorHorario borrador(dir.string());
        EXPECT_FALSE(borrador.Anade(Pieza(1, 10)));
        EXPECT_FALSE(borrador.Existe());
        ArchivoHorario archivo(dir.string());
        archivo.Crea();
        archivo.TomaBorrador(borrador);  // nothing to take
        archivo.AnadeLineas(Pieza(1, 10));
        archivo.Cierra();
    }
    EXPECT_EQ(Lee(dir / nombre), "ajeno");
    EXPECT_TRUE(Lee(dir / "HORARIO.CSV") == Pieza(1, 10));
}

TEST_F(Carpeta, ADraftOnAFullDiskKeepsItsWholeLinesAndGivesTheRestBack)
{
    const std::string primera = Pieza(1, 100), segunda = Pieza(101, 100);
    DiscoQueSeLlena disco(primera.size() + 50);
    ConSistemaDeArchivos enUso(disco);
    BorradorHorario borrador(dir.string());
    ASSERT_TRUE(borrador.Anade(primera));
    EXPECT_FALSE(borrador.Anade(segunda)) << "a piece the disk cut short was taken";
    EXPECT_FALSE(borrador.Anade(Pieza(201, 1))) << "lines after a failed write would leave a gap";
    ASSERT_TRUE(borrador.Existe());

    // In the file's place it holds the first piece only; the caller's lines come after it.
    ArchivoHorario archivo(dir.string());
    archivo.Crea();
    archivo.TomaBorrador(borrador);
    EXPECT_TRUE(Lee(dir / "HORARIO.CSV") == primera);
    EXPECT_EQ(Nombres(dir), std::vector<std::string>{"HORARIO.CSV"});
}

TEST_F(Carpeta, ADraftThatCannotBeMovedIsCopiedLineByLine)
{
    // Lines of every length, so that the copy's pieces end inside lines.
    std::string lineas;
    for (int i = 0; i < 20000; ++i)
        lineas += LineaHorario({std::to_string(i), std::string(i % 37, 'x')}) + "\r\n";
    ASSERT_GT(lineas.size(), 2 * ArchivoHorario::kTamanoEscritura);
    SinMover disco;
    ConSistemaDeArchivos enUso(disco);
    BorradorHorario borrador(dir.string());
    ASSERT_TRUE(borrador.Anade(lineas));
    ArchivoHorario archivo(dir.string());
    archivo.Crea();
    archivo.TomaBorrador(borrador);
    // Every piece written so far ends with a line.
    const std::string escrito = Lee(dir / "HORARIO.CSV");
    ASSERT_FALSE(escrito.empty());
    EXPECT_EQ(escrito.substr(escrito.size() - 2), "\r\n");
    archivo.AnadeLineas(Pieza(1, 1));
    archivo.Cierra();
    EXPECT_TRUE(Lee(dir / "HORARIO.CSV") == lineas + Pieza(1, 1));
    EXPECT_EQ(Nombres(dir), std::vector<std::string>{"HORARIO.CSV"});

    // A draft that can be neither moved nor read: the error is reported, and the draft is gone.
    disco.sinLeer = true;
    BorradorHorario ilegible(dir.string());
    ASSERT_TRUE(ilegible.Anade(Pieza(1, 10)));
    ArchivoHorario otro(dir.string());
    otro.Crea();
    try {
        otro.TomaBorrador(ilegible);
        FAIL() << "an unreadable draft was taken";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), store::windowsErrorCode(EIO));
    }
    EXPECT_EQ(Nombres(dir), std::vector<std::string>{"HORARIO.CSV"});
}
