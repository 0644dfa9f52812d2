#include "reports/delimited_output.h"

#include "reports/delimited_field.h"
#include "reports/machine_number.h"
#include "reports/time_figures.h"

namespace quelvaris {

DelimitedOutput::DelimitedOutput(const OutputSetup& setup, char delimiter)
    : setup_(setup), delimiter_(delimiter) {}

void DelimitedOutput::Begin(std::string& out) {
  out += "file";
  for (const char* key : {"column", "name"}) {
    out += delimiter_;
    out += key;
  }
  if (setup_.periods) {
    for (const char* key : {"period", "period_start", "period_end"}) {
      out += delimiter_;
      out += key;
    }
  }
  for (const char* key : {"rows", "missing"}) {
    out += delimiter_;
    out += key;
  }
  for (const auto& group : setup_.observed_groups) {
    for (const auto& figure : group.figures) {
      out += delimiter_;
      out += "obs_";
      out += figure.key;
    }
  }
  for (const auto& group : setup_.model_groups) {
    for (const auto& figure : group.figures) {
      out += delimiter_;
      out += figure.key;
    }
  }
  for (const std::string& benchmark : setup_.benchmarks) {
    for (const char* kind : {"_skill_", "_bench_"}) {
      for (const SkillMeasureInfo& m : kSkillMeasures) {
        out += delimiter_;
        AppendDelimitedField(std::string(m.key) + kind + benchmark, delimiter_, out);
      }
    }
  }
  if (setup_.intervals) {
    std::vector<const char*> parts = {"_low", "_high", "_se"};
    if (setup_.jackknife) {
      parts.push_back("_jackknife_se_low");
      parts.push_back("_jackknife_se_high");
    }
    for (const auto& group : setup_.model_groups) {
      for (const auto& figure : group.figures) {
        for (const char* part : parts) {
          out += delimiter_;
          out += figure.key;
          out += part;
        }
      }
    }
  }
  out += '\n';
}

void DelimitedOutput::Figures(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
                              std::string& out) const {
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const auto& figures = groups[g].figures;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      out += delimiter_;
      AppendFigure(column.groups[g][i], figures[i].is_count, setup_.decimals, out);
    }
  }
}

void DelimitedOutput::Intervals(const ColumnFigures& column, std::string& out) const {
  const auto& groups = setup_.model_groups;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t i = 0; i < groups[g].figures.size(); ++i) {
      const bool known = g < column.intervals.size() && i < column.intervals[g].size();
      const Interval v = known ? column.intervals[g][i] : Interval{};
      for (double end : {v.low, v.high, v.se}) {
        out += delimiter_;
        AppendFigure({end, v.defined}, false, setup_.decimals, out);
      }
      if (!setup_.jackknife) continue;
      for (double error : {v.jackknife_se_low, v.jackknife_se_high}) {
        out += delimiter_;
        AppendFigure({error, v.jackknife_defined}, false, setup_.decimals, out);
      }
    }
  }
}

void DelimitedOutput::Row(const FileFigures& file, const ColumnFigures& observed,
                          const ColumnFigures& model, const SpanFigures* span,
                          const std::vector<SkillColumn>* skill, std::string& out) const {
  AppendDelimitedField(file.file, delimiter_, out);
  out += delimiter_;
  out += std::to_string(model.column);
  out += delimiter_;
  AppendDelimitedField(model.name, delimiter_, out);
  if (setup_.periods) {
    for (const auto text : {&SpanFigures::period, &SpanFigures::start, &SpanFigures::end}) {
      out += delimiter_;
      if (span != nullptr) AppendDelimitedField(span->*text, delimiter_, out);
    }
  }
  out += delimiter_;
  out += std::to_string(span != nullptr ? span->rows : file.rows);
  out += delimiter_;
  out += std::to_string(span != nullptr ? span->missing : file.missing);
  Figures(setup_.observed_groups, observed, out);
  Figures(setup_.model_groups, model, out);
  for (std::size_t b = 0; b < setup_.benchmarks.size(); ++b) {
    for (const bool own : {false, true}) {
      for (std::size_t k = 0; k < kSkillMeasures.size(); ++k) {
        out += delimiter_;
        if (skill == nullptr || b >= skill->size()) continue;
        const SkillColumn& column = (*skill)[b];
        AppendFigure(own ? column.benchmark_figure[k] : column.skill[k], false, setup_.decimals,
                     out);
      }
    }
  }
  if (setup_.intervals) Intervals(model, out);
  out += '\n';
}

void DelimitedOutput::FileAt(const FileFigures& file, std::size_t /*index*/,
                             std::string& out) const {
  if (!file.has_figures) return;
  const TimeFigures* time = setup_.periods ? file.time.get() : nullptr;
  for (std::size_t m = 0; m < file.models.size(); ++m) {
    if (time == nullptr) {
      Row(file, file.observed, file.models[m], nullptr, nullptr, out);
      continue;
    }
    const auto skill_of = [m](const SpanFigures& span) {
      return m < span.skill.size() ? &span.skill[m] : nullptr;
    };
    Row(file, time->whole.observed, time->whole.models[m], &time->whole, skill_of(time->whole),
        out);
    for (const SpanFigures& period : time->periods) {
      Row(file, period.observed, period.models[m], &period, skill_of(period), out);
    }
  }
}

}  // namespace quelvaris
