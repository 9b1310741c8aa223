// What the Windows half of the file layer shares: UTF-8 paths as the wide strings every W call
// takes, and Windows error codes as the errno values the core tests.
#pragma once

#include <string>

namespace files::win32 {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// A GetLastError code as an errno value; a code with no counterpart comes back negated, so
// that the program shows "Error de E/S <code>" with the number Windows gave.
int errorFromWindows(unsigned long code);
int lastError();

}  // namespace files::win32
