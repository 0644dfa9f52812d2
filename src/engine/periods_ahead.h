#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "engine/batch_reader.h"
#include "engine/evaluation.h"
#include "engine/time_periods.h"
#include "engine/time_setup.h"
#include "engine/timed_evaluation.h"
#include "platform/strided_threads.h"

namespace quelvaris {

// Scores the periods of a file on a thread of its own while the file is still being read:
// calendar periods over every row of the file are completed one after the other as the rows
// come in, and the core that reading leaves idle scores each as soon as the first row of the
// next one is read. Each is handed to the sink (before its Begin, see PeriodSink). When the
// read ends, or the rows cannot be read ahead (a stamp that does not read or does not
// increase: the evaluation reports it), the thread stops; the evaluation over time then scores
// what is left, holding `taken()` as done. The figures are those the evaluation gives.
class PeriodsAhead final : public RowObserver {
 public:
  // Whether a run with these options can score periods ahead: calendar periods, over every row
  // of the file, without benchmarks (their series need every row).
  static bool Applies(const TimeSetup& setup);

  // `sink_for` gives the sink once the columns are known, on the reading thread. The thread
  // starts here and waits for the rows.
  PeriodsAhead(const TimeSetup& setup, const EvaluationOptions& evaluation,
               std::function<PeriodSink&(const BatchTable&)> sink_for);
  ~PeriodsAhead();
  PeriodsAhead(const PeriodsAhead&) = delete;
  PeriodsAhead& operator=(const PeriodsAhead&) = delete;

  void Start(const BatchTable& table) override;
  void Rows(std::int64_t rows) override;
  void Stop() override;

  // The periods handed to the sink, in time order from the first; read once stopped.
  const std::vector<Period>& taken() const { return taken_; }
  // The logarithms of the rows of those periods (and perhaps of some after them): observed
  // column first, then each model, as LogsOf takes them; for the evaluation to go on with once
  // stopped.
  std::vector<std::vector<double>>& logs() { return logs_; }

 private:
  void Work();
  // Waits for rows beyond `known`: their count, or 0 once stopped.
  std::size_t WaitForRows(std::size_t known);

  const TimeSetup& setup_;
  const EvaluationOptions& evaluation_;
  std::function<PeriodSink&(const BatchTable&)> sink_for_;
  // Set by Start, under the lock: the sink and the columns as the reader fills them (the rows
  // told of stay put until Stop).
  PeriodSink* sink_ = nullptr;
  const double* observed_ = nullptr;
  std::vector<const double*> models_;
  const std::string* times_ = nullptr;

  std::mutex lock_;
  std::condition_variable wake_;
  std::size_t rows_ = 0;  // read so far
  std::atomic<bool> stop_{false};
  std::vector<Period> taken_;
  std::vector<std::vector<double>> logs_;
  HelperThreads thread_;
};

}  // namespace quelvaris
