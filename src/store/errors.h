// Errors shared by the whole conversion core and both front ends.
// Every text is 8-bit Windows-1252, as the tables store it.
#pragma once

#include <stdexcept>
#include <string>

namespace store {

// A failure of the table engine: missing folder or table, table in use, missing tag, damaged file.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& text) : std::runtime_error(text) {}
};

// An input/output failure, carrying the Windows system error code that selects its text.
class FileError : public std::runtime_error {
public:
    explicit FileError(int code);
    FileError(int code, const std::string& text);
    int code() const { return code_; }

private:
    int code_;
};

// A field list or text list asked for a position beyond its last entry.
class ListIndexError : public std::runtime_error {
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

// Throws the FileError for the current errno.
[[noreturn]] void throwFileErrorFromErrno();

// The text shown in the error box: a full stop is appended when the last character's code is
// above that of ".".
std::string errorDisplayText(const std::string& message);

}  // namespace store
