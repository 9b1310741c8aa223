#include "store/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdlib>
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
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The spelling on disk of `name` inside `folder`, or "" when no entry matches.
std::string entryNoCase(const std::string& folder, const std::string& name)
{
    struct stat st;
    const std::string exact = (folder == "/" ? "/" : folder + "/") + name;
    if (::lstat(exact.c_str(), &st) == 0)
        return name;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string found;
    while (dirent* e = ::readdir(dir)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
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
    if (const char* env = std::getenv("TRANSORBELIN_UNIDAD_C"); env && *env)
        return stripTrailingSeparators(env);
    return "/";
}

std::string resolveFolder(const std::string& folder)
{
    std::string_view rest(folder);
    bool driveRelative = false;
    if (rest.size() >= 2 && rest[1] == ':' && ((rest[0] | 0x20) >= 'a' && (rest[0] | 0x20) <= 'z')) {
        rest.remove_prefix(2);
        driveRelative = true;
    } else if (!rest.empty() && rest[0] == '\\') {
        driveRelative = true;
    }
    if (!driveRelative)
        return stripTrailingSeparators(folder);

    std::string path = driveC();
    std::string component;
    auto flush = [&] {
        if (component.empty())
            return;
        std::string onDisk = entryNoCase(path, component);
        path = join(path, onDisk.empty() ? component : onDisk);
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

std::string pathInFolder(const std::string& folder, const std::string& name)
{
    std::string onDisk = entryNoCase(folder, name);
    return join(folder, onDisk.empty() ? name : onDisk);
}

std::string findPathNoCase(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return pathInFolder(".", path).substr(2);
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    return pathInFolder(folder, path.substr(slash + 1));
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return ::stat(findPathNoCase(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path)
{
    struct stat st;
    const std::string p = stripTrailingSeparators(path);
    return ::stat(p == "/" ? "/" : findPathNoCase(p).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace store
