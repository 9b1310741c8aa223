// The work folder as the conversion code writes it: "\ZTEMP" or "C:\ZTEMP", with or without
// drive letters underneath. File names inside it are found through files/folders.h.
#pragma once

#include <string>

namespace store {

// The folder that stands for drive C: the --unidad-c option when set, else the environment
// variable TRANSORBELIN_UNIDAD_C. Without either, "/" on POSIX; on Windows drive C is itself
// and driveC() is empty.
void setDriveC(const std::string& folder);
std::string driveC();

// Turns a folder as the conversion code writes it ("\ZTEMP", "\ZTEMP\", "C:\ZTEMP", "\ztemp",
// or a plain path) into a path without a trailing separator. Where a folder stands for drive C,
// "\ZTEMP" and "C:\ZTEMP" both lead into it, each component matched against the disk without
// regard to letter case (a component that does not exist keeps its spelling). On Windows
// without one, drive letters keep their meaning: "\ZTEMP" is on the current drive.
std::string resolveFolder(const std::string& folder);

}  // namespace store
