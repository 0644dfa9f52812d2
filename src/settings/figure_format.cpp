#include "settings/figure_format.h"

#include "platform/number_text.h"

namespace quelvaris {

std::string FormatFigure(double value, const std::string& pattern) {
  // The pattern's decimals are the zeros after its point ("0.000" -> 3).
  const auto point = pattern.find('.');
  const int decimals =
      point == std::string::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
  return FormatFixed(value, decimals);
}

std::string FormatCount(double value) {
  return FormatFixed(value, 0);
}

}  // namespace quelvaris
