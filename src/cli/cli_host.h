#pragma once

#include <cstdio>

#include "cli/cli_options.h"
#include "engine/run_host.h"

namespace quelvaris::cli {

// The batch command's run host: the boxes and switches come from the command line, message
// boxes go to standard error, and there is no window to show figures in or pointer to reset.
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

 private:
  RunInputs inputs_;
  std::FILE* err_;
  bool quiet_;
  int error_boxes_ = 0;
};

// A message box as a line of text: title, ": ", the text with each CRLF or lone CR turned
// into a newline, and a final newline.
std::string MessageAsText(const std::string& title, const std::string& text);

}  // namespace quelvaris::cli
