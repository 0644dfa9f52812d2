#pragma once

#include <string_view>
#include <vector>

namespace quelvaris {

// Splits a data line into its fields, as views into `line` (no copies).
//
// The search for the next delimiter starts one character after the start of the field, so a
// delimiter standing at the start of a field belongs to that field: "1,,3" gives "1" and ",3",
// never an empty field. A delimiter at the very end adds no field, and an empty line has none.
// Existing data files were written against these rules, so they are kept as they are.
//
// `fields` is cleared and refilled; the reader passes the same vector for every line so that
// no row allocates.
void SplitLine(std::string_view line, char delimiter, std::vector<std::string_view>& fields);

// Convenience form returning a fresh list.
std::vector<std::string_view> SplitLine(std::string_view line, char delimiter);

}  // namespace quelvaris
