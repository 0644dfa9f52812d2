#include "reports/text_output.h"

#include <array>

#include "platform/number_text.h"
#include "reports/interval_figures.h"
#include "reports/machine_number.h"
#include "reports/text_table.h"
#include "reports/time_figures.h"

namespace quelvaris {

namespace {

// A header name in a table cell: a tab or line break in it would break the table apart.
std::string CellText(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

// The labels of the skill block's lines.
constexpr std::array<const char*, kSkillMeasures.size()> kSkillLabels{"NSE", "KGE", "KGE 2009",
                                                                      "KGE 2012", "RMSE"};

// "[0.64, 0.77] 0.03", with the jackknife "[0.64, 0.77] 0.03 (0.01, 0.01)"; blank when the
// resamples gave no interval.
std::string IntervalCell(const Interval& v, int decimals, bool jackknife) {
  if (!v.defined) return {};
  std::string cell = "[" + MachineNumber(v.low, false, decimals) + ", " +
                     MachineNumber(v.high, false, decimals) + "] " +
                     MachineNumber(v.se, false, decimals);
  if (jackknife && v.jackknife_defined) {
    cell += " (" + MachineNumber(v.jackknife_se_low, false, decimals) + ", " +
            MachineNumber(v.jackknife_se_high, false, decimals) + ")";
  }
  return cell;
}

}  // namespace

std::string TextOutput::Table(const std::string& text, const ColumnFigures& observed,
                              const std::vector<ColumnFigures>& models,
                              const std::vector<std::vector<SkillColumn>>* skill,
                              const std::vector<std::string>& benchmarks,
                              const BootstrapResult* bootstrap) const {
  std::string tab_text = "\t" + CellText(observed.name);
  for (const auto& model : models) tab_text += "\t" + CellText(model.name);
  const std::size_t first_line_end = text.find("\r\n");
  tab_text += first_line_end == std::string::npos ? "\r\n" : text.substr(first_line_end);

  for (std::size_t g = 0; g < setup_.model_groups.size(); ++g) {
    const FigureGroup& group = setup_.model_groups[g];
    if (group.in_results_file) continue;
    tab_text += "\r\n\r\n";
    tab_text += group.title;
    tab_text += "\r\n";
    for (std::size_t i = 0; i < group.figures.size(); ++i) {
      tab_text += "\r\n";
      tab_text += group.figures[i].label;
      tab_text += '\t';
      for (const auto& model : models) {
        tab_text += '\t';
        // An undefined figure is a blank, as in the extended figures' window: the report's
        // missing-data code would pass for a result here.
        AppendFigure(model.groups[g][i], group.figures[i].is_count, setup_.decimals, tab_text);
      }
    }
  }
  // Skill: for each benchmark its own figure (the same beside every model) and each model's
  // skill score over it.
  if (skill != nullptr && !benchmarks.empty()) {
    tab_text += "\r\n\r\nSkill\r\n";
    for (std::size_t b = 0; b < benchmarks.size(); ++b) {
      for (const bool own : {true, false}) {
        for (std::size_t k = 0; k < kSkillMeasures.size(); ++k) {
          tab_text += "\r\n";
          tab_text += kSkillLabels[k];
          tab_text += own ? " of " : " skill, ";
          tab_text += CellText(benchmarks[b]);
          tab_text += ":\t";
          for (std::size_t m = 0; m < models.size(); ++m) {
            tab_text += '\t';
            if (m >= skill->size() || b >= (*skill)[m].size()) continue;
            const SkillColumn& column = (*skill)[m][b];
            AppendFigure(own ? column.benchmark_figure[k] : column.skill[k], false, setup_.decimals,
                         tab_text);
          }
        }
      }
    }
  }
  if (bootstrap != nullptr && !models.empty()) {
    const BootstrapResult& r = *bootstrap;
    tab_text += "\r\n\r\nIntervals\r\n";
    tab_text += std::to_string(r.resamples) + " resamples of " + BlocksText(r) + ", " +
                FormatGeneral(r.confidence * 100) +
                " % percentile intervals [low, high] and the standard error, seed " +
                std::to_string(r.seed) +
                (setup_.jackknife ? "; jackknife errors of the ends" : "") + "\r\n";
    for (std::size_t g = 0; g < setup_.model_groups.size(); ++g) {
      const FigureGroup& group = setup_.model_groups[g];
      for (std::size_t i = 0; i < group.figures.size(); ++i) {
        tab_text += "\r\n";
        tab_text += group.figures[i].label;
        tab_text += '\t';
        for (const auto& model : models) {
          tab_text += '\t';
          if (g < model.intervals.size() && i < model.intervals[g].size()) {
            tab_text += IntervalCell(model.intervals[g][i], setup_.decimals, setup_.jackknife);
          }
        }
      }
    }
  }
  return AlignTable(tab_text);
}

void TextOutput::FileAt(const FileFigures& file, std::size_t /*index*/, std::string& out) const {
  if (!file.has_figures) return;
  if (setup_.several_files) {
    out += "File: ";
    out += CellText(file.file);
    out += '\n';
  }
  const TimeFigures* time = file.time.get();
  if (time == nullptr) {
    out += Table(file.results_text, file.observed, file.models, nullptr, {},
                 file.bootstrap ? &*file.bootstrap : nullptr);
  } else {
    const SpanFigures& whole = time->whole;
    out += "Evaluation period: " + whole.start + " to " + whole.end + ", " +
           std::to_string(whole.rows) + " rows\n";
    out += Table(whole.results_text, whole.observed, whole.models, &whole.skill, time->benchmarks,
                 file.bootstrap ? &*file.bootstrap : nullptr);
    for (const SpanFigures& period : time->periods) {
      out += "\nPeriod " + CellText(period.period) + ": " + period.start + " to " + period.end +
             ", " + std::to_string(period.rows) + " rows\n";
      if (!period.has_figures) {
        out += "Too few observed values: every figure is undefined.\n";
        continue;
      }
      out += Table(period.results_text, period.observed, period.models, &period.skill,
                   time->benchmarks);
    }
  }
  if (setup_.several_files) out += '\n';
}

}  // namespace quelvaris
