#include "engine/batch_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "engine/column_choice.h"
#include "engine/dialect_detection.h"
#include "engine/field_values.h"
#include "engine/range_reader.h"
#include "platform/visible_text.h"

namespace quelvaris {

namespace {

// More fields than this on the line that sets the columns is no table a model writes: most
// likely an endless line, which must not cost memory without end.
constexpr std::int64_t kMaxColumns = 100000;

// A quoted field text in a message is cut to this many characters.
constexpr std::size_t kShownFieldText = 40;

std::string_view Trimmed(std::string_view t) {
  return TrimmedField(t);
}

// A field kept whole, for the lines read before the columns are known.
struct SavedField {
  std::string text;
  bool too_long = false;
};
using SavedRecord = std::vector<SavedField>;

class Descriptor {
 public:
  explicit Descriptor(const std::string& path) {
    if (path == "-" || path == "/dev/stdin") {
      fd_ = STDIN_FILENO;
      return;
    }
    do {
      fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    owned_ = fd_ >= 0;
  }
  ~Descriptor() {
    if (owned_) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  bool owned_ = false;
};

// Rows a regular file of this size probably holds, from the length of its first lines, so
// that the columns are sized once instead of growing (and copying) as they fill.
std::int64_t EstimatedRows(int fd, std::string_view first_bytes, std::int64_t max_rows) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || first_bytes.empty()) return 0;
  const auto lines = std::count(first_bytes.begin(), first_bytes.end(), '\n') +
                     std::count(first_bytes.begin(), first_bytes.end(), '\r');
  if (lines < 2) return 0;
  const double per_line = static_cast<double>(first_bytes.size()) / static_cast<double>(lines);
  const double estimate = static_cast<double>(st.st_size) / per_line * 1.02 + 16;
  return std::min<std::int64_t>(static_cast<std::int64_t>(estimate), max_rows);
}

// Grows a column by a quarter at a time: a column in full costs at most a quarter more than
// its values while it fills.
void Append(std::vector<double>& column, double v) {
  if (column.size() == column.capacity()) column.reserve(column.capacity() / 4 * 5 + 4096);
  column.push_back(v);
}

class TableReader {
 public:
  TableReader(const std::string& path, const BatchReaderOptions& options, RowObserver* observer)
      : options_(options), shown_(VisibleText(DataFileShownName(path))), observer_(observer) {}

  ~TableReader() { StopObserver(); }

  BatchTable Read(int fd) {
    FieldScanner scanner(fd, shown_);
    const std::string_view start = scanner.Peek(std::size_t{1} << 16);
    BatchTable& t = table_;
    t.dialect = DetectDialect(start, options_.delimiter, options_.decimal_comma);
    scanner.SetDialect(t.dialect);
    values_.emplace(options_.missing_texts, options_.missing_code, t.dialect.decimal_comma);

    SavedRecord first;
    SavedRecord second;
    std::int64_t first_line = 0;
    std::int64_t second_line = 0;
    if (scanner.NextRecord()) {
      first_line = scanner.line();
      first = SaveRecord(scanner, options_.columns.value_or(kMaxColumns));
      if (!options_.columns && static_cast<std::int64_t>(first.size()) > kMaxColumns) {
        throw BatchReadError{shown_ + ": line " + std::to_string(first_line) + " has more than " +
                             std::to_string(kMaxColumns) + " fields."};
      }
      if (scanner.NextRecord()) {
        second_line = scanner.line();
        second =
            SaveRecord(scanner, options_.columns.value_or(static_cast<std::int64_t>(first.size())));
      }
    }
    if (first.empty()) throw BatchReadError{shown_ + " holds no data lines."};

    t.header = options_.header.value_or(LooksLikeHeader(first, second));
    t.columns = options_.columns.value_or(static_cast<std::int64_t>(first.size()));
    if (t.header) {
      for (std::int64_t c = 0; c < t.columns; ++c) {
        const auto at = static_cast<std::size_t>(c);
        t.names.push_back(at < first.size() ? std::string(Trimmed(first[at].text)) : "");
      }
    }
    ChooseColumns(shown_, options_, t);
    PlanColumns();

    const std::int64_t estimate = EstimatedRows(fd, start, options_.max_rows);
    t.observed.reserve(static_cast<std::size_t>(estimate));
    for (auto& m : t.models) m.reserve(static_cast<std::size_t>(estimate));
    for (auto& b : t.benchmarks) b.reserve(static_cast<std::size_t>(estimate));
    if (t.time_column != 0) {
      t.times.reserve(static_cast<std::size_t>(estimate));
      t.time_lines.reserve(static_cast<std::size_t>(estimate));
    }
    room_ = estimate;

    if (!t.header) TakeSaved(first, first_line);
    if (second_line != 0) TakeSaved(second, second_line);
    ReadRest(fd, scanner);
    StopObserver();
    return std::move(table_);
  }

