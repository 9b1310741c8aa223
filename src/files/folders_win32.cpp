// Folders on Windows: file attributes and FindFirstFileW. Windows itself ignores letter case;
// the lookup only learns the spelling on disk.
#include "files/folders.h"
#include "files/win32.h"

#include <windows.h>

namespace files {

namespace {

using win32::narrow;
using win32::widen;

EntryKind kindOf(DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return EntryKind::Other;
    return EntryKind::File;
}

std::wstring inFolder(const std::string& folder, const std::string& name)
{
    return widen(joinPath(folder, name));
}

}  // namespace

bool hasDriveLetters()
{
    return true;
}

char separator()
{
    return '\\';
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

EntryKind entryKind(const std::string& path)
{
    return kindOf(GetFileAttributesW(widen(path).c_str()));
}

EntryKind targetKind(const std::string& path)
{
    const std::wstring wide = widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return kindOf(attributes);
    // A link: what it leads to, if anything.
    HANDLE h = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return EntryKind::Missing;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return known ? kindOf(info.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT))
                 : EntryKind::Missing;
}

std::string entryNoCase(const std::string& folder, const std::string& name)
{
    // Wildcards would make the lookup a pattern.
    if (name.empty() || name.find_first_of("*?") != std::string::npos)
        return {};
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(inFolder(folder, name).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    FindClose(h);
    return narrow(found.cFileName);
}

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(inFolder(folder.empty() ? "." : folder, "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = narrow(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

}  // namespace files
