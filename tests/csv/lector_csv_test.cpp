#include "campos.h"
#include "csv/lector_csv.h"
#include "store/errors.h"
#include "support/sistema.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace csv;
using namespace std::string_literals;

namespace {

struct Lector : ::testing::Test {
    fs::path carpeta = fs::temp_directory_path() / ("lector_csv_test." + std::to_string(prueba::IdProceso()));

    void SetUp() override { fs::create_directories(carpeta); }
    void TearDown() override { fs::remove_all(carpeta); }

    std::string escribe(const std::string& nombre, const std::string& bytes)
    {
        const fs::path ruta = carpeta / nombre;
        std::ofstream(ruta, std::ios::binary) << bytes;
        return ruta.string();
    }

    // Every record after the header, read as the builders read a file.
    static std::vector<Campos> registros(const std::string& ruta, std::size_t tamBuffer = 256 * 1024)
    {
        LectorCSV lector(tamBuffer);
        lector.Abrir(ruta);
        if (!lector.Fin())
            lector.SaltaLinea();
        std::vector<Campos> todos;
        while (!lector.Fin())
            todos.push_back(campos(lector.Siguiente()));
        lector.Cerrar();
        return todos;
    }

    // The Windows error code that Abrir throws for this path, or 0 when it opens.
    static int codigoAlAbrir(const std::string& ruta)
    {
        try {
            LectorCSV lector;
            lector.Abrir(ruta);
            return 0;
        } catch (const store::FileError& e) {
            return e.code();
        }
    }
};

using V = std::vector<Campos>;

}  // namespace

TEST_F(Lector, LineEnds)
{
    // CR LF and LF give the same lines; a CR anywhere is removed; a lone CR ends nothing.
    EXPECT_EQ(registros(escribe("a.csv", "h\r\na,b\r\nc\rd,e\n\"x\r\",y\r\r\n")),
              (V{{"a", "b"}, {"cd", "e"}, {"x", "y"}}));
    // A last line without LF is a line; a final LF gives no empty line after it.
    EXPECT_EQ(registros(escribe("b.csv", "h\nx,y")), (V{{"x", "y"}}));
    EXPECT_EQ(registros(escribe("c.csv", "h\nx,y\n")), (V{{"x", "y"}}));
    // Empty lines inside the file are lines without fields.
    EXPECT_EQ(registros(escribe("d.csv", "h\n\n\r\nz\n")), (V{{}, {}, {"z"}}));
}

TEST_F(Lector, HeaderOnlyAndEmptyFiles)
{
    EXPECT_EQ(registros(escribe("a.csv", "cab1,cab2\n")), V{});
    EXPECT_EQ(registros(escribe("b.csv", "cab1,cab2")), V{});
    LectorCSV lector;
    lector.Abrir(escribe("c.csv", ""));
    EXPECT_TRUE(lector.Fin());
    // Reading past the end gives a line without fields, as an empty line does.
    EXPECT_EQ(lector.Siguiente().Cuenta(), 0);
    EXPECT_TRUE(lector.Fin());
}

TEST_F(Lector, HeaderWithByteOrderMarkIsDroppedAndDataIsDecoded)
{
    EXPECT_EQ(registros(escribe("a.csv", "\xEF\xBB\xBF" "id,nombre\n1,A\xC3\xB1o\n2,\xE2\x82\xAC\n")),
              (V{{"1", "A\xF1o"}, {"2", "\x80"}}));
    // A line in Windows-1252 instead of UTF-8 has no fields; the next line is read normally.
    EXPECT_EQ(registros(escribe("b.csv", "h\n1,A\xF1o\n2,b\n")), (V{{}, {"2", "b"}}));
}

TEST_F(Lector, ByteOneAEndsTheLineTextAndTheFileAtALineStart)
{
    // Inside a line 0x1A ends its text, and the next lines are still read; a line that begins
    // with it ends the file.
    EXPECT_EQ(registros(escribe("a.csv", "h\na,b\x1A" "c,d\ne\r\x1A\r\n\x1A" "f\ng\n")),
              (V{{"a", "b"}, {"e"}}));
    EXPECT_EQ(registros(escribe("b.csv", "h\n\x1A\n")), V{});
    LectorCSV lector;
    lector.Abrir(escribe("c.csv", "\x1A" "a\nb\n"));
    EXPECT_TRUE(lector.Fin());
}

