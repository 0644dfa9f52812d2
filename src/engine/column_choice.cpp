#include "engine/column_choice.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "platform/visible_text.h"

namespace quelvaris {

namespace {

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

std::optional<std::int64_t> WholeNumber(std::string_view t) {
  if (t.empty() || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return std::int64_t{-1};  // too large
  return v;
}

class Chooser {
 public:
  Chooser(const std::string& shown, BatchTable& table) : shown_(shown), t_(table) {}

  // A column by its 1-based number or, where the text is not a number, its header name.
  int Column(std::string_view wanted, const char* option) const {
    wanted = Trimmed(wanted);
    if (std::optional<std::int64_t> n = WholeNumber(wanted)) return Numbered(*n, option);
    const auto named = std::find(t_.names.begin(), t_.names.end(), wanted);
    if (named != t_.names.end()) return static_cast<int>(named - t_.names.begin()) + 1;
    if (!t_.header) {
      throw BatchReadError{shown_ + " has no header line, so " + option + " \"" +
                           VisibleText(wanted) + "\" names no column of it."};
    }
    std::string listed;
    for (const std::string& name : t_.names) {
      if (!listed.empty()) listed += ", ";
      listed += name.empty() ? "(unnamed)" : VisibleText(name);
    }
    throw BatchReadError{shown_ + " has no column named \"" + VisibleText(wanted) + "\" (" +
                         option + "); its columns are: " + listed + "."};
  }

  // A list of columns: names, numbers and ranges of numbers ("3-12"), comma-separated.
  std::vector<int> Columns(std::string_view list, const char* option) const {
    std::vector<int> out;
    while (true) {
      const std::size_t comma = list.find(',');
      const std::string_view item = Trimmed(list.substr(0, comma));
      const std::size_t dash = item.find('-');
      std::optional<std::int64_t> from;
      std::optional<std::int64_t> to;
      if (dash != std::string_view::npos && dash > 0) {
        from = WholeNumber(Trimmed(item.substr(0, dash)));
        to = WholeNumber(Trimmed(item.substr(dash + 1)));
      }
      if (from && to && std::find(t_.names.begin(), t_.names.end(), item) == t_.names.end()) {
        const int first = Numbered(*from, option);
        const int last = Numbered(*to, option);
        if (first > last) {
          throw BatchReadError{"The range " + VisibleText(item) + " of " + option +
                               " runs backwards."};
        }
        for (int c = first; c <= last; ++c) out.push_back(c);
      } else {
        out.push_back(Column(item, option));
      }
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
    return out;
  }

 private:
  int Numbered(std::int64_t n, const char* option) const {
    if (n < 1 || n > t_.columns) {
      throw BatchReadError{shown_ + " has " + std::to_string(t_.columns) +
                           (t_.columns == 1 ? " column" : " columns") + "; " + option + " " +
                           (n < 0 ? std::string("(a number too large)") : std::to_string(n)) +
                           " is not one of them."};
    }
    return static_cast<int>(n);
  }

  const std::string& shown_;
  BatchTable& t_;
};

}  // namespace

void ChooseColumns(const std::string& shown, const BatchReaderOptions& options, BatchTable& t) {
  const Chooser chooser(shown, t);
  // R's write.csv leaves the row names' heading empty, pandas' to_csv calls its index
  // "Unnamed: 0" once read back and written again: such a column holds no series.
  t.index_column =
      t.header && !t.names.empty() && (t.names.front().empty() || t.names.front() == "Unnamed: 0");
  if (options.time) t.time_column = chooser.Column(*options.time, "--time");
  for (const std::string& b : options.benchmarks) {
    t.benchmark_columns.push_back(chooser.Column(b, "--benchmark"));
    if (t.benchmark_columns.back() == t.time_column) {
      throw BatchReadError{"The time column of " + shown + " cannot be a benchmark."};
    }
  }
  const auto spare = [&](int c) {
    return c != t.time_column && !(c == 1 && t.index_column) && c != t.observed_column &&
           std::find(t.benchmark_columns.begin(), t.benchmark_columns.end(), c) ==
               t.benchmark_columns.end();
  };
  if (options.observed) {
    t.observed_column = chooser.Column(*options.observed, "--observed");
    if (t.observed_column == t.time_column) {
      throw BatchReadError{"The time column of " + shown + " cannot be the observed series."};
    }
  } else {
    for (int c = 1; c <= t.columns && t.observed_column == 0; ++c) {
      if (spare(c)) t.observed_column = c;
    }
    if (t.observed_column == 0) throw BatchReadError{shown + " has no column of observed values."};
  }
  if (options.models) {
    t.model_columns = chooser.Columns(*options.models, "--models");
    for (int c : t.model_columns) {
      if (c == t.time_column) {
        throw BatchReadError{"The time column of " + shown + " cannot be a model."};
      }
    }
  } else {
    for (int c = 1; c <= t.columns; ++c) {
      if (spare(c)) t.model_columns.push_back(c);
    }
  }
  if (t.model_columns.empty()) {
    throw BatchReadError{shown + " has no model column beside its observed series (column " +
                         std::to_string(t.observed_column) + ")."};
  }
}

}  // namespace quelvaris
