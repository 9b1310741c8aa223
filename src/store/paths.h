// Folders and file names as the Windows-born tables and CSV files expect them: the work folder
// "\ZTEMP" or "C:\ZTEMP" without drive letters, and file names found without regard to case.
#pragma once

#include <string>

namespace store {

// The folder that stands for drive C: the --unidad-c option when set, else the environment
// variable TRANSORBELIN_UNIDAD_C, else "/".
void setDriveC(const std::string& folder);
std::string driveC();

// Turns a folder as the conversion code writes it ("\ZTEMP", "\ZTEMP\", "C:\ZTEMP", "\ztemp",
// or a plain POSIX path) into a POSIX path without a trailing separator. Each component of a
// drive-relative path is matched against the disk without regard to letter case; a component
// that does not exist keeps its spelling.
std::string resolveFolder(const std::string& folder);

// The path of the entry `name` inside `folder` (a POSIX path), found without regard to letter
// case; when none exists, folder + "/" + name spelled as given (the name for a new file).
std::string pathInFolder(const std::string& folder, const std::string& name);

// Same as pathInFolder, on a path whose last component is the file name.
std::string findPathNoCase(const std::string& path);

bool fileExists(const std::string& path);    // a regular file, found without regard to case
bool folderExists(const std::string& path);  // a folder, found without regard to case

}  // namespace store
