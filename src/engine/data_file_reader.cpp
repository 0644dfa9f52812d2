#include "engine/data_file_reader.h"

#include <string>
#include <string_view>
#include <vector>

#include "engine/column_names.h"
#include "engine/split_line.h"
#include "platform/int16.h"
#include "platform/number_text.h"
#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

constexpr std::size_t kMaxShownFieldText = 40;

// Closes the slot however the reader leaves, so a failed read never blocks the next run.
class CloseOnExit {
 public:
  explicit CloseOnExit(FileSlot& file) : file_(file) {}
  ~CloseOnExit() { file_.Close(); }
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  FileSlot& file_;
};

// File slot failures say only the error number; the user needs to know which file it was.
template <typename Operation>
auto WithPath(const std::string& path, Operation operation) {
  try {
    return operation();
  } catch (const RunTimeError& e) {
    if (!e.detail().empty()) throw;
    throw RunTimeError(e.number(), "Data file: " + path);
  }
}

std::string FieldNotANumber(int line, int column, std::string_view text) {
  std::string shown(text.substr(0, kMaxShownFieldText));
  if (text.size() > kMaxShownFieldText) shown += "...";
  return "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": \"" + shown +
         "\" is not a number.";
}

std::string TooFewFields(int line, int columns) {
  return "Line " + std::to_string(line) + " has fewer than " + std::to_string(columns) + " fields.";
}

}  // namespace

ReadResult ReadDataFile(const RunContext& ctx) {
  AnalysisSession& session = ctx.session;
  RunCounters& counters = session.counters;
  const std::string& path = session.request.DataFilePath;
  const int columns = session.request.NoOfCols;
  const double missing_code = ctx.settings.GlobalMissingCode;

  counters.RowCount = 0;
  counters.MissingCount = 0;

  for (auto& name : session.names) name.clear();

  FileSlot& file = session.file;
  WithPath(path, [&] { file.OpenForInput(path); });
  CloseOnExit closer(file);

  // The table has 30 columns; a request for more (or for none) cannot be stored.
  if (columns < 1 || columns > DataTable::kCols) throw RunTimeError(err::kSubscript);

  int line_number = 0;
  if (ctx.host.SwitchOn(RunSwitch::HeaderRow)) {
    const std::string_view header = WithPath(path, [&] { return file.ReadLine(); });
    const char delimiter = ctx.host.SwitchOn(RunSwitch::TabDelimited) ? '\t' : ',';
    TakeColumnNames(header, delimiter, columns, session.names);
    ++line_number;
  }

  std::vector<std::string_view> fields;
  fields.reserve(DataTable::kCols + 1);
  double* observed = session.table.Column(1);

  do {
    if (counters.RowCount == DataTable::kRows) {
      ShowErrorMessage(ctx.host,
                       "Your data file is too large.  It cannot have more than 10,000 rows.");
      return ReadResult::TooLarge;
    }
    std::string_view line = WithPath(path, [&] { return file.ReadLine(); });
    ++line_number;
    counters.RowCount = Inc16(counters.RowCount);
    const int row = counters.RowCount;

    const char delimiter = ctx.host.SwitchOn(RunSwitch::TabDelimited) ? '\t' : ',';
    SplitLine(line, delimiter, fields);

    // Left to right, so a failing field leaves the fields before it stored.
    for (int c = 1; c <= columns; ++c) {
      if (static_cast<std::size_t>(c) > fields.size()) {
        throw RunTimeError(err::kSubscript, TooFewFields(line_number, columns));
      }
      std::string_view text = fields[c - 1];
      std::optional<double> value = ParseNumber(text);
      if (!value) throw RunTimeError(err::kTypeMismatch, FieldNotANumber(line_number, c, text));
      session.table.Column(c)[row - 1] = *value;
    }

    if (observed[row - 1] == missing_code) counters.MissingCount = Inc16(counters.MissingCount);
  } while (!WithPath(path, [&] { return file.AtEnd(); }));

  return ReadResult::Completed;
}

}  // namespace quelvaris
