#include "cli/time_options.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "platform/visible_text.h"

namespace quelvaris::cli {

void DeclareTimeWindowOptions(CLI::App& app, TimeCliOptions& o) {
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

void DeclareTimeOptions(CLI::App& app, TimeCliOptions& o) {
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

namespace {

// A bound of a period: the ISO forms, else the time column's layout. A date given as the end
// of a period means its whole day.
std::optional<TimeStamp> BoundOf(const std::string& text, const std::string& layout, bool end) {
  TimeStampReader iso;
  if (const std::optional<TimeStamp> t = iso.Read(text)) {
    return end && iso.DateOnly(text) ? EndOfDay(*t) : *t;
  }
  if (layout.empty()) return std::nullopt;
  TimeStampReader own(layout);
  const std::optional<TimeStamp> t = own.Read(text);
  if (t && end && own.DateOnly(text)) return EndOfDay(*t);
  return t;
}

}  // namespace

std::variant<TimeSetup, std::string> CheckTimeOptions(const TimeCliOptions& o) {
  TimeSetup setup;
  const auto needs_time = [&o](const char* option) -> std::optional<std::string> {
    if (o.time) return std::nullopt;
    return std::string(option) + " needs a time column (--time).";
  };
  if (o.time) {
    if (o.time->empty()) return std::string("A column name or number is needed after --time.");
    setup.time = *o.time;
  }
  if (o.time_format) {
    if (auto m = needs_time("--time-format")) return *m;
    if (o.time_format->empty()) return std::string("A layout is needed after --time-format.");
    setup.layout = *o.time_format;
  }
  struct Bound {
    const char* option;
    const std::optional<std::string>& text;
    bool end;
    std::optional<TimeStamp>& into;
  };
  for (const Bound& b : {Bound{"--from", o.from, false, setup.window.from},
                         Bound{"--to", o.to, true, setup.window.to},
                         Bound{"--benchmark-from", o.benchmark_from, false, setup.calibration.from},
                         Bound{"--benchmark-to", o.benchmark_to, true, setup.calibration.to}}) {
    if (!b.text) continue;
    if (auto m = needs_time(b.option)) return *m;
    b.into = BoundOf(*b.text, setup.layout, b.end);
    if (!b.into) {
      return std::string(b.option) + ": \"" + VisibleText(*b.text) +
             "\" is not a date or date-time (1990-10-01, 1990-10-01T06:00" +
             (setup.layout.empty() ? "" : ", or " + setup.layout) + ").";
    }
  }
  if (setup.window.from && setup.window.to && *setup.window.to < *setup.window.from) {
    return std::string("--to must not be earlier than --from.");
  }
  if (setup.calibration.from && setup.calibration.to &&
      *setup.calibration.to < *setup.calibration.from) {
    return std::string("--benchmark-to must not be earlier than --benchmark-from.");
  }
  setup.calibration_given = o.benchmark_from || o.benchmark_to;
  if (o.skip) {
    if (auto m = needs_time("--skip")) return *m;
    const std::string& s = *o.skip;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), setup.window.skip);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size() || setup.window.skip < 0) {
      return "--skip: \"" + VisibleText(s) + "\" is not a number of rows (0 or more).";
    }
  }
  if (o.by) {
    if (auto m = needs_time("--by")) return *m;
    setup.by = PeriodGroupingOf(*o.by);
    if (!setup.by) {
      return "--by: \"" + VisibleText(*o.by) +
             "\" is not year, water-year, water-year=M (M 1 to 12), season, month, "
             "month-of-year or season-of-year.";
    }
  }
  for (const std::string& b : o.benchmarks) {
    if (auto m = needs_time("--benchmark")) return *m;
    if (b.empty()) return std::string("A benchmark is needed after --benchmark.");
    for (const Benchmark& earlier : setup.benchmarks) {
      if (earlier.name == b) return "--benchmark " + VisibleText(b) + " is given twice.";
    }
    setup.benchmarks.push_back(BenchmarkOf(b));
  }
  if (setup.calibration_given && setup.benchmarks.empty()) {
    return std::string(o.benchmark_from ? "--benchmark-from" : "--benchmark-to") +
           " needs a benchmark (--benchmark).";
  }
  return setup;
}

}  // namespace quelvaris::cli
