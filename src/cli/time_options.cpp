#include "cli/time_options.h"

#include <CLI/CLI.hpp>

namespace quelvaris::cli {

void DeclareTimeWindowOptions(CLI::App& app, TimeOptionTexts& o) {
  app.add_option("--time", o.time,
                 "The column of time stamps, by header name or number; never a model")
      ->type_name("NAME|N");
  app.add_option("--time-format", o.time_format,
                 "Layout of the time stamps, strftime-style (default: ISO 8601 dates and "
                 "date-times)")
      ->type_name("LAYOUT");
  app.add_option("--from", o.from, "Score the rows from this time on (inclusive)")->type_name("T");
  app.add_option("--to", o.to, "Score the rows up to this time (inclusive; a date: all its day)")
      ->type_name("T");
  app.add_option("--skip", o.skip, "Leave out the first N rows of the evaluation period")
      ->type_name("N");
  app.add_option("--by", o.by,
                 "Also score each period: year, water-year[=M], season, month, month-of-year "
                 "or season-of-year")
      ->type_name("PERIOD");
}

void DeclareTimeOptions(CLI::App& app, TimeOptionTexts& o) {
  DeclareTimeWindowOptions(app, o);
  app.add_option("--benchmark", o.benchmarks,
                 "Skill against a benchmark: mean, monthly, daily, persistence or a column "
                 "(may be given more than once)")
      ->type_name("B")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--benchmark-from", o.benchmark_from,
                 "Build the benchmarks from the rows from this time on (default: the evaluation "
                 "period)")
      ->type_name("T");
  app.add_option("--benchmark-to", o.benchmark_to,
                 "Build the benchmarks from the rows up to this time")
      ->type_name("T");
}

}  // namespace quelvaris::cli
