#pragma once

// Checked floating point: every step of the statistics goes through these so that a fault
// becomes a run-time error number instead of an inf or a NaN in a report.
//   x / 0 with x != 0        -> error 11
//   0 / 0, overflow, NaN     -> error 6
//   sqrt or log of a negative value, log of 0 -> error 5

namespace quelvaris {

// Returns value when it is finite; raises error 6 otherwise.
double Checked(double value);

double CheckedAdd(double a, double b);
double CheckedSub(double a, double b);
double CheckedMul(double a, double b);
double CheckedDiv(double numerator, double denominator);
double CheckedSqrt(double value);
double CheckedLog(double value);  // natural logarithm

}  // namespace quelvaris
