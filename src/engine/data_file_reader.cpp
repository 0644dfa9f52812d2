#include "engine/data_file_reader.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "engine/column_names.h"
#include "engine/split_line.h"
#include "platform/int16.h"
#include "platform/number_text.h"
#include "platform/run_time_error.h"
#include "platform/visible_text.h"

namespace quelvaris {

namespace {

constexpr std::size_t kMaxShownFieldText = 40;

// No number needs a longer text: the exact decimal text of any double has fewer than 1,100
// characters. A longer field is not a number, and no more of a line is kept than this for each
// column the row needs, whatever the file holds.
constexpr std::size_t kMaxFieldText = 4096;

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

// The text is cut before its control characters are escaped, so an escape is never cut in half.
std::string FieldNotANumber(int line, int column, std::string_view text) {
  std::string shown = QuotedText(text.substr(0, kMaxShownFieldText));
  if (text.size() > kMaxShownFieldText) shown += "...";
  return "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": \"" + shown +
         "\" is not a number.";
}

// Text files never hold a NUL byte; a file that does is a binary file picked by mistake.
bool HoldsNul(std::string_view text) {
  return text.find('\0') != std::string_view::npos;
}

std::string BinaryData(int line) {
  return "Line " + std::to_string(line) + " holds a NUL byte: the file is binary, not text.";
}

std::string TooFewFields(int line, int columns) {
  return "Line " + std::to_string(line) + " has fewer than " + std::to_string(columns) + " fields.";
}

}  // namespace

ReadResult ReadDataFile(const RunContext& ctx) {
  AnalysisSession& session = ctx.session;
  RunCounters& counters = session.counters;
  const std::string& path = session.request.DataFilePath;
  const std::string& shown =
      session.request.DataFileShown.empty() ? path : session.request.DataFileShown;
  const int columns = session.request.NoOfCols;
  const double missing_code = ctx.settings.GlobalMissingCode;

  counters.RowCount = 0;
  counters.MissingCount = 0;

  for (auto& name : session.names) name.clear();

  FileSlot& file = session.file;
  WithPath(shown, [&] { file.OpenForInput(path); });
  CloseOnExit closer(file);

  // The table has 30 columns; a request for more (or for none) cannot be stored.
  if (columns < 1 || columns > DataTable::kCols) throw RunTimeError(err::kSubscript);

  // A field within the first `columns` that is no longer than kMaxFieldText takes at most one
  // more character with its delimiter, so the fields the row needs always lie in this much of
  // the line; a field cut off at its end is longer than any number, cut or not.
  const std::size_t keep = static_cast<std::size_t>(columns) * (kMaxFieldText + 1);

  int line_number = 0;
  if (ctx.host.SwitchOn(RunSwitch::HeaderRow)) {
    // Kept for its column names, but a binary file shows itself here first (and /dev/zero's
    // first line never ends).
    const std::string_view header = WithPath(shown, [&] { return file.ReadLine(keep); });
    ++line_number;
    if (HoldsNul(header)) throw RunTimeError(err::kTypeMismatch, BinaryData(line_number));
    const char delimiter = ctx.host.SwitchOn(RunSwitch::TabDelimited) ? '\t' : ',';
    TakeColumnNames(header, delimiter, columns, session.names);
  }

  // The fields the row needs, and no more.
  std::array<std::string_view, DataTable::kCols> fields;
  const std::span<std::string_view> wanted(fields.data(), static_cast<std::size_t>(columns));
  double* observed = session.table.Column(1);

  do {
    if (counters.RowCount == DataTable::kRows) {
      ShowErrorMessage(ctx.host,
                       "Your data file is too large.  It cannot have more than 10,000 rows.");
      return ReadResult::TooLarge;
    }
    std::string_view line = WithPath(shown, [&] { return file.ReadLine(keep); });
    ++line_number;
    counters.RowCount = Inc16(counters.RowCount);
    const int row = counters.RowCount;

    const char delimiter = ctx.host.SwitchOn(RunSwitch::TabDelimited) ? '\t' : ',';
    const std::size_t found = SplitLine(line, delimiter, wanted);

    // Left to right, so a failing field leaves the fields before it stored.
    for (int c = 1; c <= columns; ++c) {
      if (static_cast<std::size_t>(c) > found) {
        throw RunTimeError(err::kSubscript, TooFewFields(line_number, columns));
      }
      const std::string_view field = fields[c - 1];
      const std::optional<double> value =
          field.size() > kMaxFieldText ? std::nullopt : ParseNumber(field);
      if (!value) {
        // Shown and judged by no more of it than a number could need.
        const std::string_view text = field.substr(0, kMaxFieldText + 1);
        if (HoldsNul(text)) throw RunTimeError(err::kTypeMismatch, BinaryData(line_number));
        throw RunTimeError(err::kTypeMismatch, FieldNotANumber(line_number, c, text));
      }
      session.table.Column(c)[row - 1] = *value;
    }

    if (observed[row - 1] == missing_code) counters.MissingCount = Inc16(counters.MissingCount);
  } while (!WithPath(shown, [&] { return file.AtEnd(); }));

  return ReadResult::Completed;
}

}  // namespace quelvaris
