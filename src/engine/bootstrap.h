#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/bootstrap_blocks.h"
#include "engine/error_stats.h"
#include "engine/evaluation.h"
#include "settings/interval_settings.h"

namespace quelvaris {

// How many resamples, how sure, and how they are drawn.
struct BootstrapOptions {
  int resamples = 1000;
  double confidence = 0.90;  // of the percentile interval, within (0, 1)
  bool jackknife = false;    // also the jackknife-after-bootstrap error of each interval end
  std::uint64_t seed = 0;
  int threads = 0;  // 0: one per core. The results do not depend on it.
  // Only the extended figures, through ExtendedStatsOfModels (what the Extended window shows):
  // the basic and error figures then stay undefined. The evaluation options must ask for the
  // extended figures.
  bool extended_only = false;
};

inline constexpr int kMaxResamples = kMaxIntervalResamples;

// What the resamples say of one figure. The interval is the percentile interval over the
// resamples where the figure was defined; it and the standard error are defined when at least
// half of the resamples, and at least 2, gave the figure.
struct Interval {
  double low = 0;
  double high = 0;
  double se = 0;             // sample standard deviation of the resampled figures
  double defined_share = 0;  // of the resamples
  double jackknife_se_low = 0;
  double jackknife_se_high = 0;
  bool defined = false;            // low, high and se
  bool jackknife_defined = false;  // both jackknife errors
};

// The basic statistics in the order of their BasicFigure bits (Mean, SD, Skew, Kur, Min, Max,
// POT, OOB), the error statistics in report order, the extended ones when the evaluation options
// ask for them (in the order of kExtendedStatDefinitions), else none.
inline constexpr std::size_t kBasicFigureCount = 8;
struct ModelIntervals {
  std::array<Interval, kBasicFigureCount> basic{};
  std::array<Interval, kErrorStatFields.size()> errors{};
  std::vector<Interval> extended;
};

struct BootstrapResult {
  int resamples = 0;
  double confidence = 0;
  std::uint64_t seed = 0;
  std::int64_t block_length = 0;  // 0: blocks of their own lengths (years)
  int blocks = 0;                 // drawn per resample
  bool jackknife = false;
  bool cancelled = false;  // stopped on request: `models` is empty
  std::vector<ModelIntervals> models;
};

// What a long computation tells and is told while it runs. `progress` is called from the
// working threads, one call at a time, after each resample with the count done so far; a set
// `cancel` stops the work at the next resample.
struct BootstrapControl {
  std::function<void(int done, int total)> progress;
  const std::atomic<bool>* cancel = nullptr;
};

// The intervals of every figure of each model: `boot.resamples` resamples of the paired rows,
// each the blocks of `plan` laid end to end (with a missing-data row between two blocks, so that
// no figure of consecutive rows pairs the last row of one block with the first of the next),
// and each resample's figures those Evaluate gives on it: the basic and error figures from the
// sums of its blocks (ModelResamples), finished by the figure code's own last steps, the
// extended ones from the resample's pairs as the record's own orders give them (RecordPairs),
// value for value those of the resample laid out row by row. Resample r draws its blocks with
// ResampleGenerator(seed, r), whichever thread takes it. A plan of fewer than 2 blocks leaves every
// interval undefined. Options are taken as given: the callers check them (1 <= resamples <=
// kMaxResamples, 0 < confidence < 1).
BootstrapResult BootstrapIntervals(std::span<const double> observed,
                                   const std::vector<std::span<const double>>& models,
                                   const EvaluationOptions& options, const BlockPlan& plan,
                                   const BootstrapOptions& boot,
                                   const BootstrapControl& control = {});

// The percentile of sorted values at p in [0, 1]: linear between the order statistics at
// (count - 1) p (Hyndman and Fan 1996, definition 7). `sorted` is not empty.
double PercentileOfSorted(std::span<const double> sorted, double p);

}  // namespace quelvaris
