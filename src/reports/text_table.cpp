#include "reports/text_table.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace quelvaris {

namespace {

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(sep, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// Characters, not bytes: a name from a header may be UTF-8 ("Débit"), and it must line up.
std::size_t Width(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::string AlignTable(const std::string& tab_text) {
  std::vector<std::vector<std::string_view>> rows;
  for (std::string_view line : Split(tab_text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> fields = Split(line, '\t');
    for (auto& f : fields) f = TrimRight(f);
    rows.push_back(std::move(fields));
  }
  if (!tab_text.empty() && tab_text.back() == '\n') rows.pop_back();

  std::vector<std::size_t> widths;
  for (const auto& fields : rows) {
    if (fields.size() < 2) continue;
    if (widths.size() < fields.size()) widths.resize(fields.size(), 0);
    for (std::size_t i = 0; i < fields.size(); ++i)
      widths[i] = std::max(widths[i], Width(fields[i]));
  }

  std::string out;
  for (const auto& fields : rows) {
    std::string line;
    if (fields.size() < 2) {
      line = fields.empty() ? std::string() : std::string(fields[0]);
    } else {
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i == 0) {
          line += fields[0];
          line.append(widths[0] - Width(fields[0]), ' ');
        } else {
          line.append(2 + widths[i] - Width(fields[i]), ' ');
          line += fields[i];
        }
      }
    }
    out += TrimRight(line);
    out += '\n';
  }
  return out;
}

}  // namespace quelvaris
