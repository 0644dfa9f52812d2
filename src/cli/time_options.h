#pragma once

#include "engine/time_setup.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// --time, --time-format, --from, --to, --skip, --by, --benchmark (which may be given more than
// once), --benchmark-from and --benchmark-to; CheckTimeOptions checks their values.
void DeclareTimeOptions(CLI::App& app, TimeOptionTexts& options);
// The first six alone: the time column, the evaluation period and the periods.
void DeclareTimeWindowOptions(CLI::App& app, TimeOptionTexts& options);

}  // namespace quelvaris::cli
