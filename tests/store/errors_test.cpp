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
