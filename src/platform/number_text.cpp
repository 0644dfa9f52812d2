#include "platform/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// Length of the longest number at the start of text (no blanks skipped), 0 when there is none.
// An exponent counts only when digits follow it, so "1.5e" is the number "1.5".
std::size_t ScanNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t int_digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++int_digits;
  std::size_t frac_digits = 0;
  std::size_t end = int_digits > 0 ? i : 0;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++frac_digits;
    if (int_digits > 0 || frac_digits > 0) end = i;
  }
  if (end == 0) return 0;
  i = end;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t exp_digits = 0;
    while (j < n && IsDigit(text[j])) ++j, ++exp_digits;
    if (exp_digits > 0) end = j;
  }
  return end;
}

// True when a number text that from_chars found out of range is too large (as opposed to too
// small, which reads as zero). Works on the decimal exponent of its first significant digit.
bool IsTooLarge(std::string_view number) {
  std::size_t i = 0;
  if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
  long long position = 0;  // decimal exponent of the first significant digit
  bool found = false;
  long long int_digits = 0;
  for (; i < number.size() && IsDigit(number[i]); ++i) {
    if (!found && number[i] != '0') found = true;
    if (found) ++int_digits;
  }
  if (found) {
    position = int_digits - 1;
  } else if (i < number.size() && number[i] == '.') {
    ++i;
    long long k = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
      --k;
      if (number[i] != '0') {
        found = true;
        position = k;
        break;
      }
    }
  }
  if (!found) return false;
  while (i < number.size() && number[i] != 'e' && number[i] != 'E') ++i;
  long long exponent = 0;
  if (i < number.size()) {
    ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
    for (; i < number.size() && IsDigit(number[i]); ++i) {
      if (exponent < 1000000000) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return position + exponent >= 0;
}

// Converts a text the scanner accepted. Nothing when the value does not fit a double.
std::optional<double> ConvertScanned(std::string_view number) {
  bool negative = false;
  std::string_view digits = number;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (IsTooLarge(number)) return std::nullopt;
    value = 0;  // underflow: the nearest double is zero
  } else if (ec != std::errc() || ptr != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

// The shortest round-trip digits of a finite, non-zero magnitude and the decimal exponent of
// the first of them: value = 0.d1d2d3... * 10^(point).
void ShortestDigits(double magnitude, std::string& digits, long long& point) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
  (void)ec;
  std::string_view s(buf, static_cast<std::size_t>(end - buf));
  const std::size_t e = s.find('e');
  digits.clear();
  for (char c : s.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  point = std::strtoll(std::string(s.substr(e + 1)).c_str(), nullptr, 10) + 1;
}

// A plain decimal with blanks around it, else nothing (the text then takes the full path).
std::optional<double> ParsePlainDecimal(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && IsBlank(*p)) ++p;
  double value = 0;
  p = ReadPlainDecimal(p, end, value);
  if (p == nullptr) return std::nullopt;
  while (p != end && IsBlank(*p)) ++p;
  if (p != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  if (std::optional<double> plain = ParsePlainDecimal(text)) return plain;
  const std::size_t start = SkipBlanks(text, 0);
  const std::size_t length = ScanNumber(text.substr(start));
  if (length == 0) return std::nullopt;
  if (SkipBlanks(text, start + length) != text.size()) return std::nullopt;
  return ConvertScanned(text.substr(start, length));
}

bool IsNumber(std::string_view text) {
  return ParseNumber(text).has_value();
}

double LeadingNumber(std::string_view text) {
  const std::size_t start = SkipBlanks(text, 0);
  const std::size_t length = ScanNumber(text.substr(start));
  if (length == 0) return 0;
  auto value = ConvertScanned(text.substr(start, length));
  // A leading number beyond the range of a double cannot be represented: an overflow.
  if (!value) throw RunTimeError(err::kOverflow);
  return *value;
}

double RoundHalfEven(double value) {
  const double down = std::floor(value);
  const double diff = value - down;
  if (diff < 0.5) return down;
  if (diff > 0.5) return down + 1;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

double RoundDown(double value) {
  return std::floor(value);
}

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) {
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    return std::string(buf, end);
  }
  if (decimals < 0) decimals = 0;
  const bool negative = std::signbit(value);
  // Integer digits followed by exactly `decimals` fraction digits, plus one more to round on.
  std::string digits;
  long long int_len = 1;
  if (value == 0) {
    digits.assign(static_cast<std::size_t>(decimals) + 2, '0');
  } else {
    std::string sig;
    long long point = 0;
    ShortestDigits(std::fabs(value), sig, point);
    const long long wanted_frac = decimals + 1;
    if (point <= 0) {
      int_len = 1;
      digits = "0";
      digits.append(static_cast<std::size_t>(std::min<long long>(-point, wanted_frac)), '0');
      digits += sig;
    } else {
      int_len = point;
      digits = sig;
      if (static_cast<long long>(digits.size()) < int_len) {
        digits.append(static_cast<std::size_t>(int_len - static_cast<long long>(digits.size())),
                      '0');
      }
    }
    const std::size_t total = static_cast<std::size_t>(int_len + wanted_frac);
    if (digits.size() < total) digits.append(total - digits.size(), '0');
    digits.resize(total);
  }
  // Round half away from zero on the decimal text: the magnitude is rounded, the sign kept.
  const bool round_up = digits.back() >= '5';
  digits.pop_back();
  if (round_up) {
    std::size_t i = digits.size();
    while (i > 0) {
      --i;
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        break;
      }
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        ++int_len;
      }
    }
  }
  const bool all_zero = digits.find_first_not_of('0') == std::string::npos;
  std::string out;
  out.reserve(digits.size() + 2);
  if (negative && !all_zero) out.push_back('-');
  out.append(digits, 0, static_cast<std::size_t>(int_len));
  if (decimals > 0) {
    out.push_back('.');
    out.append(digits, static_cast<std::size_t>(int_len), std::string::npos);
  }
  return out;
}

