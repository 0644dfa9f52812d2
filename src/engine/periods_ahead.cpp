#include "engine/periods_ahead.h"

#include <span>
#include <utility>

#include "engine/time_stamp.h"

namespace quelvaris {

bool PeriodsAhead::Applies(const TimeSetup& setup) {
  return setup.time && setup.by && !Pooled(setup.by->kind) && !setup.window.from &&
         !setup.window.to && setup.window.skip == 0 && setup.benchmarks.empty();
}

PeriodsAhead::PeriodsAhead(const TimeSetup& setup, const EvaluationOptions& evaluation,
                           std::function<PeriodSink&(const BatchTable&)> sink_for)
    : setup_(setup), evaluation_(evaluation), sink_for_(std::move(sink_for)) {
  // Started at once, while the reader takes the first lines of the file. Without a thread to
  // spare, the evaluation scores every period.
  thread_.Run([this] { Work(); });
}

PeriodsAhead::~PeriodsAhead() {
  Stop();
}

void PeriodsAhead::Start(const BatchTable& table) {
  if (table.time_column == 0) return;
  PeriodSink& sink = sink_for_(table);
  const std::lock_guard<std::mutex> hold(lock_);
  sink_ = &sink;
  observed_ = table.observed.data();
  models_.clear();
  for (const std::vector<double>& m : table.models) models_.push_back(m.data());
  times_ = table.times.data();
}

void PeriodsAhead::Rows(std::int64_t rows) {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    rows_ = static_cast<std::size_t>(rows);
  }
  wake_.notify_one();
}

void PeriodsAhead::Stop() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.Wait();
}

std::size_t PeriodsAhead::WaitForRows(std::size_t known) {
  std::unique_lock<std::mutex> hold(lock_);
  wake_.wait(hold, [&] { return stop_ || (sink_ != nullptr && rows_ > known); });
  return stop_ ? 0 : rows_;
}

void PeriodsAhead::Work() {
  try {
    TimeStampReader reader(setup_.layout);
    std::vector<TimeStamp> stamps;
    std::size_t from = 0;  // the first row of the first period not yet scored
    EvaluationRoom room;
    ScoredSpan scored;
    std::vector<std::span<const double>> models;
    bool faulty = false;  // a stamp that does not read or does not increase: the last rows
    for (std::size_t rows; !faulty && (rows = WaitForRows(stamps.size())) != 0;) {
      for (std::size_t i = stamps.size(); i < rows && !faulty; ++i) {
        const std::optional<TimeStamp> t = reader.Read(times_[i]);
        faulty = !t || (!stamps.empty() && *t <= stamps.back());
        if (!faulty) stamps.push_back(*t);
      }
      rows = stamps.size();
      // Every period the rows reach into but the last is complete.
      std::vector<Period> periods = PeriodsOf(stamps, {from, rows - from}, *setup_.by);
      if (periods.size() < 2) continue;
      periods.pop_back();
      const std::span<const double> observed(observed_, rows);
      models.assign(models_.size(), {});
      for (std::size_t m = 0; m < models.size(); ++m) models[m] = {models_[m], rows};
      // The logarithms of the complete periods' rows, kept for the whole span's figures.
      const std::size_t logged = periods.back().runs.back().end();
      logs_.resize(models.size() + 1);
      for (std::size_t k = 0; k < logs_.size(); ++k) {
        MoreLogsOf((k == 0 ? observed : models[k - 1]).first(logged), logs_[k]);
      }
      for (Period& period : periods) {
        if (stop_) return;
        from = period.runs.back().end();
        Period kept = period;
        ScorePeriod(observed, models, std::move(period), evaluation_, room, scored, &logs_);
        sink_->Take(taken_.size(), scored);
        taken_.push_back(std::move(kept));  // only once the sink holds it
      }
    }
  } catch (...) {
    // Whatever failed here, the evaluation scores the periods again and reports it there.
  }
}

}  // namespace quelvaris
