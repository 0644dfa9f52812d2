#include "platform/checked_math.h"

#include <cmath>

#include "platform/run_time_error.h"

namespace quelvaris {

double Checked(double value) {
  if (!std::isfinite(value)) throw RunTimeError(err::kOverflow);
  return value;
}

double CheckedAdd(double a, double b) {
  return Checked(a + b);
}
double CheckedSub(double a, double b) {
  return Checked(a - b);
}
double CheckedMul(double a, double b) {
  return Checked(a * b);
}

double CheckedDiv(double numerator, double denominator) {
  if (denominator == 0) {
    // 0/0 is indeterminate rather than a division fault, as on the old platform.
    throw RunTimeError(numerator == 0 || std::isnan(numerator) ? err::kOverflow
                                                               : err::kDivisionByZero);
  }
  return Checked(numerator / denominator);
}

double CheckedSqrt(double value) {
  if (value < 0) throw RunTimeError(err::kInvalidArgument);
  return Checked(std::sqrt(Checked(value)));
}

double CheckedLog(double value) {
  if (value <= 0) throw RunTimeError(err::kInvalidArgument);
  return Checked(std::log(Checked(value)));
}

}  // namespace quelvaris
