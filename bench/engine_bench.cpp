// Speed of the analysis engine on the largest file it accepts: 10,000 rows x 30 columns.
//
//   engine_bench --benchmark_repetitions=10
//
// The data file is generated once into a temporary folder (bench_data.h).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_data.h"
#include "engine/analysis_run.h"
#include "engine/analysis_session.h"
#include "engine/basic_stats.h"
#include "engine/data_file_reader.h"
#include "engine/error_stats_calc.h"
#include "engine/extended_stats.h"
#include "engine/run_context.h"
#include "engine/run_host.h"
#include "engine/run_reports.h"
#include "settings/global_settings.h"

namespace quelvaris {
namespace {

constexpr int kRows = kBenchRows;
constexpr int kCols = kBenchCols;

// A host without windows: tab-delimited, no header, no bounds, every box empty.
class QuietHost : public RunHost {
 public:
  MessageAnswer ShowMessage(const std::string&, const std::string&, MessageIcon,
                            MessageButtons) override {
    ++messages;
    return MessageAnswer::Ok;
  }
  void CommitPendingEntry() override {}
  std::string BoxText(RunBox box) const override {
    return box == RunBox::NoOfColsText    ? std::to_string(kCols)
           : box == RunBox::ColToAnalText ? "2"
                                          : "";
  }
  bool SwitchOn(RunSwitch which) const override {
    return which == RunSwitch::TabDelimited || (which == RunSwitch::AnalyseAll && analyse_all);
  }
  void ShowStatistics(const StatisticsDisplay&) override {}
  void SetDefaultPointer() override {}

  bool analyse_all = false;
  int messages = 0;
};

class NoReports : public RunReports {
 public:
  void WriteResultsFile(const RunContext&, std::int16_t, std::int16_t) override {}
  void WriteScreenReport(const RunContext&, std::int16_t, std::int16_t) override {}
};

struct Fixture {
  Fixture() {
    session.request.DataFilePath = DataFile();
    session.request.DataFileName = "bench.txt";
    session.request.NoOfCols = kCols;
  }

  static const std::string& DataFile() {
    static const std::string path = WriteBenchDataFile("engine");
    return path;
  }

  void AllStatistics() {
    CalcObservedStats(ctx);
    for (int c = 2; c <= kCols; ++c) CalcModelledStats(ctx, static_cast<std::int16_t>(c));
    for (int c = 2; c <= kCols; ++c) CalcErrorStats(ctx, static_cast<std::int16_t>(c));
  }

  AnalysisSession session;
  GlobalSettings settings;
  QuietHost host;
  RunContext ctx{session, settings, host};
};

bool Clean(benchmark::State& state, const Fixture& f) {
  if (f.host.messages == 0 && f.session.counters.RowCount == kRows) return true;
  state.SkipWithError("the run showed a message or did not read every row");
  return false;
}

void BM_ReadAndAllStatistics(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    ReadDataFile(f.ctx);
    f.AllStatistics();
    benchmark::DoNotOptimize(f.session.Errors[kCols].MdAPE);
  }
  Clean(state, f);
}
BENCHMARK(BM_ReadAndAllStatistics)->Unit(benchmark::kMillisecond);

void BM_Read(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    ReadDataFile(f.ctx);
    benchmark::DoNotOptimize(f.session.counters.MissingCount);
  }
  Clean(state, f);
}
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);

void BM_AllStatistics(benchmark::State& state) {
  Fixture f;
  ReadDataFile(f.ctx);
  for (auto _ : state) {
    f.AllStatistics();
    benchmark::DoNotOptimize(f.session.Errors[kCols].MdAPE);
  }
  Clean(state, f);
}
BENCHMARK(BM_AllStatistics)->Unit(benchmark::kMillisecond);

// The extended figures of every model, against BM_AllStatistics (the 26 figures and the basic
// statistics of the same table) and BM_RunAnalysisAllColumns (a whole batch run).
void BM_ExtendedStatistics(benchmark::State& state) {
  Fixture f;
  ReadDataFile(f.ctx);
  for (auto _ : state) {
    const std::vector<ExtendedStats> figures = CalcExtendedStats(f.ctx, 2, kCols);
    benchmark::DoNotOptimize(figures.back()[0].value);
  }
  Clean(state, f);
}
BENCHMARK(BM_ExtendedStatistics)->Unit(benchmark::kMillisecond);

// The whole Calculate command over every column, with reports that do nothing.
void BM_RunAnalysisAllColumns(benchmark::State& state) {
  Fixture f;
  f.host.analyse_all = true;
  NoReports reports;
  for (auto _ : state) {
    RunAnalysis(f.ctx, reports);
    benchmark::DoNotOptimize(f.session.Errors[kCols].RMSE);
  }
  f.host.messages -= static_cast<int>(state.iterations());  // the summary box of each run
  Clean(state, f);
}
BENCHMARK(BM_RunAnalysisAllColumns)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
