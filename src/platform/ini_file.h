#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small INI reader/writer. Section and key names match case-insensitively. Values are read
// whole (no length cut) with blanks around them kept as written after the "=".

namespace quelvaris {

// The value of key in section of the file at path, or default_value when the file, the section
// or the key is absent. A file that cannot be read counts as absent, and so does anything at the
// path that is not a regular file (a device, a pipe, a folder: none of them is ever read) and a
// file of more than a megabyte, so a read never takes more than reading a small file.
std::string ReadIniValue(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view default_value);

// Replaces or appends key=value in section, creating the file and the section as needed and
// keeping every other line as it was. The file is replaced atomically (temporary file beside it,
// then rename; a symbolic link is followed). Returns false when the write failed, in which case
// the file is unchanged.
bool WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value);

// Several keys of one section in one replacement of the file: either every key is written or,
// on failure (false), none is. Keys new to the section are added in the order given.
bool WriteIniValues(const std::string& path, std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& keys);

}  // namespace quelvaris
