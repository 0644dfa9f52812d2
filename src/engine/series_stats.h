#pragma once

#include <array>
#include <cstdint>

namespace quelvaris {

// The basic figures of a series, as bits of a record's `undefined` mask. An undefined figure
// still holds what the reports show for it (the missing-data code, a starting value or the
// value of an earlier run); the mask says it is no figure of this run, since any value, the
// code included, can also be a true figure.
//   Mean, SD, OOB      fewer than 4 usable values: the routine stops before them
//   Skew, Kur          as above, and for a constant series (they hold the missing-data code)
//   Min, Max           no usable value at all (they hold the starting values)
//   POT                never undefined once the series has been through its routine
// A record that no routine has filled yet has every bit set; so has a figure that a run-time
// error kept the routine from reaching.
enum BasicFigure : std::uint8_t {
  kMeanFigure = 1 << 0,
  kSDFigure = 1 << 1,
  kSkewFigure = 1 << 2,
  kKurFigure = 1 << 3,
  kMinFigure = 1 << 4,
  kMaxFigure = 1 << 5,
  kPOTFigure = 1 << 6,
  kOOBFigure = 1 << 7,
};
inline constexpr std::uint8_t kAllBasicFigures = 0xff;

// Basic statistics of one series over its usable values (not missing; within the bounds when
// they apply).
struct SeriesStats {
  double Mean = 0;
  double SD = 0;    // population form, divisor n
  double Skew = 0;  // moment coefficient of skewness
  double Kur = 0;   // moment coefficient of kurtosis, not reduced by 3
  double Min = 0;
  double Max = 0;
  std::int64_t POT = 0;  // usable values strictly above the threshold
  std::int64_t OOB = 0;  // non-missing values outside the bounds
  double Sum = 0;
  std::uint8_t undefined = kAllBasicFigures;  // BasicFigure bits
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
  std::uint8_t undefined = kAllBasicFigures;  // BasicFigure bits
};

// One record per modelled column, indexed by column number 2 to 30 (0 and 1 unused).
using ModelledStatsTable = std::array<ModelledRecord, 31>;

}  // namespace quelvaris
