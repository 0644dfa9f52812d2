#include "reports/machine_number.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/number_text.h"

// The fmt library serves its shortest-digit conversion alone, compiled in with this file, with
// its whole table of powers of ten (some 10 KB) rather than the few it can work the others out
// from: a quarter less time a number.
#define FMT_HEADER_ONLY
#define FMT_USE_FULL_CACHE_DRAGONBOX 1
#include <fmt/format.h>

namespace quelvaris {

namespace {

// Every whole number below it is a double.
constexpr double kExactWhole = 9007199254740992.0;  // 2^53

// "00", "01", ... "99".
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// The eight digits of `value` (below 10^8), leading zeros included.
void WriteEightDigits(std::uint32_t value, char* at) {
  const std::uint32_t high = value / 10000;
  const std::uint32_t low = value % 10000;
  std::memcpy(at, &kDigitPairs[2 * (high / 100)], 2);
  std::memcpy(at + 2, &kDigitPairs[2 * (high % 100)], 2);
  std::memcpy(at + 4, &kDigitPairs[2 * (low / 100)], 2);
  std::memcpy(at + 6, &kDigitPairs[2 * (low % 100)], 2);
}

// The number of decimal digits of `value` (at least 1, below 10^17): its bit width times
// log10(2) (1233 / 4096) is the digit count or one more.
int DigitCount(std::uint64_t value) {
  static constexpr std::array<std::uint64_t, 18> kPowers = [] {
    std::array<std::uint64_t, 18> powers{};
    std::uint64_t p = 1;
    for (auto& power : powers) {
      power = p;
      p *= 10;
    }
    return powers;
  }();
  const int estimate = (std::bit_width(value) * 1233) >> 12;
  return estimate + 1 - (value < kPowers[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// The shortest text that reads back as `value` (finite), as std::to_chars writes it, in
// kFigureRoom characters at `at` (which may be written past the end of the text).
//
// The shortest digits, closest to the value, come from the Dragonbox conversion of the fmt
// library (header only), about twice as fast as the library's own scientific conversion; a
// table of periods writes hundreds of thousands of them. They are laid out as the general
// conversion does: the fixed form unless the scientific one ("1e+05", "5e-06") is shorter.
char* WriteShortest(double value, char* at) {
  if (value == 0) return std::to_chars(at, at + kFigureRoom, value).ptr;
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::fabs(value));

  // The digits end in the middle of a room whose second half is zeros, so that they can be
  // copied by blocks of a fixed size, with the zeros of a whole number after them. All 17
  // places are written, by pairs, without a loop; the digits are the last `digits` of them.
  char room[48];
  std::memset(room + 24, '0', 24);
  char* const last = room + 24;
  const std::uint64_t q = decimal.significand;  // below 10^17, no trailing zero
  const auto high = static_cast<std::uint32_t>(q / 100000000);
  room[7] = static_cast<char>('0' + high / 100000000);
  WriteEightDigits(high % 100000000, room + 8);
  WriteEightDigits(static_cast<std::uint32_t>(q % 100000000), room + 16);
  const int digits = DigitCount(q);
  const char* const first = last - digits;
  const int exponent = decimal.exponent + digits - 1;  // of the leading digit
  const int magnitude = exponent < 0 ? -exponent : exponent;
  const int scientific = digits + (digits > 1 ? 1 : 0) + (magnitude >= 100 ? 5 : 4);
  const int whole = exponent + 1;  // digits before the point
  const int fixed = exponent < 0 ? digits + 1 - exponent : (digits > whole ? digits + 1 : whole);

  // A whole number in the fixed form is written as its exact digits, which, from 2^53 on, are
  // not always the shortest digits padded with zeros.
  if (fixed <= scientific && digits < whole && std::fabs(value) >= kExactWhole)
    return std::to_chars(at, at + kFigureRoom, value).ptr;

  if (value < 0) *at++ = '-';
  if (fixed <= scientific) {  // at most 22 characters
    if (exponent < 0) {       // "0.000ddd", no more than four zeros
      std::memcpy(at, "0.000000", 8);
      at += 1 - exponent;
      std::memcpy(at, first, 24);
      return at + digits;
    }
    std::memcpy(at, first, 24);  // the digits, then the zeros of a whole number
    if (digits <= whole) return at + whole;
    at[whole] = '.';
    std::memcpy(at + whole + 1, first + whole, 16);
    return at + digits + 1;
  }
  at[0] = *first;
  if (digits > 1) {
    at[1] = '.';
    std::memcpy(at + 2, first + 1, 16);
  }
  at += digits + (digits > 1 ? 1 : 0);
  *at++ = 'e';
  *at++ = exponent < 0 ? '-' : '+';
  if (magnitude >= 100) {
    *at++ = static_cast<char>('0' + magnitude / 100);
    std::memcpy(at, &kDigitPairs[2 * static_cast<std::size_t>(magnitude % 100)], 2);
  } else {
    std::memcpy(at, &kDigitPairs[2 * static_cast<std::size_t>(magnitude)], 2);
  }
  return at + 2;
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
  if (is_count && std::fabs(figure.value) < kExactWhole &&
      figure.value == std::trunc(figure.value)) {
    return std::to_chars(at, at + kFigureRoom, static_cast<std::int64_t>(figure.value)).ptr;
  }
  if (is_count || decimals >= 0) return nullptr;
  // Straight into the text: a shortest text of 17 digits and more would cost a string of its
  // own on the heap, and a table of periods writes hundreds of thousands of them.
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
