#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/run_host.h"
#include "platform/message_sink.h"

namespace quelvaris::testing {

// One message box as it was shown.
struct ShownMessage {
  std::string title;
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
};

// Records every box and answers from a script (Ok, or Yes for a Yes/No box, when the script
// is empty).
class RecordingSink : public MessageSink {
 public:
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;

  std::vector<ShownMessage> shown;
  std::deque<MessageAnswer> answers;

  // The texts of the boxes with the given title, in order.
  std::vector<std::string> TextsTitled(const std::string& title) const;
};

// A run host without windows: box texts and switches are plain fields a test sets.
// Its message boxes go to `messages`.
class FakeRunHost : public RunHost {
 public:
  FakeRunHost();

  void CommitPendingEntry() override { ++commits; }
  std::string BoxText(RunBox box) const override;
  bool SwitchOn(RunSwitch which) const override;
  void ShowStatistics(const StatisticsDisplay& display) override;
  void SetDefaultPointer() override { ++pointer_resets; }
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    return messages.ShowMessage(title, text, icon, buttons);
  }

  RecordingSink messages;
  std::map<RunBox, std::string> boxes;  // defaults: the texts after a reset
  std::map<RunSwitch, bool> switches;   // defaults: tab delimited on, everything else off
  std::vector<StatisticsDisplay> displays;
  int commits = 0;
  int pointer_resets = 0;
};

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes content (bytes as given) to name inside the folder and returns the full path.
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

// Relative comparison for computed figures: |a - b| <= tol * max(1, |b|).
bool CloseTo(double actual, double expected, double tol = 1e-9);

// The number of the run-time error an operation raised, 0 when it returned.
int ErrorOf(const std::function<void()>& op);

// Runs body in a child process that cannot start a single thread (a process limit of one,
// taken as the unprivileged "nobody" when run as root) and gives the child's exit status, body's
// return value; -1 where this machine offers no way to impose that limit.
int ExitWithoutThreads(const std::function<int()>& body);

struct ProgramResult {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs one of the project's programs with args, its settings looked for under config_home (so
// the user's real settings never leak into a test), and collects its exit status and both
// outputs. stdout_to, when given, receives standard output instead (then `out` stays empty).
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& config_home,
                         const std::string& stdout_to = {});

}  // namespace quelvaris::testing
