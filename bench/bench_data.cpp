#include "bench_data.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

namespace quelvaris {

namespace {

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

// Removes the files written when the program ends.
struct Written {
  ~Written() {
    std::error_code ec;
    for (const auto& path : paths) std::filesystem::remove(path, ec);
  }
  std::vector<std::filesystem::path> paths;
};

}  // namespace

std::string WriteBenchDataFile(const std::string& tag, BenchGaps gaps, int rows) {
  static Written written;
  const auto path = std::filesystem::temp_directory_path() /
                    ("quelvaris-bench-" + tag + "-" + std::to_string(::getpid()) + ".txt");
  written.paths.push_back(path);
  std::ofstream out(path, std::ios::binary);
  SplitMix rng(20240611);
  char cell[32];
  for (int r = 0; r < rows; ++r) {
    const double season = 40 + 30 * std::sin(2 * std::numbers::pi * r / 365.25);
    const double observed = std::max(0.1, season * (1 + 0.4 * rng.Noise()));
    for (int c = 1; c <= kBenchCols; ++c) {
      double value = observed;
      if (c > 1) value = std::max(0.0, observed * (0.9 + 0.01 * c) + 5 * rng.Noise());
      // Drawn for every value, so that both kinds of file have the same flows.
      const bool missing = rng.Uniform() < 0.01;
      if (missing && (c == 1 || gaps == BenchGaps::Everywhere)) value = -999;
      std::snprintf(cell, sizeof cell, c == 1 ? "%.3f" : "\t%.3f", value);
      out << cell;
    }
    out << "\r\n";
  }
  return path.string();
}

}  // namespace quelvaris
