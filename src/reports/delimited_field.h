#pragma once

#include <string>
#include <string_view>

namespace quelvaris {

// Appends one field of a delimited line. A field holding the delimiter, a double quote or a
// line break is quoted, its quotes doubled, so a standard CSV reader (with the same delimiter)
// reads it back whole.
inline void AppendDelimitedField(std::string_view text, char delimiter, std::string& out) {
  if (text.find_first_of(std::string{delimiter, '"', '\r', '\n'}) == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace quelvaris
