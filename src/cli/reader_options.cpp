#include "cli/reader_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <thread>

namespace quelvaris::cli {

namespace {

// Fields a line may have, and model columns a run may score; far beyond any ensemble.
constexpr std::int64_t kMostColumns = 100000;
constexpr int kMostJobs = 256;

std::optional<std::int64_t> Whole(const std::string& text) {
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<char> DelimiterNamed(const std::string& name) {
  if (name == "tab") return '\t';
  if (name == "comma") return ',';
  if (name == "semicolon") return ';';
  if (name == "space") return ' ';
  return std::nullopt;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    out.push_back(list.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace

void DeclareReaderOptions(CLI::App& app, CliOptions& o, bool jobs) {
  AddSwitch(app, "--desktop-reader", o.desktop_reader,
            "Read as the desktop program does: at most 10,000 rows and 30 columns, --columns 2 "
            "and column 2 by default, tab or --comma, numbers only");
  auto* delimiter = app.add_option("--delimiter", o.delimiter,
                                   "tab, comma, semicolon or space (runs of blanks); default: "
                                   "detected from the first line")
                        ->type_name("D");
  delimiter->excludes(app.get_option("--comma"));
  app.get_option("--comma")->excludes(delimiter);
  AddSwitch(app, "--decimal-comma", o.decimal_comma,
            "Numbers are written with a decimal comma (1,5); detected with semicolons");
  AddSwitch(app, "--no-header", o.no_header,
            "The first line is data (default: a header when it names the columns)");
  app.get_option("--no-header")->excludes(app.get_option("--header"));
  app.get_option("--header")->excludes(app.get_option("--no-header"));
  app.add_option("--na", o.na,
                 "Texts that mark a missing value, comma-separated (default: empty, NA, NaN, "
                 "nan, N/A, null and pandas' other defaults); '' for none but the code")
      ->type_name("LIST");
  app.add_option("--observed", o.observed,
                 "The observed series: a header name or a column number (default: the first "
                 "column that is no index or time column)")
      ->type_name("COL");
  app.add_option("--models", o.models,
                 "The models: header names, column numbers and ranges such as 3-12, "
                 "comma-separated (default: every other column)")
      ->type_name("LIST");
  app.add_option("--max-rows", o.max_rows,
                 "Refuse a data file of more data rows than this (default 50000000)")
      ->type_name("N");
  if (jobs) {
    app.add_option("--jobs", o.jobs, "Data files scored at a time (default: the number of cores)")
        ->type_name("N");
  }
}

std::optional<std::string> CheckReaderOptions(const CliOptions& o) {
  const bool reader_option =
      o.delimiter || o.decimal_comma || o.no_header || o.na || o.observed || o.models || o.max_rows;
  if (o.desktop_reader) {
    if (reader_option) {
      return "--desktop-reader reads as the desktop program does and takes none of "
             "--delimiter, --decimal-comma, --no-header, --na, --observed, --models and "
             "--max-rows.";
    }
    return std::nullopt;
  }
  if (o.columns) {
    const auto n = Whole(*o.columns);
    if (!n || *n < 2 || *n > kMostColumns) {
      return "Columns must be a whole number from 2 to " + std::to_string(kMostColumns) + ".";
    }
  }
  if (o.column) {
    const auto c = Whole(*o.column);
    if (!c || *c < 1 || *c > kMostColumns) {
      return "Column to analyse must be a whole number from 1 to " + std::to_string(kMostColumns) +
             ".";
    }
    if (o.models) return "--column and --models both name the models; give one of them.";
  }
  if (o.delimiter && !DelimiterNamed(*o.delimiter)) {
    return "Delimiter must be tab, comma, semicolon or space.";
  }
  if (o.decimal_comma && (o.comma || (o.delimiter && *o.delimiter == "comma"))) {
    return "A decimal comma cannot go with a comma delimiter.";
  }
  if (o.observed && o.observed->empty()) return "A column is needed after --observed.";
  if (o.models && o.models->empty()) return "A list of columns is needed after --models.";
  if (o.max_rows) {
    const auto n = Whole(*o.max_rows);
    if (!n || *n < 1) return "Maximum rows must be a whole number of at least 1.";
  }
  if (o.jobs) {
    const auto n = Whole(*o.jobs);
    if (!n || *n < 1 || *n > kMostJobs) {
      return "Jobs must be a whole number from 1 to " + std::to_string(kMostJobs) + ".";
    }
  }
  return std::nullopt;
}

BatchReaderOptions ReaderOptionsOf(const CliOptions& o, double missing_code) {
  BatchReaderOptions r;
  if (o.delimiter) r.delimiter = DelimiterNamed(*o.delimiter);
  if (o.comma) r.delimiter = ',';
  if (o.decimal_comma) r.decimal_comma = true;
  if (o.header) r.header = true;
  if (o.no_header) r.header = false;
  if (o.columns) r.columns = Whole(*o.columns);
  if (o.na) r.missing_texts = o.na->empty() ? std::vector<std::string>{} : SplitList(*o.na);
  r.missing_code = missing_code;
  if (o.max_rows) r.max_rows = *Whole(*o.max_rows);
  r.observed = o.observed;
  r.models = o.column ? o.column : o.models;
  return r;
}

int JobsOf(const CliOptions& o) {
  if (o.jobs) return static_cast<int>(*Whole(*o.jobs));
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace quelvaris::cli
