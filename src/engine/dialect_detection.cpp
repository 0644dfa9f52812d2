#include "engine/dialect_detection.h"

namespace quelvaris {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The first line that holds more than blanks, quotes respected; and what follows it.
std::string_view FirstLine(std::string_view start, std::string_view& rest) {
  std::size_t begin = 0;
  for (;;) {
    std::size_t at = begin;
    while (at < start.size() && IsBlank(start[at])) ++at;
    if (at < start.size() && (start[at] == '\n' || start[at] == '\r')) {
      begin = at + 1;
      continue;
    }
    break;
  }
  bool quoted = false;
  std::size_t end = begin;
  for (; end < start.size(); ++end) {
    const char c = start[end];
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\n' || c == '\r')) break;
  }
  rest = start.substr(end);
  return start.substr(begin, end - begin);
}

char DelimiterOf(std::string_view line) {
  int tabs = 0;
  int semicolons = 0;
  int commas = 0;
  bool inner_blanks = false;
  bool quoted = false;
  bool seen_field = false;
  bool blank_run = false;
  for (const char c : line) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    tabs += c == '\t';
    semicolons += c == ';';
    commas += c == ',';
    if (IsBlank(c)) {
      blank_run = seen_field;
    } else {
      if (blank_run) inner_blanks = true;
      blank_run = false;
      seen_field = true;
    }
  }
  if (tabs > 0) return '\t';
  if (semicolons > 0) return ';';
  if (commas > 0) return ',';
  return inner_blanks ? ' ' : '\t';
}

bool WritesDecimalCommas(std::string_view text) {
  int commas = 0;
  int points = 0;
  bool quoted = false;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted || !IsDigit(text[i - 1]) || !IsDigit(text[i + 1])) continue;
    commas += c == ',';
    points += c == '.';
  }
  return commas > 0 && points == 0;
}

}  // namespace

Dialect DetectDialect(std::string_view start, std::optional<char> delimiter,
                      std::optional<bool> decimal_comma) {
  std::string_view rest;
  const std::string_view first = FirstLine(start, rest);
  Dialect d;
  d.delimiter = delimiter.value_or(DelimiterOf(first));
  if (decimal_comma) {
    d.decimal_comma = *decimal_comma;
  } else if (d.delimiter == ';') {
    d.decimal_comma = WritesDecimalCommas(rest.empty() ? first : rest);
  }
  return d;
}

}  // namespace quelvaris
