#include "reports/time_figures.h"

#include <algorithm>

#include "platform/strided_threads.h"
#include "reports/results_file.h"

namespace quelvaris {

namespace {

void Collect(const SeriesName& name, const FigureSource* source,
             const std::vector<FigureGroup>& groups, ColumnFigures& out) {
  out.column = name.column;
  out.name = name.name;
  out.groups.Fill(groups, source);
}

FigureValue ValueOf(bool defined, double value) {
  return {value, defined};
}

void CollectSpan(const ScoredSpan& span, const SeriesName& observed,
                 const std::vector<SeriesName>& models, const std::vector<std::string>& benchmarks,
                 const SpanSetup& setup, SpanFigures& out) {
  const Evaluation& ev = span.evaluation;
  out.period = span.period.label;
  out.rows = span.period.rows;
  out.start = out.rows > 0 ? TimeStampText(span.period.start, setup.date_only) : "";
  out.end = out.rows > 0 ? TimeStampText(span.period.end, setup.date_only) : "";
  out.missing = ev.observed_counts.missing;
  out.has_figures = ev.models.size() == models.size() + benchmarks.size();
  const FigureSource observed_source{.observed = &ev.observed};
  Collect(observed, &observed_source, setup.observed_groups, out.observed);
  out.models.resize(models.size());
  out.skill.assign(models.size(), {});
  std::vector<ResultsColumn> results;
  for (std::size_t m = 0; m < models.size(); ++m) {
    if (!out.has_figures) {
      Collect(models[m], nullptr, setup.model_groups, out.models[m]);
      continue;
    }
    const ModelEvaluation& e = ev.models[m];
    const FigureSource source{.modelled = &e.record, .errors = &e.errors, .extended = &e.extended};
    Collect(models[m], &source, setup.model_groups, out.models[m]);
    results.push_back({models[m].column, &e.record, &e.errors});
    for (std::size_t b = 0; b < benchmarks.size(); ++b) {
      const SkillScores& scores = span.skill[m][b];
      SkillColumn column{benchmarks[b], {}, {}};
      for (std::size_t k = 0; k < scores.size(); ++k) {
        column.skill[k] = ValueOf(scores[k].defined, scores[k].score);
        column.benchmark_figure[k] = ValueOf(scores[k].benchmark_defined, scores[k].benchmark);
      }
      out.skill[m].push_back(std::move(column));
    }
  }
  out.results_text.clear();
  if (setup.results_text && out.has_figures) {
    out.results_text = BuildResultsText(ev.observed, results, setup.result_format, setup.aic_bic);
  }
}

}  // namespace

TimeFiguresCollector::TimeFiguresCollector(const SeriesName& observed,
                                           const std::vector<SeriesName>& models,
                                           const std::vector<std::string>& benchmarks,
                                           const SpanSetup& setup, TimeFigures& out)
    : observed_(observed), models_(models), benchmarks_(benchmarks), setup_(setup), out_(out) {}

void TimeFiguresCollector::Begin(std::size_t periods, std::span<const TimeStamp> stamps) {
  begun_ = true;
  setup_.date_only = AllAtMidnight(stamps);
  out_.periods.resize(periods);
  for (std::size_t p = 0; p < early_.size() && p < periods; ++p) {
    SpanFigures& span = out_.periods[p];
    if (span.rows == 0) continue;
    span.start = TimeStampText(early_[p].first, setup_.date_only);
    span.end = TimeStampText(early_[p].second, setup_.date_only);
  }
  early_.clear();
}

void TimeFiguresCollector::Take(std::size_t index, const ScoredSpan& period) {
  if (!begun_) {  // scored while the file was read, in turn from the first
    if (out_.periods.size() <= index) out_.periods.resize(index + 1);
    if (early_.size() <= index) early_.resize(index + 1);
    early_[index] = {period.period.start, period.period.end};
  }
  CollectSpan(period, observed_, models_, benchmarks_, setup_, out_.periods.at(index));
}

void TimeFiguresCollector::Finish(const ScoredSpan& whole) {
  out_.active = true;
  out_.benchmarks = benchmarks_;
  CollectSpan(whole, observed_, models_, benchmarks_, setup_, out_.whole);
}

void CollectTimeFigures(const TimedEvaluation& timed, const SeriesName& observed,
                        const std::vector<SeriesName>& models,
                        const std::vector<std::string>& benchmarks, const SpanSetup& setup,
                        TimeFigures& out) {
  out.active = true;
  out.benchmarks = benchmarks;
  CollectSpan(timed.whole, observed, models, benchmarks, setup, out.whole);
  const std::size_t periods = timed.periods.size();
  out.periods.resize(periods);
  // Each period lands in its own place: many of them may be collected on several threads.
  constexpr std::size_t kPeriodsForThreads = 32;
  const std::size_t workers =
      periods < kPeriodsForThreads
          ? 1
          : std::min<std::size_t>(periods, static_cast<std::size_t>(std::max(setup.threads, 1)));
  ForEachStrided(periods, workers, [&](std::size_t p) {
    CollectSpan(timed.periods[p], observed, models, benchmarks, setup, out.periods[p]);
  });
}

}  // namespace quelvaris
