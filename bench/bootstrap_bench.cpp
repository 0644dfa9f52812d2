// Speed of the block bootstrap against one run of the same data, side by side:
//
//   bootstrap_bench --benchmark_repetitions=3
//
// The 10,000 x 30 file of bench_data.h (29 models). BM_FullRun is one run of the file: read by
// the batch reader and every model evaluated, without (0) and with (1) the extended figures.
// BM_Evaluate is the evaluation alone, of the file read into memory once. BM_Bootstrap is 1,000
// resamples of it with default blocks, on 1 or 2 threads (wall time); its counter
// "per_resample" is the wall time of one resample. The basic and error figures of 1,000
// resamples should cost no more than about ten runs of the file (BM_FullRun/extended:0), and
// with the extended figures about thirty (BM_FullRun/extended:1).

#include <benchmark/benchmark.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_data.h"
#include "engine/batch_reader.h"
#include "engine/bootstrap.h"
#include "engine/evaluation.h"

namespace quelvaris {
namespace {

struct Columns {
  std::vector<std::vector<double>> values;  // observed first
  std::vector<std::span<const double>> models;
};

const std::string& DataFile() {
  static const std::string path = WriteBenchDataFile("bootstrap");
  return path;
}

const Columns& Data() {
  static const Columns data = [] {
    Columns c;
    c.values.resize(kBenchCols);
    std::ifstream in(DataFile(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      const char* at = line.data();
      const char* end = at + line.size();
      for (auto& column : c.values) {
        double v = 0;
        at = std::from_chars(at, end, v).ptr;
        column.push_back(v);
        if (at < end) ++at;  // the tab
      }
    }
    for (std::size_t k = 1; k < c.values.size(); ++k) c.models.emplace_back(c.values[k]);
    return c;
  }();
  return data;
}

EvaluationOptions Options(bool extended) {
  EvaluationOptions options;
  options.extended = extended;
  return options;
}

void BM_Evaluate(benchmark::State& state) {
  const Columns& data = Data();
  const EvaluationOptions options = Options(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Evaluate(data.values[0], data.models, options));
  }
}
BENCHMARK(BM_Evaluate)->ArgName("extended")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FullRun(benchmark::State& state) {
  const EvaluationOptions options = Options(state.range(0) != 0);
  const std::string& path = DataFile();
  for (auto _ : state) {
    const BatchTable table = ReadBatchFile(path, BatchReaderOptions{});
    std::vector<std::span<const double>> models(table.models.begin(), table.models.end());
    benchmark::DoNotOptimize(Evaluate(table.observed, models, options));
  }
}
BENCHMARK(BM_FullRun)->ArgName("extended")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Bootstrap(benchmark::State& state) {
  const Columns& data = Data();
  const EvaluationOptions options = Options(state.range(0) != 0);
  const auto rows = static_cast<std::int64_t>(data.values[0].size());
  const BlockPlan plan = MovingBlocks(rows, DefaultBlockLength(rows));
  BootstrapOptions boot;
  boot.resamples = 1000;
  boot.threads = static_cast<int>(state.range(1));
  boot.jackknife = state.range(2) != 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(BootstrapIntervals(data.values[0], data.models, options, plan, boot));
  }
  state.counters["per_resample"] = benchmark::Counter(
      boot.resamples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Bootstrap)
    ->ArgNames({"extended", "threads", "jackknife"})
    ->ArgsProduct({{0, 1}, {1, 2}, {0}})
    ->Args({0, 2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
