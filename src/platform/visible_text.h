#pragma once

#include <string>
#include <string_view>

// Text from outside the program (a field of a data file, a path) in a message that may reach a
// terminal or a message box: every control character (the C0 codes and DEL) is written as a
// visible escape, so a message never carries a raw control byte. The escapes are \0, \t, \n,
// \r and otherwise \x followed by two lower-case hexadecimal digits (\x1b, \x7f).

namespace quelvaris {

// Control characters escaped; everything else as it stands.
std::string VisibleText(std::string_view text);

// For a text quoted from a file: a backslash is written \\ as well, so the quote is
// unambiguous ("\t" in it is always a tab, never a backslash and a t).
std::string QuotedText(std::string_view text);

}  // namespace quelvaris
