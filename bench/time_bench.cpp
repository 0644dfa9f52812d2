// Speed of scoring over time: 30 years of daily rows (10,958) with 29 models, over the whole
// span alone and with every period of a grouping as well:
//
//   time_bench --benchmark_repetitions=10
//
// BM_EvaluateOverTime times the figures alone, BM_BatchOverTime the whole batch command on the
// same columns written as a tab-separated file with a date column (reading, time stamps,
// figures, csv to /dev/null), called again and again in this process, and BM_CommandOverTime
// the command itself, one process a run, as a user runs it. BM_MonthFigureText times the text
// of the months' model figures alone, number by number. The first argument is the
// grouping: none (0), month (1), year (2), month-of-year (3); the second is --extended (1) or
// not (0). Each month is an Evaluate call of its own on about 30 rows (sorted by comparison:
// the radix passes cost as much for 30 values as for thousands), so `--by month` costs the
// whole span's figures once more and 29 x 360 more csv rows. Those rows hold some 440,000
// numbers in their shortest form, whose text takes about a quarter of the `--by month` run's
// CPU time (about 27 ns a number on one core: 12 for the shortest digits from the fmt
// library's Dragonbox conversion with its whole table of powers of ten, the rest to lay them
// out by pairs of digits). The work is spread over the cores
// the files leave free: a calendar period is scored as soon as the reader is past it, on the
// core that reading leaves idle (about half of the months of this file by the time it is
// read), with the logarithms of its rows, which the whole span then takes over; after the read
// the whole span is scored on every core, then the rest of the periods, each collected as soon
// as it is scored on the thread that scored it (a column's figures in one list), and the rows
// are laid out on those cores too. The helper threads wait between the steps instead of being
// started for each (a fresh thread took two to three milliseconds to first run on a virtual
// machine of two cores).
//
// Memory: a page of memory new to the process cost some 5 microseconds to fault in on such a
// machine, so that a run's thousands of pages once cost more than its figures. The batch
// command keeps what a file frees for the next, clears no memory it does not use, and for
// data of a megabyte or more takes its heap in large pages, one heap for every thread. The
// runs in one process (BM_BatchOverTime) find their memory warm; the command runs fault it in.
//
// Counted by callgrind on the command line with such a file (29 models), the whole span takes
// some 240 million instructions and `--by month` some 480 million. Timed on two cores of a
// virtual machine whose timings drift by a fifth from minute to minute (medians of 24 runs,
// alternating with the build before): one process a run, the whole span 23 ms and `--by month`
// 34 ms (1.4 to 1.5 times); called again and again in one process, 12 ms and 25 ms (twice).
// On another machine of two cores (an Intel Xeon VM, page faults cheap) the whole span takes
// 16 to 17 ms and `--by month` 27 to 28 ms (1.65 to 1.75 times): the month run's 42 to 44 ms
// of CPU time (reading 8, the whole span's figures 6, the periods' figures about 14, their
// text about 12, the start of the program 2) do not fit into 1.5 times the whole span on
// two cores, however well they are spread.
// On a third machine of two cores (an AMD EPYC VM whose every fresh 2 MB page is zeroed on first
// touch, some 0.65 ms each), medians of 12 runs taken minutes apart: the whole span 19 to 27 ms,
// `--by month` 28 to 42 ms, 1.2 to 1.7 times as the machine's speed drifted, most often 1.5 to
// 1.6. Zeroing fresh pages is a tenth of the month run's CPU time there: a period's figures are
// kept as doubles (an undefined one a NaN), not a value and a flag, which took the run's peak
// from 22.4 MB to 20.0 MB.
// On a fourth such machine (an AMD EPYC VM, large pages only where asked for), medians of 12 runs:
// the whole span 22 to 24 ms, `--by month` 29.5 to 36.4 ms (1.3 to 1.6 times). The text of the
// months' figures takes 30 to 35 ns a number there (BM_MonthFigureText), about 11 of them
// Dragonbox; laying the periods' rows out on the threads that score them, while the file is
// still read, made the run slower (its text is fresh memory, and the reader slowed while it was
// written), as did splitting the error figures' pass into loops of fewer sums.
// By year and by month of year add little beyond the whole span's figures once more.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <date/date.h>

