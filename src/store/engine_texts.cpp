#include "store/engine_texts.h"

#include "store/errors.h"

namespace store::texts {

std::string folderShown(const std::string& given, const std::string& resolved)
{
    if (given == resolved || given.empty())
        return resolved;
    return given + " (" + resolved + ")";
}

std::string folderMissing(const std::string& table, const std::string& folder)
{
    return "No existe la carpeta " + folder + ", donde debe estar la tabla " + table;
}

std::string tableMissing(const std::string& table, const std::string& folder)
{
    return "No existe la tabla " + table + " en la carpeta " + folder;
}

std::string inUse(const std::string& table)
{
    return "La tabla " + table + " est\xE1 en uso: otro programa o ventana la tiene abierta";
}

std::string damaged(const std::string& table, const std::string& why)
{
    return "La tabla " + table + " est\xE1 da\xF1" "ada: " + why;
}

std::string unsupported(const std::string& table, const std::string& why)
{
    return "La tabla " + table + " no se puede leer: " + why;
}

std::string damagedIndex(const std::string& table, const std::string& why)
{
    return "El \xEDndice de la tabla " + table + " est\xE1 da\xF1" "ado: " + why;
}

std::string tagMissing(const std::string& table, const std::string& tag)
{
    return "La tabla " + table + " no tiene el \xEDndice " + tag;
}

std::string noActiveIndex(const std::string& table)
{
    return "La tabla " + table + " no tiene un \xEDndice activo para buscar";
}

std::string tagNotKept(const std::string& table, const std::string& tag)
{
    return "El \xEDndice " + tag + " de la tabla " + table +
           " usa una expresi\xF3n que este programa no mantiene; no se puede modificar la tabla";
}

std::string fieldMissing(const std::string& table, const std::string& field)
{
    return "La tabla " + table + " no tiene el campo " + field;
}

std::string fieldOfOtherOpening(const std::string& table, const std::string& field)
{
    return "El campo " + field + " no se tom\xF3 de esta apertura de la tabla " + table;
}

std::string fieldValue(const std::string& table, const std::string& field, const std::string& why)
{
    return "Tabla " + table + ", campo " + field + ": " + why;
}

std::string valueCount(const std::string& table, const std::string& fieldList, std::size_t values)
{
    return "Tabla " + table + ": la b\xFAsqueda por " + fieldList + " recibe " + std::to_string(values) +
           (values == 1 ? " valor" : " valores") + ", que no corresponden a sus campos";
}

std::string notOpen(const std::string& table)
{
    return "La tabla " + table + " no est\xE1 abierta";
}

std::string notWholeRecords(const std::string& table, std::size_t length)
{
    return "Los registros para la tabla " + table + " no son de " + std::to_string(length) + " bytes cada uno";
}

std::string notEditing(const std::string& table)
{
    return "La tabla " + table + " no est\xE1 en edici\xF3n ni en alta de registro";
}

std::string noCurrentRecord(const std::string& table)
{
    return "La tabla " + table + " no tiene registro actual";
}

std::string noSuchRecord(const std::string& table, long recNo)
{
    return "La tabla " + table + " no tiene el registro " + std::to_string(recNo);
}

std::string readFailed(const std::string& table, int posixErrno)
{
    return "No se puede leer la tabla " + table + ": " + fileErrorText(windowsErrorCode(posixErrno));
}

std::string writeFailed(const std::string& table, int posixErrno)
{
    return "No se puede escribir en la tabla " + table + ": " + fileErrorText(windowsErrorCode(posixErrno));
}

std::string restructured(const std::string& table)
{
    return "La tabla " + table + " ha cambiado de estructura mientras estaba abierta; vuelva a abrirla";
}

std::string readOnly(const std::string& table)
{
    return "La tabla " + table + " es de solo lectura";
}

std::string cannotCreate(const std::string& table, const std::string& why)
{
    return "No se puede crear la tabla " + table + ": " + why;
}

std::string cannotCreateIndex(const std::string& table, const std::string& why)
{
    return "No se puede crear el \xEDndice de la tabla " + table + ": " + why;
}

}  // namespace store::texts
