#include "store/paths.h"

#include "files/folders.h"
#include "files/process.h"

#include <string_view>

namespace store {

namespace {

std::string& driveCOption()
{
    static std::string folder;
    return folder;
}

std::string stripTrailingSeparators(std::string path)
{
    while (path.size() > 1 && files::isSeparator(path.back()) && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

bool hasDriveLetter(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
}

}  // namespace

void setDriveC(const std::string& folder)
{
    driveCOption() = folder;
}

std::string driveC()
{
    if (!driveCOption().empty())
        return stripTrailingSeparators(driveCOption());
    if (const std::string env = files::environmentVariable("TRANSORBELIN_UNIDAD_C"); !env.empty())
        return stripTrailingSeparators(env);
    return files::hasDriveLetters() ? "" : "/";
}

std::string resolveFolder(const std::string& folder)
{
    std::string_view rest(folder);
    bool driveRelative = false;
    if (hasDriveLetter(rest)) {
        // Without drive letters every drive is the folder that stands for C; with them, only C
        // is, and only when such a folder was given.
        driveRelative = !files::hasDriveLetters() || (rest[0] | 0x20) == 'c';
        rest.remove_prefix(2);
    } else if (!rest.empty() && rest[0] == '\\' && !(rest.size() > 1 && rest[1] == '\\')) {
        driveRelative = true;  // the root of the current drive; "\\server" is a network path
    }
    std::string path = driveC();
    if (!driveRelative || path.empty())
        return stripTrailingSeparators(folder);

    std::string component;
    auto flush = [&] {
        if (component.empty())
            return;
        path = files::pathInFolder(path, component);
        component.clear();
    };
    for (char c : rest) {
        if (c == '\\' || c == '/')
            flush();
        else
            component += c;
    }
    flush();
    return path;
}

}  // namespace store
