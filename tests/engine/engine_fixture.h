#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "engine/analysis_run.h"
#include "engine/analysis_session.h"
#include "engine/run_context.h"
#include "engine/run_reports.h"
#include "platform/run_time_error.h"
#include "settings/global_settings.h"
#include "support/test_support.h"

namespace quelvaris::testing {

// Records the report calls of a run; can be told to fail like a full disk would.
class RecordingReports : public RunReports {
 public:
  struct Call {
    std::string what;  // "results" or "screen"
    std::int16_t first;
    std::int16_t last;
  };

  void WriteResultsFile(const RunContext&, std::int16_t first, std::int16_t last) override;
  void WriteScreenReport(const RunContext&, std::int16_t first, std::int16_t last) override;

  std::vector<Call> calls;
  int results_error = 0;  // raise this run-time error from WriteResultsFile when not 0
  bool screen_throws_bad_alloc = false;
};

inline void RecordingReports::WriteResultsFile(const RunContext&, std::int16_t first,
                                               std::int16_t last) {
  calls.push_back({"results", first, last});
  if (results_error != 0) throw RunTimeError(results_error);
}

inline void RecordingReports::WriteScreenReport(const RunContext&, std::int16_t first,
                                                std::int16_t last) {
  calls.push_back({"screen", first, last});
  if (screen_throws_bad_alloc) throw std::bad_alloc();
}

// The general sentence of every error box.
inline const std::string kSorry =
    "Sorry - an error has occurred - please check all selections and try again.";

inline std::string ErrorBox(const std::string& specific, const std::string& detail) {
  return kSorry + "\r\n" + specific + "\r\n" + detail;
}

// A session, its settings and a windowless host, wired into one run context.
class EngineTest : public ::testing::Test {
 protected:
  // Writes the data file and names it in the request, as the file picker would.
  std::string UseDataFile(const std::string& content, const std::string& name = "data.txt") {
    std::string path = dir.Write(name, content);
    session.request.DataFilePath = path;
    session.request.DataFileName = name;
    return path;
  }

  // Puts a series into the table and sets the row count, as the reader would.
  void FillColumn(int column, const std::vector<double>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      session.table.Set(static_cast<int>(i) + 1, column, values[i]);
    }
    session.counters.RowCount = static_cast<std::int16_t>(values.size());
  }

  void Box(RunBox box, const std::string& text) { host.boxes[box] = text; }
  void Switch(RunSwitch which, bool on) { host.switches[which] = on; }
  const std::vector<ShownMessage>& Shown() const { return host.messages.shown; }
  std::vector<std::string> ErrorTexts() const { return host.messages.TextsTitled("Error Message"); }

  TempDir dir;
  AnalysisSession session;
  GlobalSettings settings;
  FakeRunHost host;
  RunContext ctx{session, settings, host};
  RecordingReports reports;
};

}  // namespace quelvaris::testing
