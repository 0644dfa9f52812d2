#include "platform/int16.h"

#include <cmath>
#include <limits>

#include "platform/run_time_error.h"

namespace quelvaris {

namespace {
constexpr long long kMin = std::numeric_limits<std::int16_t>::min();
constexpr long long kMax = std::numeric_limits<std::int16_t>::max();
}  // namespace

std::int16_t ToInt16(double value) {
  // NaN fails both comparisons, so it is caught here too.
  if (!(value >= static_cast<double>(kMin) && value <= static_cast<double>(kMax))) {
    throw RunTimeError(err::kOverflow);
  }
  return static_cast<std::int16_t>(std::trunc(value));
}

std::int16_t ToInt16(long long value) {
  if (value < kMin || value > kMax) throw RunTimeError(err::kOverflow);
  return static_cast<std::int16_t>(value);
}

std::int16_t Add16(std::int16_t a, std::int16_t b) {
  return ToInt16(static_cast<long long>(a) + static_cast<long long>(b));
}

std::int16_t Sub16(std::int16_t a, std::int16_t b) {
  return ToInt16(static_cast<long long>(a) - static_cast<long long>(b));
}

std::int16_t Inc16(std::int16_t a) {
  return ToInt16(static_cast<long long>(a) + 1);
}

}  // namespace quelvaris
