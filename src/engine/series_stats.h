#pragma once

#include <array>
#include <cstdint>

namespace quelvaris {

// Basic statistics of one series over its usable values (not missing; within the bounds when
// they apply).
struct SeriesStats {
  double Mean = 0;
  double SD = 0;    // population form, divisor n
  double Skew = 0;  // moment coefficient of skewness
  double Kur = 0;   // moment coefficient of kurtosis, not reduced by 3
  double Min = 0;
  double Max = 0;
  std::int16_t POT = 0;  // usable values strictly above the threshold
  std::int16_t OOB = 0;  // non-missing values outside the bounds
  double Sum = 0;
};

// A modelled column's stored figures: the counts are held as doubles here.
struct ModelledRecord {
  double Mean = 0;
  double SD = 0;
  double Skew = 0;
  double Kur = 0;
  double Min = 0;
  double Max = 0;
  double POT = 0;
  double OOB = 0;
};

// One record per modelled column, indexed by column number 2 to 30 (0 and 1 unused).
using ModelledStatsTable = std::array<ModelledRecord, 31>;

}  // namespace quelvaris
