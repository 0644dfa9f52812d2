#include "reports/results_file.h"

#include <sys/stat.h>

#include "platform/run_time_error.h"
#include "reports/report_rows.h"
#include "settings/figure_format.h"

namespace quelvaris {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The same file under any name: the path itself, a link to it or a second hard link.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::string Figure(double value, bool is_count, const std::string& pattern) {
  return is_count ? FormatCount(value) : FormatFigure(value, pattern);
}

}  // namespace

std::string BuildResultsText(const SeriesStats& observed, const std::vector<ResultsColumn>& models,
                             const std::string& pattern, bool calc_aicbic) {
  std::string out;
  out.reserve(64 + 44 * 12 * (models.size() + 1));

  out += "\tObs";
  for (const ResultsColumn& m : models) out += "\t" + report_rows::ModelHeading(m.column);
  out += kLineEnd;

  out += "Basic Statistics";
  out += kLineEnd;
  out += kLineEnd;
  for (const auto& row : report_rows::kBasicStatRows) {
    out += row.file_label;
    out += '\t';
    out += Figure(row.observed(observed), row.is_count, pattern);
    for (const ResultsColumn& m : models) {
      out += '\t';
      out += Figure(m.modelled->*row.modelled, row.is_count, pattern);
    }
    out += kLineEnd;
  }

  const std::size_t written = calc_aicbic ? kErrorStatFields.size() : kErrorStatFields.size() - 2;
  for (std::size_t i = 0; i < written; ++i) {
    if (i == 0 || i == kMainErrorStatCount) {
      out += kLineEnd;
      out += i == 0 ? "Main Error Statistics" : "Other Error Statistics";
      out += kLineEnd;
      out += kLineEnd;
    }
    const ErrorStatField& f = kErrorStatFields[i];
    out += f.label;
    out += '\t';  // the observed field stays empty on error lines
    for (const ResultsColumn& m : models) {
      out += '\t';
      out += Figure(m.errors->*f.field, f.is_count, pattern);
    }
    if (i + 1 < written) out += kLineEnd;
  }
  return out;
}

std::string BuildResultsFile(const AnalysisSession& session, const GlobalSettings& settings,
                             std::int16_t first, std::int16_t last, bool calc_aicbic) {
  report_rows::CheckColumnRange(first, last);
  std::vector<ResultsColumn> models;
  for (int c = first; c <= last; ++c) {
    const auto at = static_cast<std::size_t>(c);
    models.push_back({c, &session.ModelledStats[at], &session.Errors[at]});
  }
  return BuildResultsText(session.ObservedStats, models, settings.ResultFormat, calc_aicbic);
}

void WriteResultsFile(FileSlot& slot, const std::string& path, const std::string& text) {
  slot.OpenForOutput(path);
  try {
    slot.Write(text);
    slot.CommitOutput();
  } catch (...) {
    slot.Close();  // drops the temporary file; the target keeps its earlier content
    throw;
  }
  slot.Close();
}

void WriteResultsBeside(FileSlot& slot, const std::string& results_path,
                        const std::string& data_path, const std::string& text) {
  // Figures written over the data file would destroy the observations they came from: the data
  // file is in use by the run, so it is refused as the results file is refused when it is busy.
  if (SameFile(results_path, data_path)) throw RunTimeError(err::kPermissionDenied);
  WriteResultsFile(slot, results_path, text);
}

void WriteRunResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) {
  const AnalysisRequest& req = ctx.session.request;
  const bool calc_aicbic = ctx.host.SwitchOn(RunSwitch::CalcAICBIC);
  const std::string text = BuildResultsFile(ctx.session, ctx.settings, first, last, calc_aicbic);
  WriteResultsBeside(ctx.session.file, req.ResultsFilePath, req.DataFilePath, text);
}

}  // namespace quelvaris
