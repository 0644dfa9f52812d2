// Settings files that cannot be read or written: loading keeps the defaults, saving says it
// failed, and whatever was at the path is left exactly as it was.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fault_fixture.h"
#include "settings/global_settings.h"
#include "settings/settings_store.h"

#ifdef QUELVARIS_CLI_PATH
#include "cli/cli_runner.h"
#endif

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;

const char* const kSaved =
    "[Quelvaris]\r\nGlobalMissingCode=-99\r\nDecimalsReq=4\r\n"
    "DefaultDir=/data/flows\r\n[Other]\r\nKey=kept\r\n";

class IgnoringListener : public SettingsListener {
 public:
  void DefaultDirLoaded(const std::string&) override {}
  void MissingCodeLoaded(double) override {}
  void DecimalsLoaded(int) override {}
};

GlobalSettings SettingsAt(const std::string& path) {
  GlobalSettings s;
  SetDefaultSettings(s);
  s.INIFile = path;
  return s;
}

std::vector<std::string> UnableToLoad(const std::string& path) {
  return {"Sorry - unable to load default directory from " + path + ".",
          "Sorry - unable to load 'Missing Data Identifier' from " + path + ".",
          "Sorry - unable to load 'Decimals Required' from " + path + "."};
}

// Load at start keeps every default without a box; the Load command says what it missed; Save
// says it could not save.
void ExpectUnusable(const std::string& path) {
  SCOPED_TRACE(path);
  GlobalSettings defaults = SettingsAt(path);
  GlobalSettings s = SettingsAt(path);
  s.DefaultDir = "/somewhere/else";
  s.GlobalMissingCode = -1;
  RecordingSink sink;
  GlobalSettings at_start = SettingsAt(path);
  LoadSettingsAtStart(at_start, sink);
  EXPECT_EQ(at_start.GlobalMissingCode, defaults.GlobalMissingCode);
  EXPECT_EQ(at_start.DecimalsReq, defaults.DecimalsReq);
  EXPECT_EQ(at_start.DefaultDir, defaults.DefaultDir);
  EXPECT_TRUE(sink.shown.empty());

  IgnoringListener listener;
  GlobalSettings loaded = SettingsAt(path);
  EXPECT_TRUE(LoadSavedSettings(loaded, sink, listener));
  EXPECT_EQ(sink.TextsTitled("Error Message"), UnableToLoad(path));

  sink.shown.clear();
  EXPECT_FALSE(SaveSettings(s, sink));
  EXPECT_EQ(sink.TextsTitled("Error Message"),
            std::vector<std::string>{"Sorry, unable to save data to " + path + "."});
  EXPECT_TRUE(sink.TextsTitled("Settings Saved").empty());
}

TEST(SettingsFileFaults, PathsThatAreNoSettingsFileForRootEither) {
  TempDir dir;
  fs::create_directory(dir.path() / "folder");
  const std::string plain = dir.Write("plain.txt", "just text");
  std::vector<std::string> paths = {(dir.path() / "folder").string(), plain + "/Quelvaris.INI"};
  for (const std::string& path : KernelPaths("quelvaris.ini")) paths.push_back(path);
  for (const std::string& path : paths) ExpectUnusable(path);
  EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
  EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
  EXPECT_EQ(ReadFileBytes(plain), "just text");
}

// /proc/version reads as a file without our section, and cannot be replaced.
TEST(SettingsFileFaults, AReadableFileThatCannotBeReplaced) {
  const std::string path = "/proc/version";
  const std::string content = ReadFileBytes(path);
  RecordingSink sink;
  GlobalSettings s = SettingsAt(path);
  EXPECT_FALSE(SaveSettings(s, sink));
  EXPECT_EQ(sink.TextsTitled("Error Message"),
            std::vector<std::string>{"Sorry, unable to save data to " + path + "."});
  EXPECT_EQ(ReadFileBytes(path), content);
}

