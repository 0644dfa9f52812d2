#pragma once

#include <cmath>

// Checked floating point: every step of the statistics goes through these so that a fault
// becomes a run-time error number instead of an inf or a NaN in a report.
//   x / 0 with x != 0        -> error 11
//   0 / 0, overflow, NaN     -> error 6
//   sqrt or log of a negative value, log of 0 -> error 5
// The steps are inline, the faults raised out of line: the figures of many short spans take
// thousands of steps a span.

namespace quelvaris {

namespace checked {
[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseDivision(double numerator);  // by 0
[[noreturn]] void RaiseInvalid();
}  // namespace checked

// Returns value when it is finite; raises error 6 otherwise.
inline double Checked(double value) {
  if (!std::isfinite(value)) [[unlikely]]
    checked::RaiseOverflow();
  return value;
}

inline double CheckedAdd(double a, double b) {
  return Checked(a + b);
}
inline double CheckedSub(double a, double b) {
  return Checked(a - b);
}
inline double CheckedMul(double a, double b) {
  return Checked(a * b);
}

inline double CheckedDiv(double numerator, double denominator) {
  if (denominator == 0) [[unlikely]]
    checked::RaiseDivision(numerator);
  return Checked(numerator / denominator);
}

inline double CheckedSqrt(double value) {
  if (value < 0) [[unlikely]]
    checked::RaiseInvalid();
  return Checked(std::sqrt(Checked(value)));
}

// Natural logarithm.
inline double CheckedLog(double value) {
  if (value <= 0) [[unlikely]]
    checked::RaiseInvalid();
  return Checked(std::log(Checked(value)));
}

}  // namespace quelvaris
