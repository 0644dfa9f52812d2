// Speed of Evaluate, the computation behind the batch run and the Python module, on series
// already in memory (no parse): the figures of 29 models over 10,000 rows.
//
//   evaluate_bench [--benchmark_...] [SERIES_FILE ROWS]
//
// SERIES_FILE holds the series as raw doubles, one series after another (observed first), -999
// for a gap: bench/python_bench.py writes it, so that the engine and the module are timed on
// the same values in one run. Without it, the series are generated here.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "engine/evaluation.h"

namespace quelvaris {
namespace {

struct Series {
  std::vector<double> values;
  std::size_t rows = 0;
  std::size_t count = 0;  // observed and models
};

Series& Data() {
  static Series data;
  return data;
}

Series Generated(std::size_t rows, std::size_t count) {
  Series s{std::vector<double>(rows * count), rows, count};
  std::uint64_t state = 12345;
  const auto uniform = [&state] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  };
  for (std::size_t c = 0; c < count; ++c) {
    for (std::size_t r = 0; r < rows; ++r) {
      const double flow = 20 + 15 * std::sin(static_cast<double>(r) / 58.0);
      double v = c == 0 ? flow : flow * (0.8 + 0.02 * static_cast<double>(c)) + 4 * uniform();
      if (uniform() < 0.01) v = -999;
      s.values[c * rows + r] = v;
    }
  }
  return s;
}

void Run(benchmark::State& state, bool extended) {
  const Series& data = Data();
  const std::span<const double> all(data.values);
  const std::span<const double> observed = all.subspan(0, data.rows);
  std::vector<std::span<const double>> models;
  for (std::size_t c = 1; c < data.count; ++c) {
    models.push_back(all.subspan(c * data.rows, data.rows));
  }
  EvaluationOptions options;  // missing-data code -999, no bounds, threshold 0
  options.extended = extended;
  for (auto _ : state) {
    const Evaluation ev = Evaluate(observed, models, options);
    benchmark::DoNotOptimize(ev.models.back().errors.MdAPE);
  }
  state.counters["models"] = static_cast<double>(models.size());
  state.counters["rows"] = static_cast<double>(data.rows);
}

// The basic and the 26 error statistics of every model: quelvaris.evaluate(observed, models).
void BM_Evaluate(benchmark::State& state) {
  Run(state, false);
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMillisecond);

// The same and the extended figures: quelvaris.evaluate(..., extended=True).
void BM_EvaluateExtended(benchmark::State& state) {
  Run(state, true);
}
BENCHMARK(BM_EvaluateExtended)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvaris

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc == 3) {
    const std::size_t rows = std::strtoull(argv[2], nullptr, 10);
    std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
    const auto bytes = static_cast<std::size_t>(in.tellg());
    if (!in || rows == 0 || bytes % (rows * sizeof(double)) != 0) {
      std::fprintf(stderr, "evaluate_bench: %s does not hold series of %zu doubles\n", argv[1],
                   rows);
      return 2;
    }
    quelvaris::Series& data = quelvaris::Data();
    data.rows = rows;
    data.count = bytes / (rows * sizeof(double));
    data.values.resize(bytes / sizeof(double));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(data.values.data()), static_cast<std::streamsize>(bytes));
  } else if (argc == 1) {
    quelvaris::Data() = quelvaris::Generated(10000, 30);
  } else {
    std::fprintf(stderr, "usage: evaluate_bench [--benchmark_...] [SERIES_FILE ROWS]\n");
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
