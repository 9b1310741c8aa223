#include "files/folders.h"

namespace files {

namespace {

std::size_t lastSeparator(const std::string& path)
{
    for (std::size_t i = path.size(); i-- > 0;)
        if (isSeparator(path[i]))
            return i;
    return std::string::npos;
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    // The platform's own separator, so that messages show one kind.
    return isSeparator(folder.back()) ? folder + name : folder + separator() + name;
}

std::string pathInFolder(const std::string& folder, const std::string& name)
{
    const std::string onDisk = entryNoCase(folder, name);
    return joinPath(folder, onDisk.empty() ? name : onDisk);
}

std::string findPathNoCase(const std::string& path)
{
    const std::size_t slash = lastSeparator(path);
    if (slash == std::string::npos)
        return pathInFolder(".", path).substr(2);
    // A root ("/", "C:\") keeps its separator; any other folder loses it.
    const bool root = slash == 0 || (slash == 2 && path[1] == ':');
    return pathInFolder(path.substr(0, root ? slash + 1 : slash), path.substr(slash + 1));
}

std::string fileName(const std::string& path)
{
    const std::size_t slash = lastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool fileExists(const std::string& path)
{
    return targetKind(findPathNoCase(path)) == EntryKind::File;
}

bool folderExists(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && isSeparator(p.back()) && !(p.size() == 3 && p[1] == ':'))
        p.pop_back();
    if (p.size() == 1 && isSeparator(p[0]))
        return targetKind(p) == EntryKind::Folder;
    return targetKind(findPathNoCase(p)) == EntryKind::Folder;
}

}  // namespace files
