// Speed and memory of quelvaris-plot on the largest data file, 10,000 rows, with one model and
// with all 29, as a user runs it:
//
//   plot_bench --benchmark_repetitions=5
//
// Each iteration runs the program once as a child process (reading, the run, the hydrograph
// and the scatter laid out and written as a PNG, or a PDF with pdf:1); "peak_rss_mb" is the
// largest resident set of the children. Drawing should grow with the models, not with their
// square: 29 models in about 30 times the drawing of one at most.

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_data.h"

extern char** environ;

namespace quelvaris {
namespace {

const std::string& DataFile() {
  static const std::string path = WriteBenchDataFile("plot");
  return path;
}

// Runs the program to its end; its exit status and peak resident set (kB) through `rss_kb`.
int RunChild(const std::vector<std::string>& words, long& rss_kb) {
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return -1;
  rss_kb = std::max(rss_kb, usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_PlotCommand(benchmark::State& state) {
  const auto models = state.range(0);
  const bool pdf = state.range(1) != 0;
  const auto out = std::filesystem::temp_directory_path() /
                   ("quelvaris-plot-bench" + std::string(pdf ? ".pdf" : ".png"));
  const auto config = std::filesystem::temp_directory_path() / "quelvaris-bench-config";
  std::filesystem::create_directories(config);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::vector<std::string> words = {
      QUELVARIS_PLOT_PATH, DataFile(), "--columns", std::to_string(models + 1), "--all",
      "--quiet",           "--output", out.string()};
  long rss_kb = 0;
  for (auto _ : state) {
    if (RunChild(words, rss_kb) != 0) {
      state.SkipWithError("quelvaris-plot failed");
      break;
    }
  }
  state.counters["peak_rss_mb"] = static_cast<double>(rss_kb) / 1024.0;
  std::filesystem::remove(out);
}
BENCHMARK(BM_PlotCommand)
    ->ArgsProduct({{1, 29}, {0, 1}})
    ->ArgNames({"models", "pdf"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