 private:
  // What the reader does with a column's field.
  struct Plan {
    std::vector<std::vector<double>*> into;  // the series it belongs to (several when asked)
    bool time = false;
  };

  // The lines after the first two: a large regular file in byte ranges on threads as far as
  // they can take it, the rest (or all) one line at a time.
  void ReadRest(int fd, FieldScanner& scanner) {
    struct stat st {};
    const std::int64_t start = scanner.offset();
    if (options_.threads < 2 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size - start < options_.range_bytes) {
      // Line by line into columns that stay put while they have room: an observer is told of
      // the rows a few hundred at a time.
      constexpr std::int64_t kToldEvery = 256;
      if (observer_ != nullptr && table_.rows < room_) {
        observing_ = true;
        observer_->Start(table_);
      }
      while (scanner.NextRecord()) {
        TakeStreamed(scanner);
        if (observing_ && table_.rows % kToldEvery == 0) observer_->Rows(table_.rows);
      }
      return;
    }
    RangePlan plan;
    plan.dialect = table_.dialect;
    plan.columns = table_.columns;
    for (std::int64_t c = 0; c < last_used_; ++c) {
      plan.into.push_back(plans_[static_cast<std::size_t>(c)].into);
    }
    plan.time_column = table_.time_column;
    plan.values = &*values_;
    plan.rows_left = options_.max_rows - table_.rows;
    RangeOutcome read =
        ReadRanges(fd, start, st.st_size, scanner.next_line(), plan, options_.threads);
    table_.rows += read.rows;
    if (table_.wide_line == 0) table_.wide_line = read.wide_line;
    std::move(read.times.begin(), read.times.end(), std::back_inserter(table_.times));
    table_.time_lines.insert(table_.time_lines.end(), read.time_lines.begin(),
                             read.time_lines.end());
    if (::lseek(fd, static_cast<off_t>(read.offset), SEEK_SET) < 0) {
      throw BatchReadError{"Cannot read the data file " + shown_ + ": " + std::strerror(errno) +
                           "."};
    }
    FieldScanner rest(fd, shown_, read.line);
    rest.SetDialect(table_.dialect);
    while (rest.NextRecord()) TakeStreamed(rest);
  }

  SavedRecord SaveRecord(FieldScanner& scanner, std::int64_t keep) {
    SavedRecord r;
    Field f;
    do {
      f = scanner.NextField();
      if (static_cast<std::int64_t>(r.size()) <= keep) {
        r.push_back({std::string(f.text), f.too_long});
      }
    } while (f.end == FieldEnd::Delimiter);
    return r;
  }

  // Whether the first line names the columns: some field of it is text where the second line
  // has a number (a time or an id column is text on both), or, with one line only, any field
  // that is text.
  bool LooksLikeHeader(const SavedRecord& first, const SavedRecord& second) const {
    const auto is_value = [&](const SavedField& f) {
      const std::string_view t = Trimmed(f.text);
      return !f.too_long && (values_->NumberOf(t).has_value() || values_->IsMissing(t));
    };
    for (std::size_t c = 0; c < first.size(); ++c) {
      if (is_value(first[c])) continue;
      if (second.empty() || (c < second.size() && is_value(second[c]))) return true;
    }
    return false;
  }

  void PlanColumns() {
    BatchTable& t = table_;
    plans_.assign(static_cast<std::size_t>(t.columns), {});
    plans_[static_cast<std::size_t>(t.observed_column - 1)].into.push_back(&t.observed);
    t.models.resize(t.model_columns.size());
    for (std::size_t m = 0; m < t.model_columns.size(); ++m) {
      plans_[static_cast<std::size_t>(t.model_columns[m] - 1)].into.push_back(&t.models[m]);
    }
    t.benchmarks.resize(t.benchmark_columns.size());
    for (std::size_t b = 0; b < t.benchmark_columns.size(); ++b) {
      plans_[static_cast<std::size_t>(t.benchmark_columns[b] - 1)].into.push_back(&t.benchmarks[b]);
    }
    if (t.time_column > 0) plans_[static_cast<std::size_t>(t.time_column - 1)].time = true;
    // The columns beyond the last one used are never looked at.
    last_used_ = 0;
    for (std::size_t c = 0; c < plans_.size(); ++c) {
      if (!plans_[c].into.empty() || plans_[c].time) last_used_ = static_cast<std::int64_t>(c) + 1;
    }
  }

