#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "engine/run_host.h"
#include "reports/machine_figures.h"

namespace quelvaris::cli {

// The batch command's run host: the boxes and switches come from the command line, message
// boxes go to standard error as their title, ": " and their text, one line of the box per line
// (and are kept for the json document), and there is no window to
// show figures in or pointer to reset.
class CliHost : public RunHost {
 public:
  CliHost(RunInputs inputs, std::FILE* err, bool quiet);

  void CommitPendingEntry() override {}
  std::string BoxText(RunBox box) const override;
  bool SwitchOn(RunSwitch which) const override;
  void ShowStatistics(const StatisticsDisplay&) override {}
  void SetDefaultPointer() override {}
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;

  // The inputs may be filled in after construction (settings are loaded before the options
  // are checked, and their boxes already need a host).
  void SetInputs(RunInputs inputs) { inputs_ = std::move(inputs); }
  int error_boxes() const { return error_boxes_; }

  // A host with the same inputs and quietness whose boxes go to `err`, none shown yet: each
  // data file scored at the same time as others gets its own.
  CliHost Fork(std::FILE* err) const { return CliHost(inputs_, err, quiet_); }

  // Starts the boxes of one data file: they are kept apart from the earlier ones, and when
  // `heading` is not empty it is written on its own line before the first box that shows, so
  // that with several data files each message says which file it is about.
  void BeginFile(std::string heading);
  // The boxes shown since the last BeginFile (or since the start), taken out.
  std::vector<ShownBox> TakeBoxes();

 private:
  RunInputs inputs_;
  std::FILE* err_;
  bool quiet_;
  int error_boxes_ = 0;
  std::string heading_;
  std::vector<ShownBox> boxes_;
};

}  // namespace quelvaris::cli
