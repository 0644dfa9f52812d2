// Speed of the batch command over many files in one call, against one file alone, and what
// the extended figures add to it:
//
//   batch_bench --benchmark_repetitions=10
//
// Each call runs the whole command in this process (parsing, settings, the runs, the csv
// written to /dev/null) on the 10,000 x 30 file of bench_data.h. BM_BatchCsv gives it 1 or 100
// times; its "per_file" counter is the time of one file: a call over 100 files should cost no
// more per file than a call over one, since the session and its table are set up once and the
// output goes through one buffer. BM_BatchExtended is one file without (second argument 0) and
// with (1) --extended, which should add no more than half; its first argument is the file:
// gaps in every column (0), or in the observed one only (1), where the models share the
// observed side of the extended figures.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_calls.h"
#include "bench_data.h"
#include "cli/batch_run.h"

namespace quelvaris {
namespace {

const std::string& DataFile(BenchGaps gaps = BenchGaps::Everywhere) {
  static const std::string everywhere = WriteBenchDataFile("batch");
  static const std::string observed_only =
      WriteBenchDataFile("batch-complete-models", BenchGaps::ObservedOnly);
  return gaps == BenchGaps::Everywhere ? everywhere : observed_only;
}

// The words of a call over `files` copies of a data file, all columns, csv.
std::vector<std::string> CsvCall(std::size_t files, BenchGaps gaps = BenchGaps::Everywhere) {
  std::vector<std::string> words(files, DataFile(gaps));
  for (const char* w : {"--columns", "30", "--all", "--format", "csv", "--quiet"}) {
    words.emplace_back(w);
  }
  return words;
}

void BM_BatchCsv(benchmark::State& state) {
  const auto files = static_cast<std::size_t>(state.range(0));
  TimeBatchCalls(state, CsvCall(files));
  state.counters["per_file"] =
      benchmark::Counter(static_cast<double>(files), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchCsv)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_BatchExtended(benchmark::State& state) {
  std::vector<std::string> words =
      CsvCall(1, state.range(0) == 0 ? BenchGaps::Everywhere : BenchGaps::ObservedOnly);
  if (state.range(1) != 0) words.emplace_back("--extended");
  TimeBatchCalls(state, words);
}
BENCHMARK(BM_BatchExtended)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"complete_models", "extended"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
