#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/skill_scores.h"
#include "engine/timed_evaluation.h"
#include "reports/machine_figures.h"

namespace quelvaris {

// A model's skill over one benchmark as the formats write it: per measure of kSkillMeasures
// the skill score and the benchmark's own figure.
struct SkillColumn {
  std::string benchmark;
  std::array<FigureValue, kSkillMeasures.size()> skill{};
  std::array<FigureValue, kSkillMeasures.size()> benchmark_figure{};
};

// The figures of one span of a time-aware run: the whole evaluation period or one period.
struct SpanFigures {
  std::string period;  // empty for the whole evaluation period
  std::string start;   // the stamps of its first and last row, ISO 8601
  std::string end;
  std::int64_t rows = 0;
  std::int64_t missing = 0;  // missing observed values
  bool has_figures = false;  // false: too few observed values, every figure undefined
  ColumnFigures observed;
  std::vector<ColumnFigures> models;
  std::vector<std::vector<SkillColumn>> skill;  // [model][benchmark]
  std::string results_text;                     // for the text table, when has_figures
};

// What a time-aware run adds to a file's figures.
struct TimeFigures {
  bool active = false;  // the run had a time column
  std::vector<std::string> benchmarks;
  SpanFigures whole;
  std::vector<SpanFigures> periods;
};

// A column's number in the file and its name in the output.
struct SeriesName {
  int column = 0;
  std::string name;
};

// How the spans are collected: the groups of the observed series and of the models, and
// whether each span also gets its results text (the text format), with the results file's
// layout of figures.
struct SpanSetup {
  const std::vector<FigureGroup>& observed_groups;
  const std::vector<FigureGroup>& model_groups;
  bool results_text = false;
  std::string result_format;
  bool aic_bic = false;
  bool date_only = true;  // stamps written as dates
  int threads = 1;        // the periods may be collected on this many threads
};

// Collects every span of `timed` (its models first, then one per benchmark) into `out`.
void CollectTimeFigures(const TimedEvaluation& timed, const SeriesName& observed,
                        const std::vector<SeriesName>& models,
                        const std::vector<std::string>& benchmarks, const SpanSetup& setup,
                        TimeFigures& out);

// The same while the evaluation runs: each period is collected on the thread that scored it
// as soon as it is (the stamps are written as dates when all of them fall on midnight, whatever
// setup.date_only says), the whole evaluation period by Finish once the evaluation is done.
// The names and setup are referred to, not copied.
class TimeFiguresCollector final : public PeriodSink {
 public:
  TimeFiguresCollector(const SeriesName& observed, const std::vector<SeriesName>& models,
                       const std::vector<std::string>& benchmarks, const SpanSetup& setup,
                       TimeFigures& out);

  void Begin(std::size_t periods, std::span<const TimeStamp> stamps) override;
  void Take(std::size_t index, const ScoredSpan& period) override;
  void Finish(const ScoredSpan& whole);

 private:
  const SeriesName& observed_;
  const std::vector<SeriesName>& models_;
  const std::vector<std::string>& benchmarks_;
  SpanSetup setup_;
  TimeFigures& out_;
  bool begun_ = false;
  // The first and last stamps of the periods taken before Begin, whose texts Begin writes
  // again once it is known whether every stamp of the file falls on midnight.
  std::vector<std::pair<TimeStamp, TimeStamp>> early_;
};

}  // namespace quelvaris
