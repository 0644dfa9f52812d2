#include "reports/machine_number.h"

#include <charconv>
#include <cmath>

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

bool AppendFigure(const FigureValue& figure, bool is_count, int decimals, std::string& out) {
  // The statistics never leave an infinity or NaN behind; if one ever came, no format could
  // write it as a number.
  if (!figure.defined || !std::isfinite(figure.value)) return false;
  if (is_count || decimals >= 0) {
    out += MachineNumber(figure.value, is_count, decimals);
    return true;
  }
  // Straight into the output: a shortest text of 17 digits and more would cost a string of
  // its own on the heap, and a table of periods writes hundreds of thousands of them.
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, figure.value);
  (void)ec;
  out.append(buf, end);
  return true;
}

}  // namespace quelvaris
