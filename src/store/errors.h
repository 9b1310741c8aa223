// Errors shared by the whole conversion core and both front ends.
// Every text is 8-bit Windows-1252, as the tables store it.
#pragma once

#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>

namespace store {

// Where an error happened, for the person who has to find it among thousands of lines:
// "gruposCentro.csv, l\xEDnea 1834", "tabla SOLUC, registro 57". Empty when the error's own text
// already says it. Shown on a line of its own below the system's text, which stays as it is.
class ErrorConLugar {
public:
    const std::string& lugar() const { return lugar_; }
    // The innermost place is the one that counts: a place already set stays.
    void ponLugar(const std::string& lugar)
    {
        if (lugar_.empty())
            lugar_ = lugar;
    }

private:
    std::string lugar_;
};

// A failure of the table engine: missing folder or table, table in use, missing tag, damaged file.
class EngineError : public std::runtime_error, public ErrorConLugar {
public:
    explicit EngineError(const std::string& text) : std::runtime_error(text) {}
};

// An input/output failure, carrying the Windows system error code that selects its text.
class FileError : public std::runtime_error, public ErrorConLugar {
public:
    explicit FileError(int code);
    FileError(int code, const std::string& text);
    int code() const { return code_; }

private:
    int code_;
};

// A field list or text list asked for a position beyond its last entry.
class ListIndexError : public std::runtime_error, public ErrorConLugar {
public:
    explicit ListIndexError(long index);
    long index() const { return index_; }

private:
    long index_;
};

// The text of a file error by its Windows system error code ("Disco lleno" for 101 and so on).
std::string fileErrorText(int code);

// The Windows system error code that stands for a POSIX errno value.
int windowsErrorCode(int posixErrno);

// The text shown in the error box: a full stop is appended when the last character's code is
// above that of ".".
std::string errorDisplayText(const std::string& message);

// What the error box and standard error show for an error: errorDisplayText of its message,
// then its place on a second line when it has one.
std::string errorReport(const std::exception& error);

// A place as the second line names it: a file and a line of it, a table and a record of it.
std::string lugarEnArchivo(const std::string& archivo, std::size_t linea);
std::string lugarEnTabla(const std::string& tabla, long registro = 0);

}  // namespace store
