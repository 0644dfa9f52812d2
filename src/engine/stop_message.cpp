#include "engine/stop_message.h"

namespace quelvaris {

std::string InsufficientDataMessage(const TooFewValues& v, std::string_view newline) {
  std::string text = "Insufficient data to make calculations.";
  text += newline;
  text += "Only " + std::to_string(v.rows) +
          (v.period ? " rows in the evaluation period." : " rows processed.");
  text += newline;
  text += std::to_string(v.missing) + " missing observed values noted.";
  if (v.out_of_bounds) {
    text += newline;
    text += std::to_string(*v.out_of_bounds) + " values out of range.";
  }
  return text;
}

}  // namespace quelvaris