#include "cli/batch_run.h"
#include "engine/timed_evaluation.h"
#include "reports/machine_figures.h"
#include "reports/machine_number.h"

extern char** environ;

namespace quelvaris {
namespace {

struct Columns {
  std::vector<TimeStamp> stamps;
  std::vector<double> observed;
  std::vector<std::vector<double>> models;
};

// A seasonal, flow-like observed series and 29 models with their own bias and noise, about
// 1 % of the values missing; the same numbers on every machine.
const Columns& ThirtyYears() {
  static const Columns columns = [] {
    Columns c;
    const date::sys_days first = date::year{1990} / 10 / 1;
    const date::sys_days last = date::year{2020} / 9 / 30;
    std::uint64_t state = 12345;
    const auto uniform = [&state] {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (date::sys_days d = first; d <= last; d += date::days{1}) c.stamps.push_back(d);
    for (std::size_t i = 0; i < c.stamps.size(); ++i) {
      const double season = std::sin(static_cast<double>(i) * 0.0172);
      c.observed.push_back(uniform() < 0.01 ? -999 : 20 + 12 * season + 6 * uniform());
    }
    c.models.resize(29);
    for (std::size_t m = 0; m < c.models.size(); ++m) {
      for (const double o : c.observed) {
        const double v =
            (o == -999 ? 20 : o) * (0.9 + 0.01 * static_cast<double>(m)) + 4 * (uniform() - 0.5);
        c.models[m].push_back(uniform() < 0.01 ? -999 : v);
      }
    }
    return c;
  }();
  return columns;
}

void BM_EvaluateOverTime(benchmark::State& state) {
  const Columns& c = ThirtyYears();
  std::vector<std::span<const double>> models(c.models.begin(), c.models.end());
  TimedOptions options;
  options.evaluation.extended = state.range(1) != 0;
  static const char* const kGroupings[] = {nullptr, "month", "year", "month-of-year"};
  if (const char* by = kGroupings[state.range(0)]) options.by = PeriodGroupingOf(by);
  std::size_t periods = 0;
  for (auto _ : state) {
    const TimedEvaluation timed = EvaluateOverTime(c.observed, models, {}, c.stamps, options);
    periods = timed.periods.size();
    benchmark::DoNotOptimize(timed.whole.evaluation.models.data());
  }
  state.counters["periods"] = static_cast<double>(periods);
}
BENCHMARK(BM_EvaluateOverTime)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

// The text of the models' figures of every month, number by number as the csv rows write them
// (shortest form, a count as its digits), without the rows around them. Counter
// "seconds_per_number".
void BM_MonthFigureText(benchmark::State& state) {
  const Columns& c = ThirtyYears();
  std::vector<std::span<const double>> models(c.models.begin(), c.models.end());
  TimedOptions options;
  options.by = PeriodGroupingOf("month");
  const TimedEvaluation timed = EvaluateOverTime(c.observed, models, {}, c.stamps, options);
  const std::vector<FigureGroup> groups = {BasicFigures(), ErrorFigures(false)};
  std::vector<FigureLists> lists;
  for (const ScoredSpan& period : timed.periods) {
    for (const ModelEvaluation& m : period.evaluation.models) {
      const FigureSource source{.modelled = &m.record, .errors = &m.errors};
      lists.emplace_back().Fill(groups, &source);
    }
  }
  std::vector<char> text(kFigureRoom);
  std::size_t numbers = 0;
  for (auto _ : state) {
    numbers = 0;
    for (const FigureLists& figures : lists) {
      for (std::size_t g = 0; g < groups.size(); ++g) {
        const FigureSpan values = figures[g];
        for (std::size_t i = 0; i < groups[g].figures.size(); ++i, ++numbers) {
          char* end = WriteFigure(values[i], groups[g].figures[i].is_count, -1, text.data());
          benchmark::DoNotOptimize(end);
        }
      }
    }
  }
  state.counters["seconds_per_number"] =
      benchmark::Counter(static_cast<double>(numbers) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["numbers"] = static_cast<double>(numbers);
}
BENCHMARK(BM_MonthFigureText)->Unit(benchmark::kMillisecond);

// The columns as a data file, written once into the temporary folder.
const std::string& ThirtyYearsFile() {
  static const std::string path = [] {
    const Columns& c = ThirtyYears();
    const auto path = std::filesystem::temp_directory_path() /
                      ("quelvaris-time-bench-" + std::to_string(::getpid()) + ".txt");
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fputs("date\tobs", f);
    for (std::size_t m = 0; m < c.models.size(); ++m) std::fprintf(f, "\tm%zu", m + 2);
    std::fputc('\n', f);
    for (std::size_t i = 0; i < c.stamps.size(); ++i) {
      std::fputs(date::format("%F", date::floor<date::days>(c.stamps[i])).c_str(), f);
      std::fprintf(f, "\t%.3f", c.observed[i]);
      for (const auto& m : c.models) std::fprintf(f, "\t%.3f", m[i]);
      std::fputc('\n', f);
    }
    std::fclose(f);
    std::atexit([] { std::filesystem::remove(ThirtyYearsFile()); });
    return path.string();
  }();
  return path;
}

void BM_BatchOverTime(benchmark::State& state) {
  const auto config = std::filesystem::temp_directory_path() / "quelvaris-bench-config";
  std::filesystem::create_directories(config);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  std::vector<std::string> words{ThirtyYearsFile(), "--time", "date", "--format", "csv", "--quiet"};
  static const char* const kGroupings[] = {nullptr, "month", "year", "month-of-year"};
  if (const char* by = kGroupings[state.range(0)]) {
    words.emplace_back("--by");
    words.emplace_back(by);
  }
  if (state.range(1) != 0) words.emplace_back("--extended");
  std::FILE* null = std::fopen("/dev/null", "w");
  int status = 0;
  for (auto _ : state) status |= cli::RunBatch(words, null, null);
  std::fclose(null);
  if (status != 0) state.SkipWithError("a run failed");
}
// The periods and the models go to several threads: the CPU column is that of the whole process.
BENCHMARK(BM_BatchOverTime)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The same runs of the command as a user makes them, one process each (csv to /dev/null): the
// start of the program, and memory that is fresh to the process, each of its pages faulted in
// on first use, where the runs above take the memory a run before them left behind. Counter
// "cpu_ms": the CPU time of the child, all its threads, per run.
void BM_CommandOverTime(benchmark::State& state) {
  const auto config = std::filesystem::temp_directory_path() / "quelvaris-bench-config";
  std::filesystem::create_directories(config);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  std::vector<std::string> words{
      QUELVARIS_CLI_PATH, ThirtyYearsFile(), "--time", "date", "--format", "csv", "--quiet"};
  static const char* const kGroupings[] = {nullptr, "month", "year", "month-of-year"};
  if (const char* by = kGroupings[state.range(0)]) {
    words.emplace_back("--by");
    words.emplace_back(by);
  }
  if (state.range(1) != 0) words.emplace_back("--extended");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t to_null;
  posix_spawn_file_actions_init(&to_null);
  posix_spawn_file_actions_addopen(&to_null, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  double cpu_seconds = 0;
  bool failed = false;
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    failed = failed || posix_spawn(&pid, argv[0], &to_null, nullptr, argv.data(), environ) != 0 ||
             wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
             WEXITSTATUS(status) != 0;
    const auto seconds = [](const timeval& t) {
      return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    cpu_seconds += seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }
  posix_spawn_file_actions_destroy(&to_null);
  if (failed) state.SkipWithError("a run failed");
  state.counters["cpu_ms"] =
      benchmark::Counter(cpu_seconds * 1e3 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CommandOverTime)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
