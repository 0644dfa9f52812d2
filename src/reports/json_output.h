#pragma once

#include <string>
#include <string_view>

#include "reports/batch_output.h"

namespace quelvaris {

struct TimeFigures;
struct SkillColumn;

// One json document for the whole call:
//   {"version", "options": {...}, "messages": [...], "files": [{"file", "rows", "missing",
//    "messages": [{"title", "text", "error"}], "observed": {"column", "name", group...},
//    "models": [{"column", "name", group...}]}]}
// with one object per figure group ("basic", "errors") holding its figures by key. An
// undefined figure is null; so are the counts and the observed series of a file whose run
// stopped before its reports. Each file's record is one line of its own. With a time column
// the file also has "evaluation": {"start", "end", "rows", "missing"} (its evaluation period),
// the observed series and each model a "periods" array of {"period", "start", "end", "rows",
// "missing", group...}, and each model a "skill" object holding for each benchmark by name
// {"nse", "kge", "kge2009", "kge2012", "rmse", "benchmark": {the benchmark's own figures}}.
// When the rows were resampled, each file has "bootstrap": {"resamples", "confidence", "block"
// (rows, or "year"), "blocks", "seed"} and each model "intervals": {figure key: {"low", "high",
// "se", "defined_share"} and with the jackknife "jackknife_se_low", "jackknife_se_high"}, an
// undefined end or error null.
class JsonOutput : public BatchOutput {
 public:
  explicit JsonOutput(const OutputSetup& setup) : setup_(setup) {}

  void Begin(std::string& out) override;
  void FileAt(const FileFigures& file, std::size_t index, std::string& out) const override;
  void End(std::string& out) override;

 private:
  void Column(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
              std::string& out) const;
  void Groups(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
              std::string& out) const;
  // A time-aware run's "periods" of the observed series (model < 0) or of a model, and its
  // "skill", each after a comma.
  void Periods(const TimeFigures& time, long model, std::string& out) const;
  void Skill(const std::vector<SkillColumn>& skill, std::string& out) const;
  void Intervals(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
                 std::string& out) const;

  const OutputSetup& setup_;
};

// Appends text as a json string. Control characters are escaped; bytes that are no UTF-8
// (a file name in another encoding) become U+FFFD, so the document is always valid.
void AppendJsonString(std::string_view text, std::string& out);

}  // namespace quelvaris
