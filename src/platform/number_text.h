#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number text, locale-free. A number is: optional blanks (space or tab), an optional sign,
// digits with an optional fraction (or a fraction alone, ".5"), an optional exponent, optional
// blanks. No digit grouping, no "nan"/"inf", no hexadecimal, no decimal comma. A value too large
// for a double is not a number.

namespace quelvaris {

bool IsNumber(std::string_view text);

// The value of a number text, or nothing when the text is not a number.
std::optional<double> ParseNumber(std::string_view text);

// The plain decimal at the start of [p, end): an optional sign, then digits with an optional
// fraction (or a fraction alone), at most 19 digits, no exponent. Sets `value` (the double
// ParseNumber gives for it) and returns the end of its text; nullptr when the text there starts
// none (it may still be a number of another form). Plain decimals ("12.375", "-0.5") are nearly
// every field of a data file, so this is inline. When the digits, point removed, fit 2^53 and
// there are at most 22 of them after the point, both the digits and the power of ten are exact
// doubles, so one division (rounded to nearest by the hardware) gives the same double as the
// full conversion; other texts give nullptr.
inline const char* ReadPlainDecimal(const char* p, const char* end, double& value) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  std::uint64_t digits = 0;  // wraps past 19 digits, but is not used then
  const char* const first = p;
  const auto take_digits = [&] {
    for (; p != end; ++p) {
      const auto d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
      if (d > 9) break;
      digits = digits * 10 + d;
    }
  };
  take_digits();
  long count = p - first;
  long after_point = 0;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    take_digits();
    after_point = p - fraction;
    count += after_point;
  }
  if (count == 0 || count > 19) return nullptr;
  if (digits > (std::uint64_t{1} << 53) || after_point > 22) return nullptr;
  const double v = static_cast<double>(digits) / kPow10[after_point];
  value = negative ? -v : v;
  return p;
}

// The longest leading number of text after leading blanks; 0 when there is none
// ("12abc" -> 12, "abc" -> 0, "1.5e" -> 1.5). A leading number too large for a double raises
// error 6 (overflow).
double LeadingNumber(std::string_view text);

// Rounding of typed inputs: column numbers round to nearest with halves to even (2.5 -> 2),
// parameters, data points and decimals round down (3.7 -> 3, -0.5 -> -1).
double RoundHalfEven(double value);
double RoundDown(double value);

// The figure text rule: shortest round-trip decimal text, rounded to `decimals` places
// (0 to 6) with halves away from zero, exactly that many decimals, "-" only when the rounded
// figure is not zero. 2.675 -> "2.68", -0.001 -> "0.00".
std::string FormatFixed(double value, int decimals);

// Box text of a stored double: at most 15 significant digits, no trailing zeros
// ("1.5", "-999", "9999", "0.1").
std::string FormatGeneral(double value);

}  // namespace quelvaris
