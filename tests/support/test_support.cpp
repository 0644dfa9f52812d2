#include "test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/run_time_error.h"

extern char** environ;

namespace quelvaris::testing {

MessageAnswer RecordingSink::ShowMessage(const std::string& title, const std::string& text,
                                         MessageIcon icon, MessageButtons buttons) {
  shown.push_back({title, text, icon, buttons});
  if (!answers.empty()) {
    MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

std::vector<std::string> RecordingSink::TextsTitled(const std::string& title) const {
  std::vector<std::string> texts;
  for (const auto& m : shown) {
    if (m.title == title) texts.push_back(m.text);
  }
  return texts;
}

FakeRunHost::FakeRunHost() {
  boxes = {{RunBox::ThreshText, "0"},        {RunBox::LowerBoundText, "0"},
           {RunBox::UpperBoundText, "9999"}, {RunBox::ColToAnalText, "2"},
           {RunBox::NoOfColsText, "2"},      {RunBox::AICBICParmsText, "0"},
           {RunBox::AICBICPointsText, "0"}};
  switches = {{RunSwitch::HeaderRow, false},
              {RunSwitch::TabDelimited, true},
              {RunSwitch::AnalyseAll, false},
              {RunSwitch::ApplyBounds, false},
              {RunSwitch::CalcAICBIC, false}};
}

std::string FakeRunHost::BoxText(RunBox box) const {
  return boxes.at(box);
}
bool FakeRunHost::SwitchOn(RunSwitch which) const {
  return switches.at(which);
}
void FakeRunHost::ShowStatistics(const StatisticsDisplay& display) {
  displays.push_back(display);
}

TempDir::TempDir() {
  static std::mt19937_64 rng{std::random_device{}()};
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("quelvaris-test-" + std::to_string(rng()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may have taken permissions away; give them back so the folder can go.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  auto p = path_ / name;
  std::ofstream out(p, std::ios::binary);
  out << content;
  return p.string();
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool CloseTo(double actual, double expected, double tol) {
  return std::fabs(actual - expected) <= tol * std::max(1.0, std::fabs(expected));
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& config_home, const std::string& stdout_to) {
  TempDir capture;
  const std::string out_path = stdout_to.empty() ? (capture.path() / "stdout").string() : stdout_to;
  const std::string err_path = (capture.path() / "stderr").string();

  std::vector<std::string> argv_text = {program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> env_text;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string_view(*e).rfind("XDG_CONFIG_HOME=", 0) != 0) env_text.emplace_back(*e);
  }
  env_text.push_back("XDG_CONFIG_HOME=" + config_home.string());
  std::vector<char*> envp;
  for (auto& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ProgramResult result;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return result;

  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
    result.status = WEXITSTATUS(wstatus);
  }
  if (stdout_to.empty()) result.out = ReadFileBytes(out_path);
  result.err = ReadFileBytes(err_path);
  return result;
}

int ErrorOf(const std::function<void()>& op) {
  try {
    op();
  } catch (const RunTimeError& e) {
    return e.number();
  }
  return 0;
}

int ExitWithoutThreads(const std::function<int()>& body) {
  constexpr int kNoLimit = 125;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    const rlimit one{1, 1};
    if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(kNoLimit);
    if (::setrlimit(RLIMIT_NPROC, &one) != 0) std::_Exit(kNoLimit);
    std::_Exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -2;
  return WEXITSTATUS(status) == kNoLimit ? -1 : WEXITSTATUS(status);
}

}  // namespace quelvaris::testing
