#include "reports/json_output.h"

#include <cstdio>

#include "platform/number_text.h"
#include "reports/machine_number.h"
#include "reports/time_figures.h"

namespace quelvaris {

namespace {

// The length of the well-formed UTF-8 sequence at the start of s, 0 when there is none.
std::size_t Utf8Length(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b = byte(0);
  std::size_t n;
  unsigned min;
  unsigned cp;
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) {
    n = 2, min = 0x80, cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    n = 3, min = 0x800, cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    n = 4, min = 0x10000, cp = b & 0x07;
  } else {
    return 0;
  }
  if (s.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i) & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond Unicode are no UTF-8.
  if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return n;
}

void Key(std::string_view key, std::string& out) {
  out += '"';
  out += key;
  out += "\":";
}

void Messages(const std::vector<ShownBox>& boxes, std::string& out) {
  out += '[';
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (i > 0) out += ',';
    out += '{';
    Key("title", out);
    AppendJsonString(boxes[i].title, out);
    out += ',';
    Key("text", out);
    AppendJsonString(boxes[i].text, out);
    out += ',';
    Key("error", out);
    out += boxes[i].error ? "true" : "false";
    out += '}';
  }
  out += ']';
}

}  // namespace

void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else if (u >= 0x80) {
      const std::size_t n = Utf8Length(text.substr(i));
      if (n == 0) {
        out += "\xEF\xBF\xBD";  // U+FFFD
        ++i;
        continue;
      }
      out.append(text.substr(i, n));
      i += n;
      continue;
    } else {
      out += c;
    }
    ++i;
  }
  out += '"';
}

void JsonOutput::Begin(std::string& out) {
  out += '{';
  Key("version", out);
  AppendJsonString(setup_.version, out);
  out += ',';
  Key("options", out);
  out += '{';
  for (std::size_t i = 0; i < setup_.options.size(); ++i) {
    const OptionEntry& o = setup_.options[i];
    if (i > 0) out += ',';
    AppendJsonString(o.key, out);
    out += ':';
    if (const auto* b = std::get_if<bool>(&o.value)) {
      out += *b ? "true" : "false";
    } else if (const auto* d = std::get_if<double>(&o.value)) {
      if (!AppendFigure({*d, true}, false, -1, out)) out += "null";
    } else if (const auto* s = std::get_if<std::string>(&o.value)) {
      AppendJsonString(*s, out);
    } else {
      out += "null";
    }
  }
  out += "},";
  Key("messages", out);
  Messages(setup_.call_messages, out);
  out += ',';
  Key("files", out);
  out += "[\n";
}

void JsonOutput::Groups(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
                        std::string& out) const {
  for (std::size_t g = 0; g < groups.size(); ++g) {
    out += ',';
    Key(groups[g].key, out);
    out += '{';
    const auto& figures = groups[g].figures;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      if (i > 0) out += ',';
      Key(figures[i].key, out);
      if (!AppendFigure(column.groups[g][i], figures[i].is_count, setup_.decimals, out)) {
        out += "null";
      }
    }
    out += '}';
  }
}

void JsonOutput::Intervals(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
                           std::string& out) const {
  out += ',';
  Key("intervals", out);
  out += '{';
  bool first = true;
  const auto number = [&](double value, bool defined) {
    if (!AppendFigure({value, defined}, false, setup_.decimals, out)) out += "null";
  };
  for (std::size_t g = 0; g < groups.size() && g < column.intervals.size(); ++g) {
    const auto& figures = groups[g].figures;
    for (std::size_t i = 0; i < figures.size() && i < column.intervals[g].size(); ++i) {
      const Interval& v = column.intervals[g][i];
      if (!first) out += ',';
      first = false;
      Key(figures[i].key, out);
      out += '{';
      Key("low", out);
      number(v.low, v.defined);
      out += ',';
      Key("high", out);
      number(v.high, v.defined);
      out += ',';
      Key("se", out);
      number(v.se, v.defined);
      out += ',';
      Key("defined_share", out);
      out += MachineNumber(v.defined_share, false, -1);
      if (setup_.jackknife) {
        out += ',';
        Key("jackknife_se_low", out);
        number(v.jackknife_se_low, v.jackknife_defined);
        out += ',';
        Key("jackknife_se_high", out);
        number(v.jackknife_se_high, v.jackknife_defined);
      }
      out += '}';
    }
  }
  out += '}';
}

void JsonOutput::Column(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
                        std::string& out) const {
  out += '{';
  Key("column", out);
  out += std::to_string(column.column);
  out += ',';
  Key("name", out);
  AppendJsonString(column.name, out);
  Groups(groups, column, out);
  if (!column.intervals.empty()) Intervals(groups, column, out);
  out += '}';
}

