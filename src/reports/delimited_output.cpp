#include "reports/delimited_output.h"

#include <algorithm>

#include "platform/strided_threads.h"
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
  // Each group's fields go through a pointer into room made for all of them at once: a table
  // of periods writes hundreds of thousands of fields, and a check of the room and a copy for
  // each would cost a good part of what its number's text does.
  // What the loop reads is held here: a write through `at` could otherwise be taken to change it.
  constexpr std::size_t kField = 1 + kFigureRoom;
  const char delimiter = delimiter_;
  const int decimals = setup_.decimals;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const auto& figures = groups[g].figures;
    const FigureSpan values = column.groups[g];
    std::size_t end = out.size();
    out.resize(end + figures.size() * kField);
    char* at = out.data() + end;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      *at++ = delimiter;
      const FigureValue value = values[i];
      if (char* written = WriteFigure(value, figures[i].is_count, decimals, at)) {
        at = written;
        continue;
      }
      // A text of the report's decimals may be longer than the room: appended, with room made
      // again for the fields after it.
      out.resize(static_cast<std::size_t>(at - out.data()));
      AppendFigure(value, figures[i].is_count, decimals, out);
      end = out.size();
      out.resize(end + (figures.size() - i - 1) * kField);
      at = out.data() + end;
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
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

std::string DelimitedOutput::SpanText(const FileFigures& file, const ColumnFigures& observed,
                                      const SpanFigures* span) const {
  std::string out;
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
  return out;
}

void DelimitedOutput::Row(const std::string& model_text, const std::string& span_text,
                          const ColumnFigures& model, const std::vector<SkillColumn>* skill,
                          std::string& out) const {
  out += model_text;
  out += span_text;
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

void DelimitedOutput::ModelRows(const FileFigures& file, const std::vector<std::string>& spans,
                                std::size_t m, std::string& out) const {
  std::string model_text;
  AppendDelimitedField(file.file, delimiter_, model_text);
  model_text += delimiter_;
  model_text += std::to_string(file.models[m].column);
  model_text += delimiter_;
  AppendDelimitedField(file.models[m].name, delimiter_, model_text);
  const TimeFigures* time = setup_.periods ? file.time.get() : nullptr;
  if (time == nullptr) {
    Row(model_text, spans.front(), file.models[m], nullptr, out);
    return;
  }
  const auto skill_of = [m](const SpanFigures& span) {
    return m < span.skill.size() ? &span.skill[m] : nullptr;
  };
  const bool fresh = out.empty();
  Row(model_text, spans.front(), time->whole.models[m], skill_of(time->whole), out);
  // A model's rows are about as long as each other: a text of its own gets room for all of
  // them at once rather than growing again and again.
  if (fresh) out.reserve(out.size() * spans.size() * 9 / 8);
  for (std::size_t p = 0; p < time->periods.size(); ++p) {
    const SpanFigures& period = time->periods[p];
    Row(model_text, spans[p + 1], period.models[m], skill_of(period), out);
  }
}

void DelimitedOutput::FileAt(const FileFigures& file, std::size_t index, std::string& out) const {
  std::vector<std::string> pieces;
  FilePieces(file, index, pieces);
  if (pieces.size() == 1 && out.empty()) {
    out.swap(pieces.front());
    return;
  }
  std::size_t length = out.size();
  for (const std::string& piece : pieces) length += piece.size();
  out.reserve(length);
  for (const std::string& piece : pieces) out += piece;
}

void DelimitedOutput::FilePieces(const FileFigures& file, std::size_t /*index*/,
                                 std::vector<std::string>& pieces) const {
  if (!file.has_figures) return;
  const TimeFigures* time = setup_.periods ? file.time.get() : nullptr;
  // What a row shares with the rows of the other models over the same span (the span, its rows
  // and the observed figures) is laid out once: with many periods the rows are most of the
  // output.
  std::vector<std::string> spans;
  if (time == nullptr) {
    spans.push_back(SpanText(file, file.observed, nullptr));
  } else {
    spans.reserve(time->periods.size() + 1);
    spans.push_back(SpanText(file, time->whole.observed, &time->whole));
    for (const SpanFigures& period : time->periods) {
      spans.push_back(SpanText(file, period.observed, &period));
    }
  }
  const std::size_t models = file.models.size();
  // Each model's rows are laid out on their own, so many of them can go to several threads,
  // each model's text landing in its own place and written in order.
  constexpr std::size_t kRowsForThreads = 1000;
  const std::size_t workers =
      models * spans.size() < kRowsForThreads
          ? 1
          : std::min<std::size_t>(models, static_cast<std::size_t>(std::max(setup_.threads, 1)));
  if (workers == 1) {
    std::string& out = pieces.emplace_back();
    for (std::size_t m = 0; m < models; ++m) {
      ModelRows(file, spans, m, out);
      // The models' rows are about as long as each other: room for all of them at once rather
      // than growing the text again and again.
      if (m == 0) out.reserve(out.size() * models * 9 / 8);
    }
    return;
  }
  const std::size_t first = pieces.size();
  pieces.resize(first + models);
  ForEachStrided(models, workers,
                 [&](std::size_t m) { ModelRows(file, spans, m, pieces[first + m]); });
}

}  // namespace quelvaris
