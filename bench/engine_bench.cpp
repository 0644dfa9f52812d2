// Speed of the analysis engine on the largest file it accepts: 10,000 rows x 30 columns.
//
//   engine_bench --benchmark_repetitions=10
//
// The data file is generated once into a temporary folder: a seasonal, flow-like observed
// series and 29 models that follow it with their own bias and noise, about 1 % of the values
// missing (-999).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

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

#include <unistd.h>

namespace quelvaris {
namespace {

constexpr int kRows = 10000;
constexpr int kCols = 30;

// A small generator of our own so the file is the same on every machine and library.
class SplitMix {
 public:
  explicit SplitMix(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }  // [0, 1)
  double Noise() { return Uniform() + Uniform() + Uniform() - 1.5; }          // about normal

 private:
  std::uint64_t state_;
};

std::string WriteDataFile() {
  const auto path = std::filesystem::temp_directory_path() /
                    ("quelvaris-bench-" + std::to_string(::getpid()) + ".txt");
  std::ofstream out(path, std::ios::binary);
  SplitMix rng(20240611);
  char cell[32];
  for (int r = 0; r < kRows; ++r) {
    const double season = 40 + 30 * std::sin(2 * std::numbers::pi * r / 365.25);
    const double observed = std::max(0.1, season * (1 + 0.4 * rng.Noise()));
    for (int c = 1; c <= kCols; ++c) {
      double value = observed;
      if (c > 1) value = std::max(0.0, observed * (0.9 + 0.01 * c) + 5 * rng.Noise());
      if (rng.Uniform() < 0.01) value = -999;
      std::snprintf(cell, sizeof cell, c == 1 ? "%.3f" : "\t%.3f", value);
      out << cell;
    }
    out << "\r\n";
  }
  return path.string();
}

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
    static const std::string path = WriteDataFile();
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

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove(quelvaris::Fixture::DataFile(), ec);
  return 0;
}