TEST(SettingsFileFaults, PermissionBitsAreHonoured) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads and replaces files whatever their permissions";
  struct Case {
    const char* name;
    fs::perms file;
    fs::perms folder;
    bool readable;
  };
  const fs::perms rx = fs::perms::owner_read | fs::perms::owner_exec;
  const std::vector<Case> cases = {
      {"read-only file", fs::perms::owner_read, fs::perms::owner_all, true},
      {"unreadable file", fs::perms::none, fs::perms::owner_all, false},
      {"read-only folder", fs::perms::owner_read | fs::perms::owner_write, rx, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path folder = dir.path() / "config";
    fs::create_directory(folder);
    const std::string path = (folder / "Quelvaris.INI").string();
    {
      TempDir scratch;
      fs::copy_file(scratch.Write("s", kSaved), path);
    }
    fs::permissions(path, c.file);
    fs::permissions(folder, c.folder);

    RecordingSink sink;
    GlobalSettings loaded = SettingsAt(path);
    LoadSettingsAtStart(loaded, sink);
    EXPECT_EQ(loaded.DecimalsReq, c.readable ? 4 : 2);
    EXPECT_TRUE(sink.shown.empty());

    GlobalSettings changed = SettingsAt(path);
    changed.DecimalsReq = 1;
    EXPECT_FALSE(SaveSettings(changed, sink));
    EXPECT_EQ(sink.TextsTitled("Error Message"),
              std::vector<std::string>{"Sorry, unable to save data to " + path + "."});
    fs::permissions(folder, fs::perms::owner_all);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFileBytes(path), kSaved);
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(folder), fs::directory_iterator()),
              std::vector<fs::path>{path});
  }
}

// A device, a pipe or a file far larger than any settings file is not read: start-up keeps the
// defaults at once instead of reading for ever (/dev/zero), blocking on a pipe (with or without
// a writer) or holding a disk image in memory.
TEST(SettingsFileFaults, DevicesPipesAndHugeFilesReadAsAbsent) {
  TempDir dir;
  const std::string lonely = (dir.path() / "no-writer").string();
  const std::string fed = (dir.path() / "fed").string();
  ASSERT_EQ(::mkfifo(lonely.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(fed.c_str(), 0600), 0);
  // Held open for writing (and reading, so the open does not wait) while the cases run.
  const int feeder = ::open(fed.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(feeder, 0);
  const std::string text = "[Quelvaris]\r\nDecimalsReq=4\r\n";
  ASSERT_EQ(::write(feeder, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  const std::string huge = dir.Write("huge.ini", text);
  fs::resize_file(huge, (std::uintmax_t{1} << 20) + 1);

  for (const std::string& path : {std::string("/dev/zero"), lonely, fed, huge}) {
    SCOPED_TRACE(path);
    const int status = ExitStatusWithin(10, [&] {
      RecordingSink sink;
      GlobalSettings s = SettingsAt(path);
      LoadSettingsAtStart(s, sink);
      IgnoringListener listener;
      LoadSavedSettings(s, sink, listener);
      return s.DecimalsReq == 2 && sink.TextsTitled("Error Message") == UnableToLoad(path) ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << (status == -1 ? "the read did not end" : "settings were taken");
  }
  ::close(feeder);

  // What cannot be read whole is not rewritten either.
  RecordingSink sink;
  EXPECT_FALSE(SaveSettings(SettingsAt(huge), sink));
  EXPECT_EQ(ReadFileBytes(huge).substr(0, text.size()), text);
}

#ifdef QUELVARIS_CLI_PATH
// A settings file the batch command cannot use leaves the defaults; the run itself goes on.
TEST(SettingsFileFaultsCli, UnusableSettingsFilesLeaveTheDefaults) {
  TempDir dir;
  fs::create_directory(dir.path() / "config");
  fs::create_directory(dir.path() / "folder");
  const std::string data = dir.Write("flows.txt", "1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n");
  for (const std::string& settings :
       {(dir.path() / "folder").string(), std::string("/proc/self/mem"),
        std::string("/proc/version"), data + "/Quelvaris.INI"}) {
    SCOPED_TRACE(settings);
    const CliResult r = RunCli({data, "--settings", settings}, dir.path() / "config");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Mean"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("5.00"), std::string::npos) << "default decimals";
  }
}

TEST(SettingsFileFaultsCli, ADeviceOrAPipeAsSettingsFileIsNoSettingsFile) {
  TempDir dir;
  fs::create_directory(dir.path() / "config");
  const std::string data = dir.Write("flows.txt", "1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n");
  const std::string pipe = (dir.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& settings : {std::string("/dev/zero"), pipe}) {
    SCOPED_TRACE(settings);
    const int status = ExitStatusWithin(20, [&] {
      const CliResult r = RunCli({data, "--settings", settings}, dir.path() / "config");
      return r.status == 0 && r.err.find("Error") == std::string::npos &&
                     r.out.find("5.00") != std::string::npos
                 ? 0
                 : 1;
    });
    EXPECT_EQ(status, 0) << (status == -1 ? "the batch command hung" : "wrong outcome");
  }
}
#endif

}  // namespace
}  // namespace quelvaris::testing
