#include "engine/field_values.h"

#include <algorithm>

#include "platform/number_text.h"

namespace quelvaris {

std::string_view TrimmedField(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

FieldValues::FieldValues(const std::vector<std::string>& missing_texts, double missing_code,
                         bool decimal_comma)
    : missing_code_(missing_code), decimal_comma_(decimal_comma) {
  for (const std::string& t : missing_texts) {
    missing_.insert(t);
    // A number listed as missing must be looked up before the text is read as a number.
    if (ParseNumber(t)) missing_before_number_ = true;
  }
}

std::optional<double> FieldValues::NumberOf(std::string_view t) const {
  if (!decimal_comma_ || t.find(',') == std::string_view::npos) return ParseNumber(t);
  std::string dotted(t);
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  return ParseNumber(dotted);
}

std::optional<double> FieldValues::ValueOf(std::string_view text) const {
  if (!missing_before_number_) {
    // Nearly every field: a plain decimal as it stands.
    double v = 0;
    const char* const end = text.data() + text.size();
    if (ReadPlainDecimal(text.data(), end, v) == end) return v;
  }
  const std::string_view t = TrimmedField(text);
  if ((missing_before_number_ || t.empty()) && IsMissing(t)) return missing_code_;
  if (std::optional<double> v = NumberOf(t)) return v;
  if (IsMissing(t)) return missing_code_;
  return std::nullopt;
}

}  // namespace quelvaris
