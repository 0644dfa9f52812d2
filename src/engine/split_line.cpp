#include "engine/split_line.h"

namespace quelvaris {

std::size_t SplitLine(std::string_view line, char delimiter, std::span<std::string_view> fields) {
  std::size_t count = 0;
  std::size_t start = 0;
  while (start < line.size()) {
    if (count == fields.size()) break;
    // Fields are short: a plain loop beats a library search call per field. The search starts
    // one past the field's first character.
    std::size_t end = start;
    do {
      ++end;
    } while (end < line.size() && line[end] != delimiter);
    fields[count++] = line.substr(start, end - start);
    start = end + 1;
  }
  return count;
}

std::vector<std::string_view> SplitLine(std::string_view line, char delimiter) {
  // A line has at most one field per character.
  std::vector<std::string_view> fields(line.size());
  fields.resize(SplitLine(line, delimiter, std::span(fields)));
  return fields;
}

}  // namespace quelvaris
