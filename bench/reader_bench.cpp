// The batch reader against the floor of reading a file at all, and the batch command's speed
// over many files with --jobs:
//
//   reader_bench --benchmark_repetitions=5
//
// BM_ReadFloor reads the 1,000,000 x 30 tab file (about 200 MB, written once into the temporary
// folder) and converts every field with fast_float, nothing else: no storage, no checks, no
// figures. BM_ScoreAll is the whole batch command over the same file with every model scored
// (csv to /dev/null); it should stay within 1.5 times the floor. BM_ReadTable is the batch
// reader alone on the same file, on 1 and 2 threads. BM_TenThousand compares the
// 10,000 x 30 file read by the desktop program's reader (0) and by the batch reader (1).
// BM_Jobs scores 200 copies of the 10,000 x 30 file with --jobs 1 and 2.
//
// Peak memory is measured on the command itself:
//   /usr/bin/time -v quelvaris-cli BIG.txt --format csv --quiet > /dev/null

#include <benchmark/benchmark.h>
#include <fast_float/fast_float.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_calls.h"
#include "bench_data.h"
#include "cli/batch_run.h"
#include "engine/batch_reader.h"

namespace quelvaris {
namespace {

constexpr int kLongRows = 1000000;

const std::string& LongFile() {
  static const std::string path =
      WriteBenchDataFile("reader-long", BenchGaps::Everywhere, kLongRows);
  return path;
}

const std::string& ShortFile() {
  static const std::string path = WriteBenchDataFile("reader-short");
  return path;
}

void BM_ReadFloor(benchmark::State& state) {
  const std::string& path = LongFile();
  std::vector<char> buffer(std::size_t{1} << 20);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    double sum = 0;
    std::size_t fields = 0;
    std::string carry;
    for (;;) {
      const ssize_t got = ::read(fd, buffer.data(), buffer.size());
      if (got <= 0) break;
      const char* p = buffer.data();
      const char* end = p + got;
      if (!carry.empty()) {  // a field cut by the buffer's end
        const char* stop = p;
        while (stop < end && *stop != '\t' && *stop != '\n' && *stop != '\r') ++stop;
        carry.append(p, stop);
        double v = 0;
        fast_float::from_chars(carry.data(), carry.data() + carry.size(), v);
        sum += v;
        ++fields;
        carry.clear();
        p = stop;
      }
      while (p < end) {
        while (p < end && (*p == '\t' || *p == '\n' || *p == '\r')) ++p;
        const char* stop = p;
        while (stop < end && *stop != '\t' && *stop != '\n' && *stop != '\r') ++stop;
        if (stop == end) {
          carry.assign(p, stop);
          break;
        }
        double v = 0;
        fast_float::from_chars(p, stop, v);
        sum += v;
        ++fields;
        p = stop;
      }
    }
    ::close(fd);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(fields);
  }
}
BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond);

void BM_ReadTable(benchmark::State& state) {
  const std::string& path = LongFile();
  BatchReaderOptions options;
  options.threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    BatchTable table = ReadBatchFile(path, options);
    benchmark::DoNotOptimize(table.models.data());
  }
}
BENCHMARK(BM_ReadTable)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond);

void BM_ScoreAll(benchmark::State& state) {
  TimeBatchCalls(state, {LongFile(), "--all", "--format", "csv", "--quiet"});
}
BENCHMARK(BM_ScoreAll)->Unit(benchmark::kMillisecond);

void BM_TenThousand(benchmark::State& state) {
  std::vector<std::string> words = {ShortFile(), "--columns", "30",     "--all",
                                    "--format",  "csv",       "--quiet"};
  if (state.range(0) == 0) words.emplace_back("--desktop-reader");
  TimeBatchCalls(state, words);
}
BENCHMARK(BM_TenThousand)->Arg(0)->Arg(1)->ArgName("batch_reader")->Unit(benchmark::kMillisecond);

void BM_Jobs(benchmark::State& state) {
  std::vector<std::string> words(200, ShortFile());
  for (const char* w : {"--format", "csv", "--quiet", "--jobs"}) words.emplace_back(w);
  words.push_back(std::to_string(state.range(0)));
  TimeBatchCalls(state, words);
}
BENCHMARK(BM_Jobs)->Arg(1)->Arg(2)->ArgName("jobs")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
