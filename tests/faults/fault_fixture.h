#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/analysis_run.h"
#include "engine/analysis_session.h"
#include "engine/run_context.h"
#include "engine/run_reports.h"
#include "reports/results_file.h"
#include "reports/screen_report.h"
#include "settings/global_settings.h"
#include "support/test_support.h"

namespace quelvaris::testing {

// The reports of the desktop program without its windows: the real results file, and the
// screen report's lines kept instead of drawn.
class CapturingReports : public RunReports {
 public:
  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
    WriteRunResultsFile(ctx, first, last);
  }
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
    const bool aicbic = ctx.host.SwitchOn(RunSwitch::CalcAICBIC);
    for (auto& line : BuildScreenReport(ctx.session, ctx.settings, first, last, aicbic)) {
      lines.push_back(line.text);
    }
  }
  std::vector<std::string> lines;
};

// A figure text that spells an infinity or a NaN ("inf", "nan", "-nan", any case).
bool SpellsNonFinite(const std::string& text);

// Runs body in a child process and returns its exit status, or -1 when it did not end within
// the given seconds (the child and every program it started are then killed): a hang fails the
// test instead of stalling it.
int ExitStatusWithin(int seconds, const std::function<int()>& body);

// `name` under /proc and under /sys, each only where that folder is the kernel's own file
// system (a bare root, such as a build chroot, may leave them plain folders that anyone can
// write): places where no file can be made, whoever runs the test.
std::vector<std::string> KernelPaths(const std::string& name);

inline bool RunningAsRoot() {
  return ::geteuid() == 0;
}

// One session, its settings and a windowless host, run as the main window runs them. Every
// figure the runs of a test produced (report lines, display boxes, results files read back) is
// checked for inf and nan when the test ends, so each fault case is also an overflow check.
class FaultRun : public ::testing::Test {
 protected:
  FaultRun();
  void TearDown() override;

  // Names the data file in the request, as the file picker would.
  void ChooseDataFile(const std::string& path);
  std::string WriteDataFile(const std::string& content, const std::string& name = "data.txt");
  void ChooseResultsFile(const std::string& path);

  // One Calculate; the results file, when it was written, joins the scanned figures.
  void Run();

  void Box(RunBox box, const std::string& text) { host.boxes[box] = text; }
  void Switch(RunSwitch which, bool on) { host.switches[which] = on; }
  std::vector<std::string> ErrorTexts() const { return host.messages.TextsTitled("Error Message"); }
  // The specific line of the only error box of the run (empty when there was none or several).
  std::string OnlyErrorLine() const;
  std::string OnlyErrorDetail() const;

  TempDir dir;
  AnalysisSession session;
  GlobalSettings settings;
  FakeRunHost host;
  CapturingReports reports;
  std::vector<std::string> results_files;  // contents read back after each run that wrote one
};

// The general sentence of every error box.
inline const std::string kSorry =
    "Sorry - an error has occurred - please check all selections and try again.";

}  // namespace quelvaris::testing