TEST_F(Lector, LinesAcrossAndBeyondTheBuffer)
{
    std::string contenido = "h\n";
    V esperado;
    for (int i = 0; i < 200; ++i) {
        const std::string largo(static_cast<std::size_t>(i * 37 % 300), static_cast<char>('a' + i % 26));
        contenido += std::to_string(i) + ",\"" + largo + "\"\r\n";
        esperado.push_back({std::to_string(i), largo});
    }
    const std::string ruta = escribe("a.csv", contenido);
    for (std::size_t tam : {1u, 3u, 16u, 64u, 1000u})
        EXPECT_EQ(registros(ruta, tam), esperado) << "buffer " << tam;

    // One line far longer than the default buffer, without a final LF.
    const std::string enorme(3 * 1024 * 1024 + 7, 'x');
    EXPECT_EQ(registros(escribe("b.csv", "h\n" + enorme + ",\xC3\xB1")), (V{{enorme, "\xF1"}}));
}

TEST_F(Lector, FileNameIsFoundWithoutRegardToCase)
{
    escribe("gruposcentro.csv", "h\n1\n");
    EXPECT_EQ(registros((carpeta / "gruposCentro.CSV").string()), (V{{"1"}}));
}

TEST_F(Lector, MissingFileAndFolderGiveTheirCodes)
{
    try {
        LectorCSV().Abrir((carpeta / "noexiste.csv").string());
        FAIL() << "opened a missing file";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 2);
        EXPECT_STREQ(e.what(), "No se encuentra el archivo");
    }
    // A folder by that name is not a file to read.
    fs::create_directory(carpeta / "sub.csv");
    EXPECT_EQ(codigoAlAbrir((carpeta / "sub.csv").string()), 5);
}

TEST_F(Lector, AFifoIsNotAFileToReadAndDoesNotBlock)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in its folders";
#else
    ASSERT_EQ(::mkfifo((carpeta / "fifo.csv").c_str(), 0600), 0);
    EXPECT_EQ(codigoAlAbrir((carpeta / "fifo.csv").string()), 5);
#endif
}

TEST_F(Lector, ReadingAClosedReaderFails)
{
    LectorCSV lector;
    lector.Abrir(escribe("a.csv", "h\n1\n"));
    lector.Cerrar();
    EXPECT_THROW(lector.Fin(), store::FileError);
    try {
        lector.Siguiente();
        FAIL() << "read a closed file";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 103);
    }
}

TEST_F(Lector, ReopeningStartsAgainFromTheStart)
{
    const std::string ruta = escribe("a.csv", "h\n1\n2\n");
    LectorCSV lector;
    lector.Abrir(ruta);
    lector.SaltaLinea();
    EXPECT_EQ(campos(lector.Siguiente()), (Campos{"1"}));
    lector.Abrir(escribe("b.csv", "x,y\n"));
    EXPECT_EQ(campos(lector.Siguiente()), (Campos{"x", "y"}));
    EXPECT_TRUE(lector.Fin());
}

