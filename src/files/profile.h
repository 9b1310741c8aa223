// A key of an INI file written as the system writes it: the result record the host program
// reads. On Windows, WritePrivateProfileString itself; on POSIX our own writer does the same.
#pragma once

#include <functional>
#include <string>

namespace files {

// The file's new text from its present one ("" when it does not exist yet).
using ProfileUpdate = std::function<std::string(const std::string& text)>;

// Writes `key`=`value` into `section` of the INI file at `path`. Windows does it itself; on
// POSIX `update` makes the new text and the file is replaced whole (a link followed: the file it
// names is the record; its mode kept), so a failed write never leaves half a file. False when
// the file cannot be read or written; it is then left as it was.
bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value, const ProfileUpdate& update);

}  // namespace files
