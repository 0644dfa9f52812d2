// The program only ever reads the user's data file: whatever a run does, and however it fails,
// the file keeps its bytes, its modification time and its identity, and is never opened for
// writing (inotify sees every open for writing, even one that writes nothing).

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fault_fixture.h"

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;

const char* const kData =
    "Obs\tA\tB\r\n10\t11\t8\r\n12\t12\t13\r\n15\t14\t18\r\n11\t10\t12\r\n"
    "9\t9\t7\r\n-999\t15\t12\r\n20\t19\t24\r\n18\t17\t15\r\n";

class DataFileUntouched : public FaultRun {
 protected:
  void SetUp() override {
    path_ = WriteDataFile(kData);
    // An old time, so that any write, even within the same second, would show.
    const struct timespec times[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), times, 0), 0);
    ASSERT_EQ(::stat(path_.c_str(), &before_), 0);
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch_, 0);
    ASSERT_GE(
        ::inotify_add_watch(watch_, path_.c_str(),
                            IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF),
        0);
  }
  void TearDown() override {
    if (watch_ >= 0) ::close(watch_);
    FaultRun::TearDown();
  }

  // The inotify events seen on the data file since the watch began.
  std::vector<std::uint32_t> Events() const {
    std::vector<std::uint32_t> masks;
    alignas(struct inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(watch_, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const struct inotify_event*>(buffer + at);
        masks.push_back(e->mask);
        at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
      }
    }
    return masks;
  }

  std::string path_;
  struct stat before_ {};
  int watch_ = -1;
};

TEST_F(DataFileUntouched, RunsOfEveryOutcomeLeaveTheDataFileAsItWas) {
  const std::string results = (dir.path() / "results.txt").string();
  struct Step {
    const char* name;
    std::function<void()> prepare;
  };
  const std::vector<Step> steps = {
      {"one column with a results file",
       [&] {
         Switch(RunSwitch::HeaderRow, true);
         Box(RunBox::NoOfColsText, "3");
         ChooseResultsFile(results);
       }},
      {"all columns, bounds, AIC/BIC",
       [&] {
         Switch(RunSwitch::AnalyseAll, true);
         Switch(RunSwitch::ApplyBounds, true);
         Switch(RunSwitch::CalcAICBIC, true);
       }},
      {"results file on a full device", [&] { ChooseResultsFile("/dev/full"); }},
      {"results file named like the data file", [&] { ChooseResultsFile(path_); }},
      {"results file through a link to the data file",
       [&] {
         fs::create_symlink(path_, dir.path() / "link.txt");
         ChooseResultsFile((dir.path() / "link.txt").string());
       }},
      {"header switched off: not a number", [&] { Switch(RunSwitch::HeaderRow, false); }},
      {"too many columns: too few fields",
       [&] {
         Switch(RunSwitch::HeaderRow, true);
         Box(RunBox::NoOfColsText, "4");
       }},
      {"comma delimiter", [&] { Switch(RunSwitch::TabDelimited, false); }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.prepare();
    Run();
  }
  results_files.clear();  // two of the steps would read the data file back as "results"

  struct stat after {};
  ASSERT_EQ(::stat(path_.c_str(), &after), 0);
  EXPECT_EQ(ReadFileBytes(path_), kData);
  EXPECT_EQ(after.st_ino, before_.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before_.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before_.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_mode, before_.st_mode);
  EXPECT_EQ(Events(), std::vector<std::uint32_t>{}) << "the data file was written or replaced";
  // The runs did happen: the good ones showed figures.
  EXPECT_FALSE(host.displays.empty());
}

}  // namespace
}  // namespace quelvaris::testing
