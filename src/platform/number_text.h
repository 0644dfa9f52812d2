#pragma once

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
// fraction (or a fraction alone), at most 19 digits of which at most 22 after the point, no
// exponent, a value within 2^53 units of its last digit. Sets `value` (the double ParseNumber
// gives for it) and returns the end of its text; nullptr when the text there starts none (it
// may still be a number of another form).
const char* ReadPlainDecimal(const char* p, const char* end, double& value);

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
