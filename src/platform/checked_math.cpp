#include "platform/checked_math.h"

#include "platform/run_time_error.h"

namespace quelvaris::checked {

void RaiseOverflow() {
  throw RunTimeError(err::kOverflow);
}

void RaiseDivision(double numerator) {
  // 0/0 is indeterminate rather than a division fault, as on the old platform.
  throw RunTimeError(numerator == 0 || std::isnan(numerator) ? err::kOverflow
                                                             : err::kDivisionByZero);
}

void RaiseInvalid() {
  throw RunTimeError(err::kInvalidArgument);
}

}  // namespace quelvaris::checked