// Another process's locks, taken by a forked child with fcntl; the Windows build checks its
// sharing modes between two processes in tests/windows.
#ifndef _WIN32
namespace {

// Runs `hijo` in a child process that signals when it is ready, waits until the parent has run
// `padre`, and returns the child's exit status.
template <class Hijo, class Padre>
int conOtroProceso(Hijo hijo, Padre padre)
{
    int listo[2], seguir[2];
    if (::pipe(listo) != 0 || ::pipe(seguir) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(listo[0]);
        ::close(seguir[1]);
        const int estado = hijo();
        char c = 1;
        (void)!::write(listo[1], &c, 1);
        (void)!::read(seguir[0], &c, 1);  // returns when the parent closes its end
        ::_exit(estado);
    }
    ::close(listo[1]);
    ::close(seguir[0]);
    char c;
    (void)!::read(listo[0], &c, 1);
    padre();
    ::close(seguir[1]);
    ::close(listo[0]);
    int estado = -1;
    ::waitpid(pid, &estado, 0);
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

// Takes a lock on the whole file: a classic record lock, or an open-file-description one.
// Returns 0 when it was granted, 1 when another holder refused it, 2 on any other failure.
int bloquea(const std::string& ruta, short tipo, int orden)
{
    const int fd = ::open(ruta.c_str(), tipo == F_WRLCK ? O_RDWR : O_RDONLY);
    if (fd < 0)
        return 2;
    struct flock b {};
    b.l_type = tipo;
    b.l_whence = SEEK_SET;
    if (::fcntl(fd, orden, &b) == 0)
        return 0;  // the descriptor stays open, and so does its lock
    return (errno == EAGAIN || errno == EACCES) ? 1 : 2;
}

}  // namespace

#endif

TEST_F(Lector, FileHeldForWritingByAnotherProgramGivesCode32)
{
#ifdef _WIN32
    GTEST_SKIP() << "forks a child that takes fcntl locks; tests/windows opens the file from another process";
#else
    const std::string ruta = escribe("a.csv", "h\n1\n");
    for (int orden : {F_SETLK, F_OFD_SETLK}) {
        int codigo = 0;
        std::string texto;
        const int hijo = conOtroProceso([&] { return bloquea(ruta, F_WRLCK, orden); },
                                        [&] {
                                            try {
                                                LectorCSV().Abrir(ruta);
                                            } catch (const store::FileError& e) {
                                                codigo = e.code();
                                                texto = e.what();
                                            }
                                        });
        EXPECT_EQ(hijo, 0) << "the child could not lock the file";
        EXPECT_EQ(codigo, 32) << "lock command " << orden;
        EXPECT_EQ(texto, "Error de E/S 32");
    }
    // Once the writer has gone the file opens.
    EXPECT_EQ(registros(ruta), (V{{"1"}}));
#endif
}

TEST_F(Lector, OpenFileMayBeReadButNotWrittenByOthers)
{
#ifdef _WIN32
    GTEST_SKIP() << "forks a child that takes fcntl locks; tests/windows opens the file from another process";
#else
    const std::string ruta = escribe("a.csv", "h\n1\n");
    LectorCSV lector;
    lector.Abrir(ruta);
    // Another program: a reader's lock is granted, a writer's lock is refused.
    EXPECT_EQ(conOtroProceso([&] { return bloquea(ruta, F_RDLCK, F_SETLK); }, [] {}), 0);
    EXPECT_EQ(conOtroProceso([&] { return bloquea(ruta, F_WRLCK, F_SETLK); }, [] {}), 1);
    EXPECT_EQ(conOtroProceso([&] { return bloquea(ruta, F_WRLCK, F_OFD_SETLK); }, [] {}), 1);
    // A second reader in this very program opens it too.
    EXPECT_EQ(registros(ruta), (V{{"1"}}));
    lector.Cerrar();
    EXPECT_EQ(conOtroProceso([&] { return bloquea(ruta, F_WRLCK, F_SETLK); }, [] {}), 0);
#endif
}

TEST_F(Lector, PathsUpTo259CharactersOpenAndLongerOnesAreRefused)
{
    // Folders that bring the path close to the limit, then file names that end it exactly at
    // 259 and 260 characters.
    fs::path dir = carpeta;
    while (dir.string().size() + 1 + 100 < 259 - 20)
        dir /= std::string(100, 'd');
    fs::create_directories(dir);
    const std::size_t resto = 259 - dir.string().size() - 1;
    const std::string en259 = (dir / (std::string(resto - 4, 'f') + ".csv")).string();
    const std::string en260 = (dir / (std::string(resto - 3, 'f') + ".csv")).string();
    ASSERT_EQ(en259.size(), 259u);
    std::ofstream(en259) << "h\n1\n";
    std::ofstream(en260) << "h\n1\n";  // on Linux the file exists; only its path's length refuses it

    EXPECT_EQ(registros(en259), (V{{"1"}}));
    try {
        LectorCSV().Abrir(en260);
        FAIL() << "opened a path of 260 characters";
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 3);
        EXPECT_EQ(std::string(e.what()),
                  "Nombre de archivo inv\xE1lido: la ruta tiene 260 caracteres y el m\xE1ximo es 259");
    }

    // Characters, not bytes: a two-byte letter counts once.
    const std::string conEnie = prueba::Texto(dir / prueba::Ruta("\xC3\xB1" + std::string(resto - 5, 'f') + ".csv"));
    ASSERT_EQ(conEnie.size(), 260u);
    std::ofstream(prueba::Ruta(conEnie)) << "h\n2\n";
    EXPECT_EQ(registros(conEnie), (V{{"2"}}));
}

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// A file of `largo` zero bytes (that take no disk where files may be sparse), then `cola`.
std::string archivoDisperso(const fs::path& ruta, std::size_t largo, const std::string& cola)
{
    std::ofstream(ruta, std::ios::binary | std::ios::trunc).flush();
    fs::resize_file(ruta, largo);
    std::ofstream(ruta, std::ios::binary | std::ios::app) << cola;
    EXPECT_EQ(fs::file_size(ruta), largo + cola.size());
    return ruta.string();
}

// The text of the error a read throws, or "" when it reads.
template <class Lectura>
std::string errorAlLeer(Lectura leer)
{
    try {
        leer();
        return {};
    } catch (const store::FileError& e) {
        return e.what();
    }
}

}  // namespace

