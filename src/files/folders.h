// Folders and names as the Windows-born tables and CSV files expect them: file names found
// without regard to letter case, what stands at a path, a folder's entries. folders.cpp holds
// what both platforms share; folders_posix.cpp and folders_win32.cpp ask the system.
#pragma once

#include <string>
#include <vector>

namespace files {

// Whether paths have drive letters that name real drives (Windows). Without them (POSIX) a
// folder stands for drive C (see store/paths.h).
bool hasDriveLetters();

// The platform's own separator: '\\' on Windows, '/' on POSIX. Windows takes '/' as well.
char separator();
bool isSeparator(char c);

enum class EntryKind { Missing, File, Folder, Link, Other };

// What stands at `path`; a symbolic link is looked at itself, not followed.
EntryKind entryKind(const std::string& path);
// The same, through links: what a program that opens `path` finds.
EntryKind targetKind(const std::string& path);

// The spelling on disk of the entry `name` inside `folder`, or "" when none matches it without
// regard to letter case.
std::string entryNoCase(const std::string& folder, const std::string& name);

// The names of a folder's entries, "." and ".." left out; empty when it cannot be read.
std::vector<std::string> listFolder(const std::string& folder);

// The path of the entry `name` inside `folder`, found without regard to letter case; when none
// exists, folder + "/" + name spelled as given (the name for a new file).
std::string pathInFolder(const std::string& folder, const std::string& name);

// Same as pathInFolder, on a path whose last component is the file name.
std::string findPathNoCase(const std::string& path);

// `name` inside `folder`, with one separator between them (the platform's own).
std::string joinPath(const std::string& folder, const std::string& name);

// The last component of a path.
std::string fileName(const std::string& path);

bool fileExists(const std::string& path);    // a regular file, found without regard to case
bool folderExists(const std::string& path);  // a folder, found without regard to case

}  // namespace files
