// Folders on POSIX: lstat, stat and readdir; letter case is ignored by comparing names.

#include "files/folders.h"
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace files {

bool hasDriveLetters()
{
    return false;
}

char separator()
{
    return '/';
}

bool isSeparator(char c)
{
    return c == '/';
}

namespace {

EntryKind kindOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return EntryKind::File;
    if (S_ISDIR(st.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(st.st_mode))
        return EntryKind::Link;
    return EntryKind::Other;
}

}  // namespace

EntryKind entryKind(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? kindOf(st) : EntryKind::Missing;
}

EntryKind targetKind(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? kindOf(st) : EntryKind::Missing;
}

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

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

}  // namespace files
