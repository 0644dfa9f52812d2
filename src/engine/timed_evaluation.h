#pragma once

#include <optional>
#include <span>
#include <vector>

#include "engine/evaluation.h"
#include "engine/skill_scores.h"
#include "engine/time_periods.h"
#include "engine/time_stamp.h"
#include "engine/time_window.h"

namespace quelvaris {

// What a time-aware evaluation needs besides the series.
struct TimedOptions {
  EvaluationOptions evaluation;
  TimeWindow window;                 // the evaluation period
  std::optional<PeriodGrouping> by;  // also each period of this grouping
  int threads = 1;                   // the spans are spread over this many threads
};

// The figures of one span of rows: the whole evaluation period, or one period of it. The
// evaluation's models are the models, then the benchmarks; `skill[m][b]` is model m's skill
// over benchmark b (empty when the evaluation stopped before the models).
struct ScoredSpan {
  Period period;  // label empty for the whole evaluation period
  Evaluation evaluation;
  std::vector<std::vector<SkillScores>> skill;
};

struct TimedEvaluation {
  RowRange window;  // the rows of the evaluation period
  ScoredSpan whole;
  std::vector<ScoredSpan> periods;
};

// Every model (and benchmark) over the evaluation period and over each of its periods, each
// through Evaluate on that span's rows (a pooled group's rows gathered in time order). The
// series are whole columns of the file, row for row with `stamps`. Skill needs the extended
// figures, so benchmarks turn them on whatever the options say.
TimedEvaluation EvaluateOverTime(std::span<const double> observed,
                                 const std::vector<std::span<const double>>& models,
                                 const std::vector<std::span<const double>>& benchmarks,
                                 std::span<const TimeStamp> stamps, const TimedOptions& options);

}  // namespace quelvaris