namespace {

// The general text of a finite, non-zero value from its first 15 significant digits, rounded
// to nearest or (truncate) cut off.
std::string GeneralText(double value, bool truncate) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, truncate ? 16 : 14);
  (void)ec;
  std::string_view s(buf, static_cast<std::size_t>(end - buf));
  const std::size_t e = s.find('e');
  std::string digits;
  for (char c : s.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  digits.resize(std::min<std::size_t>(digits.size(), 15));
  const long long exponent = std::strtoll(std::string(s.substr(e + 1)).c_str(), nullptr, 10);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = value < 0 ? "-" : "";
  const long long n = static_cast<long long>(digits.size());
  if (exponent >= 15 || exponent < -6) {
    // Too long for plain digits: mantissa and a signed exponent of at least two digits.
    out += digits.substr(0, 1);
    if (n > 1) out += "." + digits.substr(1);
    char exp_buf[16];
    const long long magnitude = exponent < 0 ? -exponent : exponent;
    auto [exp_end, exp_ec] = std::to_chars(exp_buf, exp_buf + sizeof exp_buf, magnitude);
    (void)exp_ec;
    std::string exp_text(exp_buf, exp_end);
    if (exp_text.size() < 2) exp_text.insert(0, "0");
    out += exponent < 0 ? "E-" : "E+";
    out += exp_text;
  } else if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
  } else if (n <= exponent + 1) {
    out += digits;
    out.append(static_cast<std::size_t>(exponent + 1 - n), '0');
  } else {
    out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
    out += ".";
    out += digits.substr(static_cast<std::size_t>(exponent + 1));
  }
  return out;
}

}  // namespace

std::string FormatGeneral(double value) {
  if (!std::isfinite(value)) return FormatFixed(value, 0);
  if (value == 0) return "0";
  // 15 significant digits, then the trailing zeros dropped. Within the last rounding step of
  // the largest double, rounding up would give a text beyond every double, which could never
  // be read back (a box rewritten with it, a settings file saved with it); those values are
  // cut off at 15 digits instead.
  std::string out = GeneralText(value, false);
  if (!ParseNumber(out)) out = GeneralText(value, true);
  return out;
}

}  // namespace quelvaris
