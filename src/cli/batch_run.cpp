#include "cli/batch_run.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_reports.h"
#include "cli/cli_setup.h"
#include "cli/file_jobs.h"
#include "cli/output_failure.h"
#include "cli/reader_options.h"
#include "cli/reader_run.h"
#include "cli/results_targets.h"
#include "cli/time_options.h"
#include "engine/analysis_run.h"
#include "platform/number_text.h"
#include "platform/process_memory.h"
#include "platform/run_time_error.h"
#include "platform/visible_text.h"
#include "reports/batch_output.h"
#include "settings/error_reporter.h"

namespace quelvaris::cli {

namespace {

constexpr const char* kHelpFooter = R"(Data files:
  Read by the batch reader unless --desktop-reader is given: any number of rows (up to
  --max-rows) and of columns; the delimiter (tab, comma, semicolon or runs of blanks), a
  decimal comma with semicolons and a header line are detected from the first lines; RFC 4180
  quotes, a UTF-8 byte order mark, LF, CRLF or CR line ends and empty lines are taken. A
  missing value is the missing-data code or one of the --na texts. The observed series is the
  first column (after an unnamed or "Unnamed: 0" index column), every other column is a model
  unless --observed, --models or --column say otherwise. --desktop-reader reads as the desktop
  program does: at most 10,000 rows and 30 columns, tab or --comma, numbers only, --columns 2
  and column 2 by default.

Formats (--format):
  text   the report as an aligned table, one per data file (default)
  tsv    tab-separated: a header line, then one row per data file and modelled column
  csv    the same with commas; fields with a comma, quote or line break are quoted
  json   one document with every file's figures and messages
  Figures of tsv, csv and json are written in full precision unless --rounded is given; an
  undefined figure is an empty field (tsv, csv) or null (json).
  --extended adds to each model an "extended" object (json), further columns (tsv, csv) or an
  Extended Statistics block below the report (text, where an undefined figure is blank).
  --bootstrap N adds to each model an "intervals" object (json), <key>_low, <key>_high and
  <key>_se columns (tsv, csv) or an Intervals block below the report (text).

Scoring over time:
  --time names the column of time stamps (ISO 8601 dates and date-times, or --time-format);
  they must increase. --from and --to (inclusive) and --skip choose the rows scored; --by
  also scores each year, water year, season or month (or every January, every DJF together):
  tsv and csv get a row per period with period, period_start and period_end, json a
  "periods" array in each model, text a table per period. --benchmark adds the skill over
  the mean, monthly or daily climatology, persistence or a column, built over
  --benchmark-from to --benchmark-to (default: the evaluation period).

Messages go to standard error as "Title: text", one line of a message per line.

Exit status:
  0    every report was written and no error message was shown
  1    a run stopped (too few values, an unreadable data file, ...), an error message was
       shown or an output could not be written; the other data files are still analysed
  2    a wrong command line (unknown or repeated option, rejected value); nothing is read
  141  standard output was closed by its reader (a pipe into head): the call ends at once,
       without a message, as a shell shows a program that SIGPIPE ends (128 + 13))";

std::optional<OutputFormat> FormatNamed(const std::string& name) {
  if (name == "text") return OutputFormat::Text;
  if (name == "tsv") return OutputFormat::Tsv;
  if (name == "csv") return OutputFormat::Csv;
  if (name == "json") return OutputFormat::Json;
  return std::nullopt;
}

// The options as the run reads them from its boxes and switches.
// A value of the batch reader's options as given, or null where it is detected.
OptionEntry GivenNumber(const char* key, const std::optional<std::string>& text) {
  if (!text) return {key, nullptr};
  return {key, LeadingNumber(*text)};
}

OptionEntry GivenText(const char* key, const std::optional<std::string>& text) {
  if (!text) return {key, nullptr};
  return {key, *text};
}

std::vector<OptionEntry> CallOptions(const CliOptions& o, const CliHost& host,
                                     const GlobalSettings& settings) {
  const auto box = [&host](RunBox b) { return LeadingNumber(host.BoxText(b)); };
  const bool all = host.SwitchOn(RunSwitch::AnalyseAll);
  std::vector<OptionEntry> entries = {{"format", o.format}, {"rounded", o.rounded}};
  if (o.wide_columns) {
    entries.push_back(GivenNumber("columns", o.columns));
    entries.push_back(GivenNumber("column", o.column));
    entries.push_back({"all", !o.column && !o.models});
    entries.push_back(
        GivenText("delimiter", o.comma ? std::optional<std::string>("comma") : o.delimiter));
    entries.push_back(
        {"header", o.header ? OptionEntry{"", true}.value
                            : (o.no_header ? OptionEntry{"", false}.value : OptionEntry{}.value)});
  } else {
    entries.push_back({"columns", box(RunBox::NoOfColsText)});
    entries.push_back({"column", all ? OptionEntry{}.value : box(RunBox::ColToAnalText)});
    entries.push_back({"all", all});
    entries.push_back(
        {"delimiter", std::string(host.SwitchOn(RunSwitch::TabDelimited) ? "tab" : "comma")});
    entries.push_back({"header", host.SwitchOn(RunSwitch::HeaderRow)});
  }
  const std::vector<OptionEntry> rest = {
      {"threshold", box(RunBox::ThreshText)},
      {"apply_bounds", host.SwitchOn(RunSwitch::ApplyBounds)},
      {"lower", box(RunBox::LowerBoundText)},
      {"upper", box(RunBox::UpperBoundText)},
      {"aic_bic", host.SwitchOn(RunSwitch::CalcAICBIC)},
      {"parameters", box(RunBox::AICBICParmsText)},
      {"points", box(RunBox::AICBICPointsText)},
      {"missing_code", settings.GlobalMissingCode},
      {"decimals", static_cast<double>(DecimalsInUse(settings))},
  };
  entries.insert(entries.end(), rest.begin(), rest.end());
  // Listed only when given, so that a document without them stays the same.
  if (o.extended) entries.push_back({"extended", true});
  if (o.observed) entries.push_back({"observed", *o.observed});
  if (o.models) entries.push_back({"models", *o.models});
  if (o.na) entries.push_back({"na", *o.na});
  if (o.decimal_comma) entries.push_back({"decimal_comma", true});
  return entries;
}

void AddTimeOptions(const TimeOptionTexts& t, std::vector<OptionEntry>& entries) {
  const std::pair<const char*, const std::optional<std::string>*> given[] = {
      {"time", &t.time},
      {"time_format", &t.time_format},
      {"from", &t.from},
      {"to", &t.to},
      {"skip", &t.skip},
      {"by", &t.by},
      {"benchmark_from", &t.benchmark_from},
      {"benchmark_to", &t.benchmark_to}};
  for (const auto& [key, text] : given) {
    if (*text) entries.push_back({key, **text});
  }
  std::string list;
  for (const std::string& b : t.benchmarks) list += (list.empty() ? "" : ",") + b;
  if (!t.benchmarks.empty()) entries.push_back({"benchmark", list});
}

// A session serves every data file, so that no file allocates its table; the figures of one
// file must not show up in the next one's reports where that run computes none.
void ForgetFigures(AnalysisSession& session) {
  session.ObservedStats = {};
  session.CurrentModelledStats = {};
  session.ModelledStats = {};
  session.Errors = {};
}

class Output {
 public:
  explicit Output(std::FILE* out) : out_(out) {}
  // Writes what the buffer holds and then the pieces of `after`, and empties both; false once
  // standard output has failed.
  bool Flush() {
    const auto write = [this](const std::string& text) {
      return std::fwrite(text.data(), 1, text.size(), out_) == text.size();
    };
    if (!failed_ && !(buffer.empty() && after.empty())) {
      errno = 0;
      failed_ = !write(buffer) || !std::all_of(after.begin(), after.end(), write) ||
                std::fflush(out_) != 0;
      if (failed_) error_ = errno;
    }
    buffer.clear();
    after.clear();
    return !failed_;
  }
  int error() const { return error_; }  // the errno of the failed write
  std::string buffer;
  // A file's text, written after the buffer at the next flush: the text of many periods runs
  // to megabytes, which are not copied once more behind what the buffer holds.
  std::vector<std::string> after;

