// A results file that cannot be written: the run says so in the error box, still shows the
// screen report, leaves no temporary file behind and never damages a file that was there.

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "fault_fixture.h"
#include "reports/results_file.h"

#ifdef QUELVARIS_CLI_PATH
#include "cli/cli_runner.h"
#endif

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;

const char* const kFlows =
    "10\t11\t8\n12\t12\t13\n15\t14\t18\n11\t10\t12\n9\t9\t7\n14\t15\t12\n20\t19\t24\n18\t17\t15\n";

class ResultsFileFaults : public FaultRun {
 protected:
  void SetUp() override {
    WriteDataFile(kFlows);
    Box(RunBox::NoOfColsText, "3");
  }

  // Names in the folder other than the data file: temporary files left behind show up here.
  std::vector<std::string> Leftovers(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name != "data.txt") names.push_back(name);
    }
    return names;
  }
};

TEST_F(ResultsFileFaults, UnwritableTargetsShowTheirErrorAndTheReportStillShows) {
  fs::create_directory(dir.path() / "folder");
  const std::string plain = dir.Write("plain.txt", "not a folder");
  struct Case {
    std::string path;
    std::string error_line;  // empty: the kernel decides which error (the box must still show)
  };
  std::vector<Case> cases = {
      {"/dev/full", "Disk full."},
      {(dir.path() / "missing" / "out.txt").string(), "A file could not be found."},
      {plain + "/out.txt", "A file could not be found."},
      {(dir.path() / "folder").string(), "Unable to write to drive."},
  };
  // Targets that fail for root too.
  for (const std::string& path : KernelPaths("quelvaris-results.txt")) cases.push_back({path, ""});
  if (!KernelPaths("version").empty()) cases.push_back({"/proc/version", ""});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    host.messages.shown.clear();
    reports.lines.clear();
    ChooseResultsFile(c.path);
    Run();
    ASSERT_EQ(ErrorTexts().size(), 1u);
    if (!c.error_line.empty()) {
      EXPECT_EQ(OnlyErrorLine(), c.error_line);
    }
    EXPECT_EQ(OnlyErrorDetail(), "Results file: " + c.path);
    EXPECT_FALSE(reports.lines.empty()) << "the screen report must follow the failed file";
  }
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
  EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
  EXPECT_EQ(ReadFileBytes(plain), "not a folder");
  EXPECT_EQ(Leftovers(dir.path()), (std::vector<std::string>{"folder", "plain.txt"}));
}

// The temporary file hits the file size limit part way; works for root, unlike permissions.
TEST_F(ResultsFileFaults, AFailedWriteLeavesTheEarlierFileByteIdentical) {
  const std::string earlier = "\tObs\tModel 1\r\nan earlier run's results\r\n";
  const std::string target = dir.Write("results.txt", earlier);
  ::chmod(target.c_str(), 0640);
  ChooseResultsFile(target);

  struct rlimit old_limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  Run();
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  ASSERT_EQ(ErrorTexts().size(), 1u);
  EXPECT_EQ(OnlyErrorLine(), "Unable to write to drive.");
  EXPECT_EQ(ReadFileBytes(target), earlier);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Leftovers(dir.path()), std::vector<std::string>{"results.txt"});
  EXPECT_FALSE(reports.lines.empty());
  results_files.clear();  // the earlier file is not this run's output

  // The same run with room to write replaces it.
  host.messages.shown.clear();
  Run();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_NE(ReadFileBytes(target), earlier);
  EXPECT_EQ(Leftovers(dir.path()), std::vector<std::string>{"results.txt"});
}

TEST_F(ResultsFileFaults, ALinkToAFullDeviceStaysALink) {
  const fs::path link = dir.path() / "results.txt";
  fs::create_symlink("/dev/full", link);
  ChooseResultsFile(link.string());
  Run();
  EXPECT_EQ(OnlyErrorLine(), "Disk full.");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), "/dev/full");
}

