#include "engine/analysis_run.h"

#include <array>
#include <exception>
#include <string>

#include "engine/basic_stats.h"
#include "engine/data_file_reader.h"
#include "engine/error_stats_calc.h"
#include "platform/int16.h"
#include "platform/number_text.h"
#include "platform/run_time_error.h"
#include "platform/visible_text.h"
#include "settings/error_reporter.h"
#include "settings/figure_format.h"

namespace quelvaris {

namespace {

// Fewer usable observed values than this and no statistic is worth computing.
constexpr int kMinUsableRows = 4;

double BoxNumber(const RunContext& ctx, RunBox box) {
  return LeadingNumber(ctx.host.BoxText(box));
}

// The boxes hold the last accepted values, but the run reads their texts afresh so that it
// never works on a value the window did not show.
void RefreshRequest(const RunContext& ctx) {
  AnalysisRequest& req = ctx.session.request;
  req.Threshold = BoxNumber(ctx, RunBox::ThreshText);
  req.LowerBound = BoxNumber(ctx, RunBox::LowerBoundText);
  req.UpperBound = BoxNumber(ctx, RunBox::UpperBoundText);
  req.ColToAnal = ToInt16(RoundHalfEven(BoxNumber(ctx, RunBox::ColToAnalText)));
  req.NoOfCols = ToInt16(RoundHalfEven(BoxNumber(ctx, RunBox::NoOfColsText)));
  req.AICBICParms = ToInt16(RoundDown(BoxNumber(ctx, RunBox::AICBICParmsText)));
  req.AICBICPoints = ToInt16(RoundDown(BoxNumber(ctx, RunBox::AICBICPointsText)));
}

std::string Count(int value) {
  return std::to_string(value);
}

std::string MissingLine(const RunCounters& counters) {
  return Count(counters.MissingCount) + " missing observed values noted.";
}

std::array<std::string, kDisplayRows> DisplayTexts(const SeriesStats& stats,
                                                   const std::string& format) {
  std::array<std::string, kDisplayRows> texts;
  texts[kDisplayMean] = FormatFigure(stats.Mean, format);
  texts[kDisplaySD] = FormatFigure(stats.SD, format);
  texts[kDisplayMin] = FormatFigure(stats.Min, format);
  texts[kDisplayMax] = FormatFigure(stats.Max, format);
  texts[kDisplayPOT] = FormatCount(stats.POT);
  texts[kDisplaySkew] = FormatFigure(stats.Skew, format);
  texts[kDisplayKur] = FormatFigure(stats.Kur, format);
  texts[kDisplayOOB] = FormatCount(stats.OOB);
  return texts;
}

void ShowFigures(const RunContext& ctx, bool analyse_all) {
  StatisticsDisplay display;
  display.observed = DisplayTexts(ctx.session.ObservedStats, ctx.settings.ResultFormat);
  if (!analyse_all) {
    display.modelled = DisplayTexts(ctx.session.CurrentModelledStats, ctx.settings.ResultFormat);
  }
  ctx.host.ShowStatistics(display);
}

// The reports trap their own failures like the statistics do, so a results file that cannot
// be written never keeps the screen report from showing.
void WriteResults(const RunContext& ctx, RunReports& reports, std::int16_t first,
                  std::int16_t last) {
  try {
    reports.WriteResultsFile(ctx, first, last);
  } catch (const std::exception& e) {
    ErrorReporter(ctx.host, ErrorNumberOf(e),
                  "Results file: " + ctx.session.request.ResultsFilePath);
    CloseFiles(ctx);
  }
}

// Runs step; a run-time error in it is reported with its own detail line and the file slot
// closed, as every trapped routine of the run does.
template <typename Step>
void Trapped(const RunContext& ctx, Step step) {
  try {
    step();
  } catch (const RunTimeError& e) {
    ErrorReporter(ctx.host, e.number(), e.detail());
    CloseFiles(ctx);
  } catch (const std::exception& e) {
    ErrorReporter(ctx.host, ErrorNumberOf(e), "");
    CloseFiles(ctx);
  }
}

void WriteScreen(const RunContext& ctx, RunReports& reports, std::int16_t first,
                 std::int16_t last) {
  Trapped(ctx, [&] { reports.WriteScreenReport(ctx, first, last); });
}

void Run(const RunContext& ctx, RunReports& reports) {
  AnalysisSession& session = ctx.session;
  const AnalysisRequest& req = session.request;
  RunCounters& counters = session.counters;

  ctx.host.CommitPendingEntry();
  RefreshRequest(ctx);

  if (req.DataFileName.empty()) {
    ShowErrorMessage(ctx.host, "You must select a file to analyse.");
    return;
  }

  // The column to analyse can exceed the number of columns when the latter was lowered
  // afterwards; the run would then compute from cells it never filled.
  const bool analyse_all = ctx.host.SwitchOn(RunSwitch::AnalyseAll);
  if (!analyse_all && req.ColToAnal > req.NoOfCols) {
    ShowErrorMessage(ctx.host,
                     "Column to analyse must be less than the total number of columns available.");
    return;
  }

  if (ReadDataFile(ctx) == ReadResult::TooLarge) return;

  const std::string insufficient = "Insufficient data to make calculations.";
  const std::string rows_processed = "Only " + Count(counters.RowCount) + " rows processed.";
  if (Sub16(counters.RowCount, counters.MissingCount) < kMinUsableRows) {
    ShowErrorMessage(ctx.host, insufficient + "\r" + rows_processed + "\r" + MissingLine(counters));
    return;
  }

  std::string summary =
      "Processed " + Count(counters.RowCount) + " rows in file.\r" + MissingLine(counters);
  if (analyse_all && !req.ResultsFileName.empty()) {
    summary += "\rAll results will be saved to " + VisibleText(req.ResultsFileName) + ".";
  }
  ctx.host.ShowMessage("Results", summary, MessageIcon::Information, MessageButtons::Ok);

  CalcObservedStats(ctx);

  if (Sub16(Sub16(counters.RowCount, counters.OutOfBoundsCount), counters.MissingCount) <
      kMinUsableRows) {
    ShowErrorMessage(ctx.host, insufficient + "\r" + rows_processed + "\r" + MissingLine(counters) +
                                   "\r" + Count(counters.OutOfBoundsCount) +
                                   " values out of range.");
    return;
  }

  const std::int16_t first = analyse_all ? std::int16_t{2} : req.ColToAnal;
  const std::int16_t last = analyse_all ? req.NoOfCols : req.ColToAnal;

  for (int c = first; c <= last; ++c) CalcModelledStats(ctx, static_cast<std::int16_t>(c));
  ShowFigures(ctx, analyse_all);
  for (int c = first; c <= last; ++c) CalcErrorStats(ctx, static_cast<std::int16_t>(c));

  if (!req.ResultsFileName.empty()) WriteResults(ctx, reports, first, last);
  WriteScreen(ctx, reports, first, last);
}

}  // namespace

void RunAnalysis(const RunContext& ctx, RunReports& reports) {
  Trapped(ctx, [&] { Run(ctx, reports); });
}

void CloseFiles(const RunContext& ctx) {
  ctx.host.SetDefaultPointer();
  ctx.session.file.Close();
}

}  // namespace quelvaris
