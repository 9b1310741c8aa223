#include "store/errors.h"

#include <cerrno>

namespace store {

FileError::FileError(int code) : std::runtime_error(fileErrorText(code)), code_(code) {}

FileError::FileError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}

ListIndexError::ListIndexError(long index)
    : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")"), index_(index) {}

std::string fileErrorText(int code)
{
    switch (code) {
    case 2: return "No se encuentra el archivo";
    case 3: return "Nombre de archivo inv\xE1lido";
    case 4: return "Demasiados archivos abiertos";
    case 5: return "Acceso al archivo denegado";
    case 100: return "Se intenta leer despu\xE9s del fin del archivo";
    case 101: return "Disco lleno";
    case 106: return "Valor num\xE9rico de entrada inv\xE1lido";
    default: return "Error de E/S " + std::to_string(code);
    }
}

int windowsErrorCode(int posixErrno)
{
    switch (posixErrno) {
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT  // disk quotas are a POSIX notion
    case EDQUOT:
#endif
        return 101;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY: return 32;  // held by another program: the Windows sharing violation
    case EIO: return 1117;     // the Windows device input/output error
    case EPIPE: return 109;    // the reader of a pipe went away: the Windows broken pipe
    default:
        // The file layer passes a Windows code without an errno counterpart negated.
        if (posixErrno < 0)
            return -posixErrno;
        return posixErrno > 0 ? 1000 + posixErrno : 1000;
    }
}

std::string errorDisplayText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

std::string errorReport(const std::exception& error)
{
    std::string texto = errorDisplayText(error.what());
    if (const auto* conLugar = dynamic_cast<const ErrorConLugar*>(&error); conLugar && !conLugar->lugar().empty())
        texto += "\n" + conLugar->lugar();
    return texto;
}

std::string lugarEnArchivo(const std::string& archivo, std::size_t linea)
{
    return linea == 0 ? archivo : archivo + ", l\xEDnea " + std::to_string(linea);
}

std::string lugarEnTabla(const std::string& tabla, long registro)
{
    return "tabla " + tabla + (registro > 0 ? ", registro " + std::to_string(registro) : std::string());
}

}  // namespace store
