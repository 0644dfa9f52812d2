#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quelvaris {

// Blanks (spaces and tabs) around a field's text removed.
std::string_view TrimmedField(std::string_view t);

// How the batch reader turns a field's text into a value: a number (with a decimal comma when
// the file has them), or a missing-value text read as the missing code. Read-only once made,
// so the threads of one read share it.
class FieldValues {
 public:
  FieldValues(const std::vector<std::string>& missing_texts, double missing_code,
              bool decimal_comma);

  // The number of a trimmed text, nothing when it is none (decimal comma as the file has it).
  std::optional<double> NumberOf(std::string_view trimmed) const;
  bool IsMissing(std::string_view trimmed) const { return missing_.count(trimmed) > 0; }

  // Whether a plain decimal text is always its number (no number is listed as missing).
  bool PlainIsNumber() const { return !missing_before_number_; }

  // The value of a field's text as read (blanks around it allowed), nothing when it is neither
  // a number nor a missing-value text.
  std::optional<double> ValueOf(std::string_view text) const;

 private:
  std::unordered_set<std::string_view> missing_;
  double missing_code_;
  bool decimal_comma_;
  bool missing_before_number_ = false;  // a number is listed as missing
};

}  // namespace quelvaris
