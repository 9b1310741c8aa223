#include "store/errors.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace store;

TEST(ErrorTexts, FileErrorsByCode)
{
    EXPECT_EQ(FileError(2).what(), std::string("No se encuentra el archivo"));
    EXPECT_EQ(FileError(3).what(), std::string("Nombre de archivo inv\xE1lido"));
    EXPECT_EQ(FileError(4).what(), std::string("Demasiados archivos abiertos"));
    EXPECT_EQ(FileError(5).what(), std::string("Acceso al archivo denegado"));
    EXPECT_EQ(FileError(100).what(), std::string("Se intenta leer despu\xE9s del fin del archivo"));
    EXPECT_EQ(FileError(101).what(), std::string("Disco lleno"));
    EXPECT_EQ(FileError(106).what(), std::string("Valor num\xE9rico de entrada inv\xE1lido"));
    EXPECT_EQ(FileError(32).what(), std::string("Error de E/S 32"));
    EXPECT_EQ(FileError(32).code(), 32);
}

TEST(ErrorTexts, PosixCodesMapToWindowsCodes)
{
    EXPECT_EQ(windowsErrorCode(ENOENT), 2);
    EXPECT_EQ(windowsErrorCode(EACCES), 5);
    EXPECT_EQ(windowsErrorCode(EROFS), 5);
    EXPECT_EQ(windowsErrorCode(ENOSPC), 101);
    EXPECT_EQ(windowsErrorCode(EFBIG), 101);
    EXPECT_EQ(windowsErrorCode(EMFILE), 4);
}

TEST(ErrorTexts, ListIndexText)
{
    EXPECT_EQ(ListIndexError(5).what(), std::string("List index out of bounds (5)"));
    EXPECT_EQ(ListIndexError(-1).what(), std::string("List index out of bounds (-1)"));
}

TEST(ErrorTexts, TheReportPutsThePlaceOnASecondLine)
{
    ListIndexError corta(4);
    EXPECT_EQ(errorReport(corta), "List index out of bounds (4)");
    corta.ponLugar(lugarEnArchivo("gruposCentro.csv", 1834));
    corta.ponLugar("otro sitio");  // the first place given, the innermost, stays
    EXPECT_STREQ(corta.what(), "List index out of bounds (4)");
    EXPECT_EQ(errorReport(corta), "List index out of bounds (4)\ngruposCentro.csv, l\xEDnea 1834");
    // The full stop goes on the system's text, not after the place.
    FileError lleno(101);
    lleno.ponLugar(lugarEnTabla("ASIGT.DBF"));
    EXPECT_EQ(errorReport(lleno), "Disco lleno.\ntabla ASIGT.DBF");
    EXPECT_EQ(lugarEnTabla("SOLUC", 57), "tabla SOLUC, registro 57");
    EXPECT_EQ(lugarEnArchivo("HORARIO.CSV", 0), "HORARIO.CSV");
    EXPECT_EQ(errorReport(std::runtime_error("sin lugar")), "sin lugar.");
}

TEST(ErrorTexts, FullStopRule)
{
    // A full stop goes after any last character whose code is above that of ".".
    EXPECT_EQ(errorDisplayText("Disco lleno"), "Disco lleno.");
    // ")" (0x29) and "'" (0x27) lie below ".", so no full stop follows them.
    EXPECT_EQ(errorDisplayText("List index out of bounds (5)"), "List index out of bounds (5)");
    EXPECT_EQ(errorDisplayText("en 'PROFT'"), "en 'PROFT'");
    EXPECT_EQ(errorDisplayText("ya acaba."), "ya acaba.");
    EXPECT_EQ(errorDisplayText("coma,"), "coma,");
    EXPECT_EQ(errorDisplayText("barra/"), "barra/.");
    EXPECT_EQ(errorDisplayText("a\xE1"), "a\xE1.");
    EXPECT_EQ(errorDisplayText(""), "");
}
