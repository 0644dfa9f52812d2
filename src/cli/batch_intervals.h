#pragma once

#include "engine/interval_request.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// --bootstrap, --block, --confidence, --jackknife and --seed; CheckIntervalOptions checks their
// values.
void DeclareIntervalOptions(CLI::App& app, IntervalOptionTexts& options);

}  // namespace quelvaris::cli
