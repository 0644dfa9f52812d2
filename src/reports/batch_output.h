#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "reports/machine_figures.h"

namespace quelvaris {

enum class OutputFormat { Text, Tsv, Csv, Json };

// An option of the call as the json document lists it.
struct OptionEntry {
  std::string key;
  std::variant<std::nullptr_t, bool, double, std::string> value;
};

struct OutputSetup {
  OutputFormat format = OutputFormat::Text;
  int decimals = -1;           // -1: full precision; else the report's decimals
  bool several_files = false;  // the text table names the file above each table
  std::vector<FigureGroup> observed_groups;
  std::vector<FigureGroup> model_groups;
  bool periods = false;                 // a time column: tsv/csv rows carry their period
  std::vector<std::string> benchmarks;  // skill against each, in the order given
  std::string version;                  // json: the program's version
  std::vector<OptionEntry> options;     // json: the options of the call
  std::vector<ShownBox> call_messages;  // json: boxes shown before any file (the settings file)
  bool intervals = false;  // the rows are resampled: every model figure gets its interval
  bool jackknife = false;  // and the jackknife errors of its ends
  int threads = 1;         // a file's many rows may be laid out on this many threads at once
};

// The batch command's standard output in one format: Begin before the first data file, File
// for each data file in the order given, End after the last. Each appends its text to `out`,
// which the caller writes out.
class BatchOutput {
 public:
  virtual ~BatchOutput() = default;
  virtual void Begin(std::string& out) { (void)out; }
  void File(const FileFigures& file, std::string& out) { FileAt(file, files_++, out); }
  // The text of the data file at `index` (from 0) of the call. It depends on nothing else, so
  // the files of a call may be laid out on several threads at once and written in order.
  virtual void FileAt(const FileFigures& file, std::size_t index, std::string& out) const = 0;
  // The same text as pieces appended to `pieces`, to be written one after the other: a file
  // laid out on several threads hands over each thread's text as it is rather than copying
  // megabytes once more into one. By default the one piece of FileAt.
  virtual void FilePieces(const FileFigures& file, std::size_t index,
                          std::vector<std::string>& pieces) const {
    pieces.emplace_back();
    FileAt(file, index, pieces.back());
  }
  virtual void End(std::string& out) { (void)out; }

 private:
  std::size_t files_ = 0;
};

std::unique_ptr<BatchOutput> MakeBatchOutput(const OutputSetup& setup);

}  // namespace quelvaris
