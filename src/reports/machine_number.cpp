#include "reports/machine_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/number_text.h"

namespace quelvaris {

namespace {

// The shortest text of k / 10^decimals (negated when `negative`) when it is the fixed form,
// else nullptr with nothing written: trailing zeros dropped, the fixed form taken unless the
// scientific one ("1e+05", "5e-06") is shorter. k has at most 16 digits.
char* WriteScaled(std::uint64_t k, int decimals, bool negative, char* at) {
  while (decimals > 0 && k % 10 == 0) {
    k /= 10;
    --decimals;
  }
  // The digits end 16 characters before the end of the room, so that they can be copied by
  // blocks of a fixed size.
  char room[40] = {};
  char* const last = room + 24;
  char* first = last;
  do {
    *--first = static_cast<char>('0' + k % 10);
    k /= 10;
  } while (k != 0);
  const int length = static_cast<int>(last - first);
  int significant = length;
  if (decimals == 0) {
    while (significant > 1 && first[significant - 1] == '0') --significant;
  }
  // The leading digit's exponent is below 100 in size, so it takes two digits.
  const int scientific = significant + (significant > 1 ? 1 : 0) + 4;
  const int fixed = decimals == 0 ? length : (length > decimals ? length + 1 : decimals + 2);
  if (fixed > scientific) return nullptr;
  if (negative) *at++ = '-';
  if (length <= decimals) {
    std::memcpy(at, "0.000000", 8);
    at += 2 + decimals - length;
    std::memcpy(at, first, 8);
    return at + length;
  }
  std::memcpy(at, first, 16);
  if (decimals == 0) return at + length;
  const int whole = length - decimals;
  at[whole] = '.';
  std::memcpy(at + whole + 1, first + whole, 8);
  return at + length + 1;
}

// The shortest text that reads back as `value` (finite), as std::to_chars writes it, in kFigureRoom
// characters at `at` (which may be written past the end of the text).
//
// Most figures are of moderate size, where two cheaper ways give the same text. A value of at
// most six decimals (the data's own values and their extremes): k = |value| * 10^6, rounded, is
// a candidate, and the division k / 10^6, exactly rounded, equals |value| exactly when the
// text of k with six decimals reads back as the value. Below 2^52 / 10^6 two texts of six
// decimals lie further apart than the doubles around the value, so that text is the only one
// that does; any shorter one that does, padded with zeros, is that same text, so the shortest
// is k with its trailing zeros dropped, and no other text of as few digits reads back. Any
// other value: the shortest digits come from the scientific conversion, which skips the
// general one's work on the fixed form, and are laid out in the fixed form when that is no
// longer (the general conversion's rule). Below 10^13 the fixed form is those digits padded.
char* WriteShortest(double value, char* at) {
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-5 && magnitude < 1e13))
    return std::to_chars(at, at + kFigureRoom, value).ptr;
  constexpr double kScale = 1e6;
  constexpr int kDecimals = 6;
  constexpr double kLimit = 4503599627370496.0;  // 2^52
  const double scaled = magnitude * kScale;
  const auto k = static_cast<std::uint64_t>(scaled + 0.5);
  if (scaled < kLimit && static_cast<double>(k) / kScale == magnitude) {
    if (char* end = WriteScaled(k, kDecimals, value < 0, at)) return end;
    return std::to_chars(at, at + kFigureRoom, value).ptr;
  }

  char text[48] = {};  // "d.ddde-XX", with room for copies by blocks of a fixed size
  const char* const end =
      std::to_chars(text, text + kFigureRoom, magnitude, std::chars_format::scientific).ptr;
  const int exponent_size = (end[-2] - '0') * 10 + (end[-1] - '0');
  const int exponent = end[-3] == '-' ? -exponent_size : exponent_size;
  const int mantissa = static_cast<int>(end - text) - 4;  // "d" or "d.ddd"
  const int digits = mantissa == 1 ? 1 : mantissa - 1;
  const int whole = exponent + 1;  // digits before the point
  const int fixed = exponent < 0 ? digits + 1 - exponent : (digits > whole ? digits + 1 : whole);
  if (value < 0) *at++ = '-';
  if (fixed > mantissa + 4) {
    std::memcpy(at, text, 24);
    return at + (end - text);
  }
  if (exponent < 0) {
    std::memcpy(at, "0.000000", 8);
    at += 1 - exponent;
  }
  // The digits side by side: text[0], then text[2] on.
  at[0] = text[0];
  std::memcpy(at + 1, text + 2, 16);
  if (exponent < 0) return at + digits;
  if (digits <= whole) {
    std::memcpy(at + digits, "0000000000000000", 16);
    return at + whole;
  }
  at[whole] = '.';
  std::memcpy(at + whole + 1, text + whole + 1, 16);
  return at + digits + 1;
}

}  // namespace

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
  return WriteShortest(figure.value, at);
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
