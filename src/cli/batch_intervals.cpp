#include "cli/batch_intervals.h"

#include <CLI/CLI.hpp>

#include "cli/cli_options.h"

namespace quelvaris::cli {

void DeclareIntervalOptions(CLI::App& app, IntervalOptionTexts& o) {
  app.add_option("--bootstrap", o.bootstrap,
                 "Resample the paired rows N times (1 to 100000) and give every figure of each "
                 "model its percentile interval and standard error")
      ->type_name("N");
  app.add_option("--block", o.block,
                 "Rows in each block of consecutive rows a resample is made of, or `year` for "
                 "whole years of the time column (default: one year of steps of a regular "
                 "record with --time, else the cube root of the row count, rounded)")
      ->type_name("L|year");
  app.add_option("--confidence", o.confidence,
                 "Confidence of the intervals, between 0 and 1 (default 0.90)")
      ->type_name("C");
  AddSwitch(app, "--jackknife", o.jackknife,
            "Also the jackknife-after-bootstrap standard error of each interval end");
  app.add_option("--seed", o.seed, "Seed of the resamples, a whole number (default 0)")
      ->type_name("S");
}

}  // namespace quelvaris::cli
