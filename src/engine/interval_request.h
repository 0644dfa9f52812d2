#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/bootstrap.h"

namespace quelvaris {

// The resampling options as their texts were given (by the batch command's options or the
// Python module's keywords), checked by CheckIntervalOptions.
struct IntervalOptionTexts {
  std::optional<std::string> bootstrap;
  std::optional<std::string> block;
  std::optional<std::string> confidence;
  std::optional<std::string> seed;
  bool jackknife = false;
};

// What a run resamples, once checked.
struct IntervalRequest {
  bool on = false;
  BootstrapOptions boot;
  std::int64_t block = 0;  // rows; 0: the default rule for each file's row count
};

// The message of the first value that cannot be used (a wrong command line), else nothing.
// `timed`: the run scores over a time column, which the intervals do not follow yet.
std::optional<std::string> CheckIntervalOptions(const IntervalOptionTexts& options,
                                                IntervalRequest& request, bool timed = false);

// The intervals of one file's models. A block longer than the file's record is refused with its
// message (and no intervals); otherwise `out` holds the intervals of each model.
std::optional<std::string> ResampleFile(const IntervalRequest& request,
                                        std::span<const double> observed,
                                        const std::vector<std::span<const double>>& models,
                                        const EvaluationOptions& options, BootstrapResult& out);

}  // namespace quelvaris
