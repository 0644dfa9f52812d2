#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "engine/evaluation.h"
#include "engine/skill_scores.h"
#include "engine/time_periods.h"
#include "engine/time_stamp.h"
#include "engine/time_window.h"

namespace quelvaris {

// The figures of one span of rows: the whole evaluation period, or one period of it. The
// evaluation's models are the models, then the benchmarks; `skill[m][b]` is model m's skill
// over benchmark b (empty when the evaluation stopped before the models).
struct ScoredSpan {
  Period period;  // label empty for the whole evaluation period
  Evaluation evaluation;
  std::vector<std::vector<SkillScores>> skill;
};

// Takes each period's figures as soon as they are scored, in place of the evaluation's list of
// periods: a grouping by month holds hundreds of periods of every model, whose figures are
// then turned into what the caller keeps while they are fresh, each period's memory going to
// the next one.
class PeriodSink {
 public:
  // Before any period, on the calling thread: how many periods there are, and the stamps of
  // the rows they were cut from.
  virtual void Begin(std::size_t periods, std::span<const TimeStamp> stamps) = 0;
  // Once for each period (index in time order), on whichever thread scored it.
  virtual void Take(std::size_t index, const ScoredSpan& period) = 0;

 protected:
  ~PeriodSink() = default;
};

// What a time-aware evaluation needs besides the series.
struct TimedOptions {
  EvaluationOptions evaluation;
  TimeWindow window;                 // the evaluation period
  std::optional<PeriodGrouping> by;  // also each period of this grouping
  int threads = 1;                   // the spans are spread over this many threads
  PeriodSink* sink = nullptr;        // set: the periods go here, not into `periods`
};

struct TimedEvaluation {
  RowRange window;  // the rows of the evaluation period
  ScoredSpan whole;
  std::vector<ScoredSpan> periods;  // empty when they went to a sink
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