TEST_F(ResultsFileFaults, FolderWithoutWritePermissionKeepsTheEarlierFile) {
  if (RunningAsRoot()) GTEST_SKIP() << "root ignores permission bits; the other cases cover root";
  const fs::path folder = dir.path() / "locked";
  fs::create_directory(folder);
  const std::string target = (folder / "results.txt").string();
  {
    TempDir scratch;
    fs::copy_file(scratch.Write("r", "earlier"), target);
  }
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  ChooseResultsFile(target);
  Run();
  EXPECT_EQ(OnlyErrorLine(), "Permission denied - file could be open.");
  EXPECT_EQ(ReadFileBytes(target), "earlier");
  results_files.clear();
}

// A results file named like the data file would replace the observations with figures.
TEST_F(ResultsFileFaults, TheDataFileIsNeverTakenAsTheResultsFile) {
  const std::string data = session.request.DataFilePath;
  const fs::path link = dir.path() / "link.txt";
  fs::create_symlink(data, link);
  const fs::path hard = dir.path() / "hard.txt";
  fs::create_hard_link(data, hard);
  for (const std::string& path : {data, link.string(), hard.string()}) {
    SCOPED_TRACE(path);
    host.messages.shown.clear();
    ChooseResultsFile(path);
    Run();
    EXPECT_EQ(OnlyErrorLine(), "Permission denied - file could be open.");
    EXPECT_EQ(OnlyErrorDetail(), "Results file: " + path);
    EXPECT_EQ(ReadFileBytes(data), kFlows);
  }
  results_files.clear();  // what was read back is the data file
}

#ifdef QUELVARIS_CLI_PATH
TEST(ResultsFileFaultsCli, FullDeviceAndDataFileTargetsExitOneAfterTheReport) {
  TempDir dir;
  const std::string data = dir.Write("flows.txt", kFlows);
  fs::create_directory(dir.path() / "config");
  for (const std::string& target : {std::string("/dev/full"), data}) {
    SCOPED_TRACE(target);
    const CliResult r =
        RunCli({data, "--columns", "3", "--results", target}, dir.path() / "config");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Results file: " + target), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Basic Statistics"), std::string::npos) << "report still written";
    EXPECT_FALSE(SpellsNonFinite(r.out)) << r.out;
  }
  EXPECT_EQ(ReadFileBytes(data), kFlows);
}

// A results file named by standard output's descriptor is written through it: with standard
// output a file, the results and then the printed report both end up in it (a replacement by
// rename would drop the report); with a pipe, both go down the pipe (there is no file to open).
TEST(ResultsFileFaultsCli, ResultsToStandardOutputKeepTheReport) {
  TempDir dir;
  const std::string data = dir.Write("flows.txt", kFlows);
  const fs::path config = dir.path() / "config";
  fs::create_directory(config);
  const std::string plain = (dir.path() / "plain.txt").string();
  const CliResult reference = RunCli({data, "--columns", "3", "--results", plain}, config);
  ASSERT_EQ(reference.status, 0) << reference.err;
  const std::string expected = ReadFileBytes(plain) + reference.out;

  const std::string out = (dir.path() / "out.txt").string();
  for (const char* target : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
    SCOPED_TRACE(target);
    const CliResult to_file = RunCli({data, "--columns", "3", "--results", target}, config, out);
    EXPECT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(ReadFileBytes(out), expected);

    const CliResult to_pipe = RunProgram(
        "/bin/sh",
        {"-c",
         "{ '" QUELVARIS_CLI_PATH "' --desktop-reader \"$0\" --columns 3 --results \"$1\"; "
         "echo \"status $?\" >&2; } | cat",
         data, target},
        config);
    EXPECT_EQ(to_pipe.out, expected);
    EXPECT_NE(to_pipe.err.find("status 0"), std::string::npos) << to_pipe.err;
  }
}
#endif

}  // namespace
}  // namespace quelvaris::testing
