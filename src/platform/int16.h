#pragma once

#include <cstdint>

// The counters and integer inputs of a run are 16-bit signed integers. Every conversion,
// increment and subtraction is checked; a result outside -32768..32767 raises error 6.

namespace quelvaris {

std::int16_t ToInt16(double value);  // value must already be a whole number
std::int16_t ToInt16(long long value);
std::int16_t Add16(std::int16_t a, std::int16_t b);
std::int16_t Sub16(std::int16_t a, std::int16_t b);
std::int16_t Inc16(std::int16_t a);

}  // namespace quelvaris