  [[noreturn]] void NotANumber(std::int64_t line, std::int64_t column, std::string_view text,
                               bool too_long) const {
    std::string shown = QuotedText(text.substr(0, kShownFieldText));
    if (text.size() > kShownFieldText || too_long) shown += "...";
    std::string where = "column " + std::to_string(column);
    const auto at = static_cast<std::size_t>(column - 1);
    if (at < table_.names.size() && !table_.names[at].empty()) {
      where += " (" + VisibleText(table_.names[at]) + ")";
    }
    throw BatchReadError{shown_ + ": line " + std::to_string(line) + ", " + where + ": \"" + shown +
                         "\" is not a number."};
  }

  double ValueOf(std::string_view text, bool too_long, std::int64_t line, std::int64_t column) {
    if (!too_long) {
      if (std::optional<double> v = values_->ValueOf(text)) return *v;
    }
    NotANumber(line, column, Trimmed(text), too_long);
  }

  void Take(std::int64_t column, std::string_view text, bool too_long, std::int64_t line) {
    const Plan& plan = plans_[static_cast<std::size_t>(column - 1)];
    if (plan.time) {
      table_.times.emplace_back(Trimmed(text));
      table_.time_lines.push_back(line);
    }
    if (plan.into.empty()) return;
    const double v = ValueOf(text, too_long, line, column);
    for (std::vector<double>* series : plan.into) Append(*series, v);
  }

  void StartRow(std::int64_t line) {
    if (table_.rows >= room_) StopObserver();  // a column may move from here on
    if (table_.rows >= options_.max_rows) {
      throw BatchReadError{shown_ + " has more than " + std::to_string(options_.max_rows) +
                           " data rows (line " + std::to_string(line) +
                           "); --max-rows reads more."};
    }
    ++table_.rows;
  }

  [[noreturn]] void TooFewFields(std::int64_t line, std::int64_t fields) const {
    throw BatchReadError{shown_ + ": line " + std::to_string(line) + " has " +
                         std::to_string(fields) + (fields == 1 ? " field" : " fields") +
                         ", fewer than the " + std::to_string(table_.columns) +
                         " columns of the file."};
  }

  void TakeSaved(const SavedRecord& r, std::int64_t line) {
    StartRow(line);
    const auto fields = static_cast<std::int64_t>(r.size());
    if (fields < table_.columns) TooFewFields(line, fields);
    if (fields > table_.columns && table_.wide_line == 0) table_.wide_line = line;
    for (std::int64_t c = 1; c <= last_used_; ++c) {
      const SavedField& f = r[static_cast<std::size_t>(c - 1)];
      Take(c, f.text, f.too_long, line);
    }
  }

  void TakeStreamed(FieldScanner& scanner) {
    const std::int64_t line = scanner.line();
    StartRow(line);
    std::int64_t c = 0;
    Field f;
    do {
      f = scanner.NextField();
      ++c;
      if (c <= last_used_) Take(c, f.text, f.too_long, line);
    } while (f.end == FieldEnd::Delimiter && c < table_.columns);
    if (c < table_.columns) TooFewFields(line, c);
    if (f.end == FieldEnd::Delimiter) {
      if (table_.wide_line == 0) table_.wide_line = line;
      scanner.SkipRecord();
    }
  }

  void StopObserver() {
    if (!observing_) return;
    observing_ = false;
    observer_->Stop();
  }

  const BatchReaderOptions& options_;
  std::string shown_;
  RowObserver* observer_;
  bool observing_ = false;
  std::int64_t room_ = 0;  // rows every column has room for
  std::optional<FieldValues> values_;
  BatchTable table_;
  std::vector<Plan> plans_;
  std::int64_t last_used_ = 0;
};

}  // namespace

const std::vector<std::string>& DefaultMissingTexts() {
  static const std::vector<std::string> texts = {
      "",     "#N/A",   "#N/A N/A", "#NA",  "-1.#IND", "-1.#QNAN", "-NaN",
      "-nan", "1.#IND", "1.#QNAN",  "<NA>", "N/A",     "NA",       "NULL",
      "NaN",  "None",   "n/a",      "nan",  "null"};
  return texts;
}

std::string DataFileShownName(const std::string& path) {
  return path == "-" || path == "/dev/stdin" ? "standard input" : path;
}

BatchTable ReadBatchFile(const std::string& path, const BatchReaderOptions& options,
                         RowObserver* observer) {
  Descriptor file(path);
  if (file.fd() < 0) {
    throw BatchReadError{"Cannot open the data file " + VisibleText(DataFileShownName(path)) +
                         ": " + std::strerror(errno) + "."};
  }
  try {
    TableReader reader(path, options, observer);
    BatchTable table = reader.Read(file.fd());
    for (const double v : table.observed) table.missing_observed += v == options.missing_code;
    return table;
  } catch (const ScanFailure& f) {
    throw BatchReadError{f.message};
  }
}

}  // namespace quelvaris
