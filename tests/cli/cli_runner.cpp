#include "cli/cli_runner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include "support/test_support.h"

extern char** environ;

namespace quelvaris::testing {

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& config_home,
                 const std::string& stdout_to) {
  TempDir capture;
  const std::string out_path = stdout_to.empty() ? (capture.path() / "stdout").string() : stdout_to;
  const std::string err_path = (capture.path() / "stderr").string();

  std::vector<std::string> argv_text = {QUELVARIS_CLI_PATH};
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
  CliResult result;
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

}  // namespace quelvaris::testing
