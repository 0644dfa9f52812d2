#pragma once

#include <cstddef>
#include <span>
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
// Fills `fields` from the front and returns how many fields it filled: the line's fields, or
// fields.size() when the line has more. What lies beyond the last field taken is not looked
// at, so a row costs the same whatever follows the columns it needs.
std::size_t SplitLine(std::string_view line, char delimiter, std::span<std::string_view> fields);

// Every field of the line, as a fresh list.
std::vector<std::string_view> SplitLine(std::string_view line, char delimiter);

}  // namespace quelvaris