TEST_F(Lector, ASkippedLineIsNotKeptHoweverLongItIs)
{
    // A header of 64 MiB without LF, far beyond the longest line a read keeps: the buffer keeps
    // its size while the header goes by.
    LectorCSV lector(4096);
    lector.Abrir(archivoDisperso(carpeta / "a.csv", 64 * kMiB, "\r\n1,\"b\"\r\n"));
    EXPECT_EQ(lector.Capacidad(), 4096u);
    lector.SaltaLinea();
    EXPECT_EQ(campos(lector.Siguiente()), (Campos{"1", "b"}));
    EXPECT_TRUE(lector.Fin());
    EXPECT_EQ(lector.Capacidad(), 4096u);

    // A file that is one such line and nothing else.
    lector.Abrir(archivoDisperso(carpeta / "b.csv", 64 * kMiB, ""));
    lector.SaltaLinea();
    EXPECT_TRUE(lector.Fin());
    EXPECT_EQ(lector.Capacidad(), 4096u);
}

TEST_F(Lector, ALineLongerThanTheLimitIsRefusedWithItsNumberAndTheFileName)
{
    // Lines of up to 100 bytes before their LF read, and the buffer grows no further than the
    // longest line needs; the line of 101 bytes is refused. A header longer than that is
    // skipped all the same, and the file is named as it is on disk, however the caller spelled
    // it.
    const std::string cien(100, 'x');
    escribe("gruposCentro.csv", std::string(300, 'h') + "\n" + cien + "\n" + std::string(99, 'y') + "\r\n" +
                                    cien + "," + "\r\n" + "z\n");
    LectorCSV lector(16, 100);
    lector.Abrir((carpeta / "GRUPOSCENTRO.CSV").string());
    lector.SaltaLinea();
    EXPECT_EQ(campos(lector.Siguiente()), (Campos{cien}));
    EXPECT_EQ(campos(lector.Siguiente()), (Campos{std::string(99, 'y')}));
    EXPECT_EQ(errorAlLeer([&] { lector.Siguiente(); }),
              "La l\xEDnea 4 de gruposCentro.csv tiene m\xE1s de 100 bytes");
    EXPECT_LE(lector.Capacidad(), 101u);

    // The limit by default is 16 MiB, and a last line without LF counts the same.
    const std::string largo = archivoDisperso(carpeta / "profesoresGrupoCentro.csv", 16 * kMiB + 1, "");
    EXPECT_EQ(errorAlLeer([&] {
                  LectorCSV otro;
                  otro.Abrir(largo);
                  otro.Siguiente();
              }),
              "La l\xEDnea 1 de profesoresGrupoCentro.csv tiene m\xE1s de 16 MiB");
    fs::resize_file(largo, 16 * kMiB);
    LectorCSV otro;
    otro.Abrir(largo);
    EXPECT_EQ(otro.Siguiente().Cuenta(), 0);  // 16 MiB of zero bytes: a line without fields
    EXPECT_TRUE(otro.Fin());
}

// A short line among thousands: the error names the file as it is on disk and the line, counted
// from 1 with the header, so that the staff can find it.
TEST_F(Lector, AShortLineIsNamedByItsFileAndLine)
{
    std::string texto = "codigo,nome\n";
    for (int i = 2; i <= 2000; ++i)
        texto += i == 1834 ? "X" + std::to_string(i) + "\r\n" : "X" + std::to_string(i) + ",nome\r\n";
    const std::string ruta = escribe("gruposCentro.csv", texto);
    LectorCSV lector(4096);
    lector.Abrir(carpeta.string() + "/GRUPOSCENTRO.CSV");
    lector.SaltaLinea();
    try {
        while (!lector.Fin())
            (void)lector.Siguiente().Campo(1);
        FAIL() << "the short line was read";
    } catch (const store::ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
        EXPECT_EQ(e.lugar(), "gruposCentro.csv, l\xEDnea 1834");
    }
    // A copy of a record, kept beyond its reader, names no place.
    lector.Abrir(ruta);
    lector.SaltaLinea();
    const RegistroCSV copia = lector.Siguiente();
    lector.Cerrar();
    try {
        (void)copia.Campo(5);
        FAIL();
    } catch (const store::ListIndexError& e) {
        EXPECT_EQ(e.lugar(), "");
    }
    // A file that cannot be opened is named too.
    try {
        lector.Abrir(carpeta.string() + "/aulasCentro.csv");
        FAIL();
    } catch (const store::FileError& e) {
        EXPECT_EQ(e.code(), 2);
        EXPECT_EQ(e.lugar(), "aulasCentro.csv");
    }
}
