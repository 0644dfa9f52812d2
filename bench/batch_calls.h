#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/batch_run.h"

namespace quelvaris {

// Runs a call of the batch command once per iteration, its output and messages to /dev/null,
// with settings from a folder of its own so that the user's settings file plays no part.
inline void TimeBatchCalls(benchmark::State& state, const std::vector<std::string>& words) {
  const auto config = std::filesystem::temp_directory_path() / "quelvaris-bench-config";
  std::filesystem::create_directories(config);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  std::FILE* null = std::fopen("/dev/null", "w");
  int status = 0;
  for (auto _ : state) status |= cli::RunBatch(words, null, null);
  std::fclose(null);
  if (status != 0) state.SkipWithError("a run failed");
}

}  // namespace quelvaris
