#include "reports/machine_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "platform/number_text.h"

namespace quelvaris {

std::string MachineNumber(double value, bool is_count, int decimals) {
  if (is_count) return FormatFixed(value, 0);
  if (decimals >= 0) return FormatFixed(value, decimals);
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;  // 32 characters hold the shortest text of any double
  return std::string(buf, end);
}

char* WriteFigure(const FigureValue& figure, bool is_count, int decimals, char* at) {
  // The statistics never leave an infinity or NaN behind; if one ever came, no format could
  // write it as a number.
  if (!figure.defined || !std::isfinite(figure.value)) return at;
  // A whole count is its digits, as the fixed form with no decimals writes it (no sign on a
  // zero); the fixed form's text of the digits costs as much as the figures of a short period.
  constexpr double kExactWhole = 9007199254740992.0;  // 2^53
  if (is_count && std::fabs(figure.value) < kExactWhole &&
      figure.value == std::trunc(figure.value)) {
    return std::to_chars(at, at + kFigureRoom, static_cast<std::int64_t>(figure.value)).ptr;
  }
  if (is_count || decimals >= 0) return nullptr;
  // Straight into the text: a shortest text of 17 digits and more would cost a string of its
  // own on the heap, and a table of periods writes hundreds of thousands of them. 32
  // characters hold the shortest text of any double.
  return std::to_chars(at, at + kFigureRoom, figure.value).ptr;
}

bool AppendFigure(const FigureValue& figure, bool is_count, int decimals, std::string& out) {
  char buf[kFigureRoom];
  if (const char* end = WriteFigure(figure, is_count, decimals, buf)) {
    // Appended by its length: the append of a pair of pointers goes through the general
    // replace.
    out.append(buf, static_cast<std::size_t>(end - buf));
    return end != buf;
  }
  out += MachineNumber(figure.value, is_count, decimals);
  return true;
}

}  // namespace quelvaris