namespace {

void SpanHead(const SpanFigures& span, std::string& out) {
  Key("start", out);
  AppendJsonString(span.start, out);
  out += ',';
  Key("end", out);
  AppendJsonString(span.end, out);
  out += ',';
  Key("rows", out);
  out += std::to_string(span.rows);
  out += ',';
  Key("missing", out);
  out += std::to_string(span.missing);
}

}  // namespace

void JsonOutput::Periods(const TimeFigures& time, long model, std::string& out) const {
  out += ',';
  Key("periods", out);
  out += '[';
  for (std::size_t p = 0; p < time.periods.size(); ++p) {
    const SpanFigures& span = time.periods[p];
    if (p > 0) out += ',';
    out += '{';
    Key("period", out);
    AppendJsonString(span.period, out);
    out += ',';
    SpanHead(span, out);
    if (model < 0) {
      Groups(setup_.observed_groups, span.observed, out);
    } else {
      Groups(setup_.model_groups, span.models[static_cast<std::size_t>(model)], out);
    }
    out += '}';
  }
  out += ']';
}

void JsonOutput::Skill(const std::vector<SkillColumn>& skill, std::string& out) const {
  out += ',';
  Key("skill", out);
  out += '{';
  for (std::size_t b = 0; b < skill.size(); ++b) {
    if (b > 0) out += ',';
    AppendJsonString(skill[b].benchmark, out);
    out += ":{";
    for (const bool own : {false, true}) {
      if (own) {
        out += ',';
        Key("benchmark", out);
        out += '{';
      }
      for (std::size_t k = 0; k < kSkillMeasures.size(); ++k) {
        if (k > 0) out += ',';
        Key(kSkillMeasures[k].key, out);
        const FigureValue& v = own ? skill[b].benchmark_figure[k] : skill[b].skill[k];
        if (!AppendFigure(v, false, setup_.decimals, out)) out += "null";
      }
      if (own) out += '}';
    }
    out += '}';
  }
  out += '}';
}

void JsonOutput::FileAt(const FileFigures& file, std::size_t index, std::string& out) const {
  if (index > 0) out += ",\n";
  out += '{';
  Key("file", out);
  AppendJsonString(file.file, out);
  out += ',';
  Key("rows", out);
  out += file.has_figures ? std::to_string(file.rows) : "null";
  out += ',';
  Key("missing", out);
  out += file.has_figures ? std::to_string(file.missing) : "null";
  out += ',';
  Key("messages", out);
  Messages(file.messages, out);
  if (file.bootstrap) {
    const BootstrapResult& b = *file.bootstrap;
    out += ',';
    Key("bootstrap", out);
    out += '{';
    Key("resamples", out);
    out += std::to_string(b.resamples);
    out += ',';
    Key("confidence", out);
    out += MachineNumber(b.confidence, false, -1);
    out += ',';
    Key("block", out);
    out += b.block_length > 0 ? std::to_string(b.block_length) : "\"year\"";
    out += ',';
    Key("blocks", out);
    out += std::to_string(b.blocks);
    out += ',';
    Key("seed", out);
    out += std::to_string(b.seed);
    out += '}';
  }
  out += ',';
  const TimeFigures* time = file.has_figures ? file.time.get() : nullptr;
  if (time != nullptr) {
    Key("evaluation", out);
    out += '{';
    SpanHead(time->whole, out);
    out += "},";
  }
  Key("observed", out);
  if (time != nullptr) {
    const ColumnFigures& observed = time->whole.observed;
    out += '{';
    Key("column", out);
    out += std::to_string(observed.column);
    out += ',';
    Key("name", out);
    AppendJsonString(observed.name, out);
    Groups(setup_.observed_groups, observed, out);
    Periods(*time, -1, out);
    out += '}';
  } else if (file.has_figures) {
    Column(setup_.observed_groups, file.observed, out);
  } else {
    out += "null";
  }
  out += ',';
  Key("models", out);
  out += '[';
  if (file.has_figures) {
    for (std::size_t i = 0; i < file.models.size(); ++i) {
      if (i > 0) out += ',';
      if (time == nullptr) {
        Column(setup_.model_groups, file.models[i], out);
        continue;
      }
      const ColumnFigures& model = time->whole.models[i];
      out += '{';
      Key("column", out);
      out += std::to_string(model.column);
      out += ',';
      Key("name", out);
      AppendJsonString(model.name, out);
      Groups(setup_.model_groups, model, out);
      if (!model.intervals.empty()) Intervals(setup_.model_groups, model, out);
      Periods(*time, static_cast<long>(i), out);
      if (!time->benchmarks.empty()) Skill(time->whole.skill[i], out);
      out += '}';
    }
  }
  out += "]}";
}

void JsonOutput::End(std::string& out) {
  out += "\n]}\n";
}

}  // namespace quelvaris