 private:
  std::FILE* out_;
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace

int RunBatch(std::vector<std::string> words, std::FILE* out, std::FILE* err) {
  KeepFreedMemory();
  CliOptions options;
  CLI::App app{"Reports how well one or more models reproduce observed values.", "quelvaris-cli"};
  DeclareOptions(app, options, DataFiles::Many);
  DeclareBatchOptions(app, options);
  IntervalOptionTexts interval_options;
  DeclareIntervalOptions(app, interval_options);
  DeclareReaderOptions(app, options);
  TimeOptionTexts time_options;
  DeclareTimeOptions(app, time_options);
  DeclareVersion(app);
  app.footer(kHelpFooter);
  if (auto status = ParseCommandLine(app, std::move(words))) return *status;
  options.wide_columns = !options.desktop_reader;
  std::uintmax_t largest = 0;  // of the data files, in bytes
  for (const std::string& file : options.data_files) {
    std::error_code unknown;
    const std::uintmax_t bytes = std::filesystem::file_size(file, unknown);
    if (!unknown) largest = std::max(largest, bytes);
  }
  PrepareMemoryFor(largest);

  CliHost host({}, err, options.quiet);
  GlobalSettings settings;
  auto session = std::make_unique<AnalysisSession>();
  std::optional<OutputFormat> format;
  IntervalRequest intervals;
  TimeSetup time;
  const auto batch_checks = [&]() -> std::optional<std::string> {
    if (auto m = CheckReaderOptions(options)) return m;
    if (auto m = CheckResultsTargets(options)) return m;
    auto checked = CheckTimeOptions(time_options);
    if (const auto* m = std::get_if<std::string>(&checked)) return *m;
    time = std::get<TimeSetup>(std::move(checked));
    if (time.time && options.desktop_reader) {
      return std::string("--desktop-reader reads numbers only and takes no --time.");
    }
    format = FormatNamed(options.format);
    if (!format) return "Format must be text, tsv, csv or json.";
    return CheckIntervalOptions(interval_options, intervals, time.time.has_value());
  };
  if (!PrepareRun(options, host, settings, *session, batch_checks)) return kExitUsage;

  OutputSetup setup;
  setup.format = *format;
  setup.decimals = options.rounded || *format == OutputFormat::Text ? DecimalsInUse(settings) : -1;
  setup.several_files = options.data_files.size() > 1;
  setup.observed_groups = {BasicFigures()};
  setup.model_groups = {BasicFigures(), ErrorFigures(options.aic_bic)};
  if (options.extended) setup.model_groups.push_back(ExtendedFigures());
  setup.version = ProgramVersion();
  setup.options = CallOptions(options, host, settings);
  AddTimeOptions(time_options, setup.options);
  setup.periods = time.time.has_value();
  for (const Benchmark& b : time.benchmarks) setup.benchmarks.push_back(b.name);
  setup.intervals = intervals.on;
  setup.jackknife = intervals.boot.jackknife;
  if (intervals.on) {
    setup.options.push_back({"bootstrap", static_cast<double>(intervals.boot.resamples)});
    OptionEntry block{"block", nullptr};  // null: the default rule
    if (intervals.years) block.value = std::string("year");
    if (intervals.block > 0) block.value = static_cast<double>(intervals.block);
    setup.options.push_back(block);
    setup.options.push_back({"confidence", intervals.boot.confidence});
    setup.options.push_back({"jackknife", intervals.boot.jackknife});
    // A seed beyond 2^53 would not survive as a json number read into a double.
    const std::uint64_t seed = intervals.boot.seed;
    if (seed <= (std::uint64_t{1} << 53)) {
      setup.options.push_back({"seed", static_cast<double>(seed)});
    } else {
      setup.options.push_back({"seed", std::to_string(seed)});
    }
  }
  // The cores that the files leave free score the models of each file and lay out its rows.
  const int jobs = JobsOf(options);
  const int threads_per_file =
      std::max(1, jobs / static_cast<int>(std::min<std::size_t>(options.data_files.size(), jobs)));
  setup.threads = threads_per_file;
  setup.call_messages = host.TakeBoxes();  // the settings file's, if any
  int status = host.error_boxes() == 0 ? 0 : kExitRunFailed;

  const std::unique_ptr<BatchOutput> output = MakeBatchOutput(setup);
  CliReports reports(setup.observed_groups, setup.model_groups,
                     {.results_text = *format == OutputFormat::Text,
                      .extended = options.extended,
                      .intervals = &intervals});
  Output stdout_text(out);
  bool reported_output_failure = false;
  bool output_closed = false;  // by its reader: the call ends quietly
  const auto flush = [&] {
    if (stdout_text.Flush() || reported_output_failure) return;
    reported_output_failure = true;
    if (const auto message = OutputFailureMessage(stdout_text.error())) {
      status = kExitRunFailed;
      ShowErrorMessage(host, *message);
    } else {
      output_closed = true;
    }
  };

  bool usage_fault = false;
  output->Begin(stdout_text.buffer);
  const std::vector<std::string> targets = ResultsTargets(options);
  const std::size_t files = options.data_files.size();
  const auto heading = [&](const std::string& file) {
    return setup.several_files ? "File: " + VisibleText(file) : std::string();
  };
  if (options.results_dir) MakeResultsFolders(targets);
  if (options.desktop_reader) {
    const RunContext ctx{*session, settings, host};
    for (std::size_t i = 0; i < files; ++i) {
      const std::string& file = options.data_files[i];
      if (i > 0) ForgetFigures(*session);
      SetRunFiles(session->request, file, targets[i]);
      host.BeginFile(heading(file));
      reports.BeginFile(file);
      const int errors_before = host.error_boxes();

      RunAnalysis(ctx, reports);
      // A block longer than this file's record is a wrong command line for it: said, and the
      // call ends with the status of one, the other files still analysed.
      if (const auto& refusal = reports.IntervalRefusal()) {
        ShowErrorMessage(host, *refusal);
        usage_fault = true;
      }

      FileFigures& figures = reports.figures();
      figures.messages = host.TakeBoxes();
      output->File(figures, stdout_text.buffer);
      if (!figures.has_figures || host.error_boxes() != errors_before) status = kExitRunFailed;
      flush();
      if (output_closed) return kExitOutputClosed;
    }
  } else {
    ReaderCall call;
    call.reader = ReaderOptionsOf(options, settings.GlobalMissingCode);
    call.settings = &settings;
    call.extended = options.extended;
    // The cores that the files leave free read each file and score its models.
    call.threads = threads_per_file;
    call.reader.threads = call.threads;
    call.result_format = settings.ResultFormat;
    call.calc_aicbic = host.SwitchOn(RunSwitch::CalcAICBIC);
    call.one_column = options.column.has_value();
    call.keep_results_text = *format == OutputFormat::Text;
    call.observed_groups = &setup.observed_groups;
    call.model_groups = &setup.model_groups;
    call.intervals = &intervals;
    if (time.time) {
      call.time = &time;
      call.reader.time = time.time;
      for (const Benchmark& b : time.benchmarks) {
        if (b.kind == BenchmarkKind::Column) call.reader.benchmarks.push_back(b.name);
      }
    }
    // Each file is scored with a host of its own whose boxes are kept as text, and written out
    // in the order given once it and the files before it are done.
    struct Scored {
      std::vector<std::string> text;  // its standard output, in pieces
      std::string messages;
      bool failed = false;
      bool refused = false;  // an option this file's record cannot take
    };
    std::vector<Scored> scored(files);
    RunInOrder(
        files, JobsOf(options),
        [&](std::size_t i) {
          const std::string& file = options.data_files[i];
          char* text = nullptr;
          std::size_t length = 0;
          std::FILE* messages = open_memstream(&text, &length);
          CliHost job = host.Fork(messages != nullptr ? messages : err);
          job.BeginFile(heading(file));
          Scored& s = scored[i];
          FileFigures figures;
          figures.file = file;
          try {
            figures = ScoreFile(call, file, targets[i], job, nullptr, &s.refused);
          } catch (const std::exception& e) {
            ErrorReporter(job, ErrorNumberOf(e), "");
          }
          figures.messages = job.TakeBoxes();
          s.failed = !figures.has_figures || job.error_boxes() != 0;
          output->FilePieces(figures, i, s.text);
          if (messages != nullptr) {
            std::fclose(messages);
            s.messages.assign(text, length);
            std::free(text);
          }
        },
        [&](std::size_t i) {
          Scored& s = scored[i];
          std::fwrite(s.messages.data(), 1, s.messages.size(), err);
          std::fflush(err);
          stdout_text.after.swap(s.text);
          if (s.failed) status = kExitRunFailed;
          if (s.refused) usage_fault = true;
          flush();
          s = Scored{};  // its figures are written: their memory goes
          return !output_closed;
        });
    if (output_closed) return kExitOutputClosed;
  }
  output->End(stdout_text.buffer);
  flush();
  if (output_closed) return kExitOutputClosed;
  return usage_fault ? kExitUsage : status;
}

}  // namespace quelvaris::cli
