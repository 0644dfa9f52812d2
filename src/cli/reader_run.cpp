#include "cli/reader_run.h"

#include <memory>
#include <optional>

#include <algorithm>
#include <exception>
#include <filesystem>

#include "engine/periods_ahead.h"
#include "engine/stop_message.h"
#include "engine/time_column.h"
#include "engine/timed_scoring.h"
#include "platform/file_slot.h"
#include "platform/int16.h"
#include "platform/number_text.h"
#include "platform/run_time_error.h"
#include "platform/visible_text.h"
#include "reports/results_file.h"
#include "reports/time_figures.h"
#include "settings/error_reporter.h"

namespace quelvaris::cli {

namespace {

std::string MissingLine(std::int64_t missing) {
  return std::to_string(missing) + " missing observed values noted.";
}

std::string NameOf(const BatchTable& t, int column) {
  const auto at = static_cast<std::size_t>(column - 1);
  if (at < t.names.size() && !t.names[at].empty()) return t.names[at];
  return DefaultColumnName(column);
}

void ColumnFault(CliHost& host, int number, int column) {
  if (number != 0) ErrorReporter(host, number, "Column " + std::to_string(column) + ".");
}

}  // namespace

EvaluationOptions EvaluationOptionsOf(const CliHost& host, const GlobalSettings& settings,
                                      bool extended) {
  const auto box = [&host](RunBox b) { return LeadingNumber(host.BoxText(b)); };
  EvaluationOptions e;
  e.rule = {.missing_code = settings.GlobalMissingCode,
            .apply_bounds = host.SwitchOn(RunSwitch::ApplyBounds),
            .lower = box(RunBox::LowerBoundText),
            .upper = box(RunBox::UpperBoundText),
            .threshold = box(RunBox::ThreshText)};
  e.parameters = ToInt16(RoundDown(box(RunBox::AICBICParmsText)));
  e.points = ToInt16(RoundDown(box(RunBox::AICBICPointsText)));
  e.extended = extended;
  return e;
}

FileFigures ScoreFile(const ReaderCall& call, const std::string& file,
                      const std::string& results_path, CliHost& host, BatchTable* kept,
                      bool* refused) {
  FileFigures out;
  out.file = file;
  EvaluationOptions evaluation;
  BatchTable table;
  // Over time, each period is collected as soon as it is scored, while the figures of the
  // other periods and of the whole evaluation period are still being worked out; calendar
  // periods are scored from the first on while the file is still being read.
  SeriesName observed_name;
  std::vector<SeriesName> model_names;
  std::vector<std::string> benchmark_names;
  std::shared_ptr<TimeFigures> time;
  std::optional<TimeFiguresCollector> collector;
  const SpanSetup span_setup{.observed_groups = *call.observed_groups,
                             .model_groups = *call.model_groups,
                             .results_text = call.keep_results_text,
                             .result_format = call.result_format,
                             .aic_bic = call.calc_aicbic,
                             .date_only = true,
                             .threads = call.threads};
  const auto collector_for = [&](const BatchTable& t) -> TimeFiguresCollector& {
    if (!collector) {
      observed_name = {t.observed_column, NameOf(t, t.observed_column)};
      for (const int column : t.model_columns) model_names.push_back({column, NameOf(t, column)});
      benchmark_names = BenchmarkNames(*call.time);
      time = std::make_shared<TimeFigures>();
      collector.emplace(observed_name, model_names, benchmark_names, span_setup, *time);
    }
    return *collector;
  };
  std::optional<PeriodsAhead> ahead;
  try {
    // Parameters or points beyond 16 bits pass their checks and stop each run here (error 6),
    // as the desktop program's run stops at its first step.
    evaluation = EvaluationOptionsOf(host, *call.settings, call.extended);
    if (call.time != nullptr && call.threads >= 2 && PeriodsAhead::Applies(*call.time)) {
      ahead.emplace(*call.time, evaluation, collector_for);
    }
    table = ReadBatchFile(file, call.reader, ahead ? &*ahead : nullptr);
    if (ahead) ahead->Stop();  // also when the file was read in byte ranges, never told of
  } catch (const BatchReadError& e) {
    ShowErrorMessage(host, e.message);
    return out;
  } catch (const RunTimeError& e) {
    ErrorReporter(host, e.number(), e.detail());
    return out;
  } catch (const std::exception& e) {
    ErrorReporter(host, ErrorNumberOf(e), "Data file: " + VisibleText(file));
    return out;
  }
  if (table.wide_line != 0) {
    host.ShowMessage("Data File",
                     VisibleText(DataFileShownName(file)) + ": line " +
                         std::to_string(table.wide_line) + " has more fields than the " +
                         std::to_string(table.columns) +
                         " columns of the file; the fields beyond them are ignored.",
                     MessageIcon::Information, MessageButtons::Ok);
  }

  const std::int64_t rows = table.rows;
  if (rows - table.missing_observed < 4) {
    ShowErrorMessage(
        host,
        InsufficientDataMessage(
            {.rows = rows, .period = false, .missing = table.missing_observed, .out_of_bounds = {}},
            "\r"));
    return out;
  }
  std::string summary = "Processed " + std::to_string(rows) + " rows in file.\r" +
                        MissingLine(table.missing_observed);
  if (!call.one_column && !results_path.empty()) {
    summary += "\rAll results will be saved to " +
               VisibleText(std::filesystem::path(results_path).filename().string()) + ".";
  }
  host.ShowMessage("Results", summary, MessageIcon::Information, MessageButtons::Ok);

  Evaluation plain;
  std::optional<TimedFile> timed;
  if (call.time != nullptr) {
    try {
      timed =
          ScoreOverTime(*call.time, table, evaluation, DataFileShownName(file), call.threads,
                        &collector_for(table),
                        ahead ? std::span<const Period>(ahead->taken()) : std::span<const Period>{},
                        ahead ? &ahead->logs() : nullptr);
    } catch (const TimeStampError& e) {
      ShowErrorMessage(host, VisibleText(e.what()));
      return out;
    }
  } else {
    std::vector<std::span<const double>> models;
    models.reserve(table.models.size());
    for (const auto& m : table.models) models.emplace_back(m);
    plain = Evaluate(table.observed, models, evaluation, call.threads);
  }
  // Over time, the models are followed by the benchmarks; the figures reported as the file's
  // are those of the evaluation period.
  const Evaluation& ev = timed ? timed->timed.whole.evaluation : plain;
  if (timed && ev.stop == EvaluationStop::TooFewObserved) {
    const ScoredSpan& whole = timed->timed.whole;
    ShowErrorMessage(host, InsufficientDataMessage({.rows = whole.period.rows,
                                                    .period = true,
                                                    .missing = ev.observed_counts.missing,
                                                    .out_of_bounds = {}},
                                                   "\r"));
    return out;
  }
  const std::size_t model_count = table.models.size();
  ColumnFault(host, ev.observed_fault, table.observed_column);
  if (ev.stop == EvaluationStop::TooFewInBounds) {
    ShowErrorMessage(host,
                     InsufficientDataMessage({.rows = rows,
                                              .period = false,
                                              .missing = ev.observed_counts.missing,
                                              .out_of_bounds = ev.observed_counts.out_of_bounds},
                                             "\r"));
    return out;
  }
  for (std::size_t i = 0; i < model_count; ++i) {
    ColumnFault(host, ev.models[i].basic_fault, table.model_columns[i]);
  }
  for (std::size_t i = 0; i < model_count; ++i) {
    ColumnFault(host, ev.models[i].error_fault, table.model_columns[i]);
  }

  std::vector<ResultsColumn> columns;
  columns.reserve(model_count);
  for (std::size_t i = 0; i < model_count; ++i) {
    columns.push_back({table.model_columns[i], &ev.models[i].record, &ev.models[i].errors});
  }
  if (!results_path.empty() || call.keep_results_text) {
    const std::string text =
        BuildResultsText(ev.observed, columns, call.result_format, call.calc_aicbic);
    if (!results_path.empty()) {
      try {
        FileSlot slot;
        WriteResultsBeside(slot, results_path, file, text);
      } catch (const std::exception& e) {
        ErrorReporter(host, ErrorNumberOf(e), "Results file: " + results_path);
      }
    }
    if (call.keep_results_text) out.results_text = text;
  }

  RunFigures run;
  run.rows = rows;
  run.missing = table.missing_observed;
  run.observed = {
      table.observed_column, NameOf(table, table.observed_column), {.observed = &ev.observed}};
  for (std::size_t i = 0; i < model_count; ++i) {
    const ModelEvaluation& m = ev.models[i];
    run.models.push_back({table.model_columns[i],
                          NameOf(table, table.model_columns[i]),
                          {.modelled = &m.record,
                           .errors = &m.errors,
                           .extended = evaluation.extended ? &m.extended : nullptr}});
  }
  BootstrapResult bootstrap;
  if (call.intervals != nullptr && call.intervals->on) {
    // The resamples take the threads the files leave free, as the models do. Over time they
    // resample the rows of the evaluation period, whose figures the file reports.
    IntervalRequest request = *call.intervals;
    request.boot.threads = call.threads;
    const std::vector<std::span<const double>> models(table.models.begin(), table.models.end());
    const auto refusal =
        timed ? ResampleWindow(request, table.observed, models, timed->stamps, timed->timed.window,
                               call.time->by, evaluation, bootstrap)
              : ResampleFile(request, table.observed, models, evaluation, bootstrap);
    if (refusal) {
      ShowErrorMessage(host, *refusal);
      if (refused != nullptr) *refused = true;
    } else {
      for (std::size_t i = 0; i < run.models.size() && i < bootstrap.models.size(); ++i) {
        run.models[i].source.intervals = &bootstrap.models[i];
      }
      out.bootstrap = bootstrap;
      out.bootstrap->models.clear();
    }
  }
  CollectFigures(run, *call.observed_groups, *call.model_groups, out);
  if (timed) {
    collector->Finish(timed->timed.whole);
    // The intervals are those of the evaluation period's figures.
    for (std::size_t i = 0; i < out.models.size() && i < time->whole.models.size(); ++i) {
      time->whole.models[i].intervals = out.models[i].intervals;
    }
    out.time = std::move(time);
  }
  if (kept != nullptr) *kept = std::move(table);
  return out;
}

}  // namespace quelvaris::cli
