#include "fault_fixture.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <sys/statfs.h>
#include <sys/wait.h>

namespace quelvaris::testing {

bool SpellsNonFinite(const std::string& text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

int ExitStatusWithin(int seconds, const std::function<int()>& body) {
  // The child leads a process group of its own, so that a program it starts and that hangs is
  // killed with it.
  const pid_t child = ::fork();
  if (child == 0) {
    ::setpgid(0, 0);
    ::_exit(body());
  }
  if (child < 0) return -2;
  ::setpgid(child, child);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(-child, SIGKILL);
      ::waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

FaultRun::FaultRun() {
  SetDefaultSettings(settings);
  settings.INIFile = (dir.path() / "absent.ini").string();
}

void FaultRun::ChooseDataFile(const std::string& path) {
  session.request.DataFilePath = path;
  session.request.DataFileName = std::filesystem::path(path).filename().string();
}

std::string FaultRun::WriteDataFile(const std::string& content, const std::string& name) {
  const std::string path = dir.Write(name, content);
  ChooseDataFile(path);
  return path;
}

void FaultRun::ChooseResultsFile(const std::string& path) {
  session.request.ResultsFilePath = path;
  session.request.ResultsFileName = std::filesystem::path(path).filename().string();
}

void FaultRun::Run() {
  RunAnalysis(RunContext{session, settings, host}, reports);
  EXPECT_FALSE(session.file.IsOpen()) << "the file slot must be free after every run";
  const std::string& results = session.request.ResultsFilePath;
  std::error_code ec;
  if (!results.empty() && std::filesystem::is_regular_file(results, ec)) {
    results_files.push_back(ReadFileBytes(results));
  }
}

std::string FaultRun::OnlyErrorLine() const {
  const auto texts = ErrorTexts();
  if (texts.size() != 1 || texts[0].rfind(kSorry + "\r\n", 0) != 0) return {};
  const std::string rest = texts[0].substr(kSorry.size() + 2);
  return rest.substr(0, rest.find("\r\n"));
}

std::string FaultRun::OnlyErrorDetail() const {
  const auto texts = ErrorTexts();
  if (texts.size() != 1) return {};
  const auto last = texts[0].rfind("\r\n");
  return last == std::string::npos ? std::string() : texts[0].substr(last + 2);
}

void FaultRun::TearDown() {
  for (const auto& line : reports.lines) {
    EXPECT_FALSE(SpellsNonFinite(line)) << "report line: " << line;
  }
  for (const auto& display : host.displays) {
    for (const auto* group : {&display.observed, &display.modelled}) {
      for (const auto& box : *group) EXPECT_FALSE(SpellsNonFinite(box)) << "display box: " << box;
    }
  }
  for (const auto& file : results_files) {
    EXPECT_FALSE(SpellsNonFinite(file)) << "results file:\n" << file;
  }
}

std::vector<std::string> KernelPaths(const std::string& name) {
  constexpr long kProcMagic = 0x9fa0;     // PROC_SUPER_MAGIC
  constexpr long kSysMagic = 0x62656572;  // SYSFS_MAGIC
  std::vector<std::string> paths;
  for (const auto& [folder, magic] : {std::pair<const char*, long>{"/proc", kProcMagic},
                                      std::pair<const char*, long>{"/sys", kSysMagic}}) {
    struct statfs fs {};
    if (::statfs(folder, &fs) == 0 && static_cast<long>(fs.f_type) == magic) {
      paths.push_back(std::string(folder) + "/" + name);
    }
  }
  return paths;
}

}  // namespace quelvaris::testing
