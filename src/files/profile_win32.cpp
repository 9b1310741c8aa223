// An INI file's key written by Windows itself. The wide call, so that a program folder with
// accents in its name works under any ANSI code page; the texts are plain ASCII.
#include "files/profile.h"
#include "files/win32.h"

#include <windows.h>

namespace files {

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value, const ProfileUpdate&)
{
    using win32::widen;
    return WritePrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), widen(value).c_str(),
                                      widen(path).c_str()) != 0;
}

}  // namespace files
