#include "csv/divide_campos.h"
#include "export/horario_csv.h"
#include "store/errors.h"

#include <gtest/gtest.h>

#include <unistd.h>

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

struct Carpeta : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("horario_csv_test." + std::to_string(::getpid()));
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

TEST_F(Carpeta, EachLineIsInTheFileWhenAppendReturns)
{
    ArchivoHorario archivo(dir.string() + "/");
    archivo.Crea();
    EXPECT_EQ(archivo.Ruta(), (dir / "HORARIO.CSV").string());
    EXPECT_EQ(fs::file_size(dir / "HORARIO.CSV"), 0u);
    archivo.AnadeLinea("\"1\"");
    EXPECT_EQ(Lee(dir / "HORARIO.CSV"), "\"1\"\r\n");
    archivo.AnadeLinea("\"2\"");
    EXPECT_EQ(Lee(dir / "HORARIO.CSV"), "\"1\"\r\n\"2\"\r\n");
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

    // A file that vanished between lines is not silently recreated, and its lines, gone with
    // it, are reported when the file is closed.
    fs::remove(dir / "HORARIO.CSV");
    ArchivoHorario otro(dir.string());
    otro.Crea();
    otro.AnadeLinea("x");
    fs::remove(dir / "HORARIO.CSV");
    otro.AnadeLinea("y");
    try {
        otro.Cierra();
        FAIL() << "closing a deleted file succeeded";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 2);
    }
    EXPECT_FALSE(fs::exists(dir / "HORARIO.CSV"));

    // Lines appended without a file made first need the file to exist.
    ArchivoHorario sinCrear(dir.string());
    try {
        sinCrear.AnadeLinea("x");
        FAIL() << "appending to a missing file succeeded";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 2);
    }
    EXPECT_FALSE(fs::exists(dir / "HORARIO.CSV"));
}
