// Windows' error codes as the program shows them: the file layer turns each into the errno value
// the core tests, and the error texts come out with the codes the program always used.
#include "files/win32.h"
#include "store/errors.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// What the error box says for a Windows error met by the file layer.
std::string Texto(DWORD codigo)
{
    return store::fileErrorText(store::windowsErrorCode(files::win32::errorFromWindows(codigo)));
}

}  // namespace

TEST(ErroresWindows, EachCodeKeepsTheProgramsText)
{
    EXPECT_EQ(Texto(ERROR_FILE_NOT_FOUND), "No se encuentra el archivo");
    EXPECT_EQ(Texto(ERROR_PATH_NOT_FOUND), "Nombre de archivo inv\xE1lido");
    EXPECT_EQ(Texto(ERROR_INVALID_NAME), "Nombre de archivo inv\xE1lido");
    EXPECT_EQ(Texto(ERROR_FILENAME_EXCED_RANGE), "Nombre de archivo inv\xE1lido");
    EXPECT_EQ(Texto(ERROR_TOO_MANY_OPEN_FILES), "Demasiados archivos abiertos");
    EXPECT_EQ(Texto(ERROR_ACCESS_DENIED), "Acceso al archivo denegado");
    EXPECT_EQ(Texto(ERROR_WRITE_PROTECT), "Acceso al archivo denegado");
    EXPECT_EQ(Texto(ERROR_SHARING_VIOLATION), "Error de E/S 32");
    // A locked range met by a read or a write is Windows' own 33, shown with its number.
    EXPECT_EQ(Texto(ERROR_LOCK_VIOLATION), "Error de E/S 33");
    EXPECT_EQ(Texto(ERROR_DISK_FULL), "Disco lleno");
    EXPECT_EQ(Texto(ERROR_HANDLE_DISK_FULL), "Disco lleno");
    // Codes with no errno counterpart keep Windows' number.
    EXPECT_EQ(Texto(ERROR_NETNAME_DELETED), "Error de E/S 64");
    EXPECT_EQ(Texto(ERROR_CRC), "Error de E/S 23");
}

TEST(ErroresWindows, TheCoreSeesTheErrnoValuesItTests)
{
    // The engine and the export decide on these: a name taken, a lock held, a missing file.
    EXPECT_EQ(files::win32::errorFromWindows(ERROR_FILE_EXISTS), EEXIST);
    EXPECT_EQ(files::win32::errorFromWindows(ERROR_ALREADY_EXISTS), EEXIST);
    EXPECT_EQ(files::win32::errorFromWindows(ERROR_FILE_NOT_FOUND), ENOENT);
    EXPECT_EQ(files::win32::errorFromWindows(ERROR_SHARING_VIOLATION), EBUSY);
    EXPECT_EQ(files::win32::errorFromWindows(ERROR_DISK_FULL), ENOSPC);
}
