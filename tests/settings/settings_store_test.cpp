#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "settings/error_reporter.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::ReadFileBytes;
using testing::RecordingSink;
using testing::TempDir;

class RecordingListener : public SettingsListener {
 public:
  void DefaultDirLoaded(const std::string& dir) override { dirs.push_back(dir); }
  void MissingCodeLoaded(double code) override { codes.push_back(code); }
  void DecimalsLoaded(int decimals) override { decimals_.push_back(decimals); }
  std::vector<std::string> dirs;
  std::vector<double> codes;
  std::vector<int> decimals_;
};

GlobalSettings DefaultsWithFile(const std::string& ini) {
  GlobalSettings s;
  SetDefaultSettings(s);
  s.INIFile = ini;
  return s;
}

TEST(SettingsStore, DefaultsFollowTheHomeAndConfigurationFolders) {
  const char* old_home = std::getenv("HOME");
  const std::string saved_home = old_home ? old_home : "";
  const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved_xdg = old_xdg ? old_xdg : "";

  setenv("HOME", "/home/tester", 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(HomeDirectory(), "/home/tester");
  EXPECT_EQ(DefaultSettingsFilePath(), "/home/tester/.config/Quelvaris.INI");
  setenv("XDG_CONFIG_HOME", "/etc/xdg-tester/", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), "/etc/xdg-tester/Quelvaris.INI");
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), "/home/tester/.config/Quelvaris.INI");

  GlobalSettings s;
  s.DecimalsReq = 5;
  s.Splash = false;
  SetDefaultSettings(s);
  EXPECT_EQ(s.INIFile, "/home/tester/.config/Quelvaris.INI");
  EXPECT_EQ(s.GlobalMissingCode, -999);
  EXPECT_EQ(s.DecimalsReq, 2);
  EXPECT_EQ(s.ResultFormat, "0.00");
  EXPECT_EQ(s.DefaultDir, "/home/tester");
  EXPECT_EQ(s.LoadedDefaultDir, "/home/tester");
  EXPECT_TRUE(s.Splash);

  if (old_home)
    setenv("HOME", saved_home.c_str(), 1);
  else
    unsetenv("HOME");
  if (old_xdg)
    setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsStore, LoadAtStartTakesUsableValuesOnly) {
  struct Case {
    const char* name;
    std::string file;  // "[Quelvaris]\r\n" is put before it
    double code;
    int decimals;
    const char* format;
    const char* dir;  // nullptr: the default
    bool splash;
  };
  const Case cases[] = {
      {"empty section", "", -999, 2, "0.00", nullptr, true},
      {"all keys",
       "GlobalMissingCode=-99\r\nDecimalsReq=4\r\nDefaultDir=  /data/x  \r\nSplash=True", -99, 4,
       "0.0000", "/data/x", true},
      {"3.7 decimals", "DecimalsReq=3.7", -999, 3, "0.000", nullptr, true},
      {"-0.5 decimals", "DecimalsReq=-0.5", -999, -1, "0.00", nullptr, true},
      {"9 decimals keep the pattern", "DecimalsReq=9", -999, 9, "0.00", nullptr, true},
      {"abc ignored", "GlobalMissingCode=abc\r\nDecimalsReq=", -999, 2, "0.00", nullptr, true},
      {"Missing prefix ignored", "GlobalMissingCode=Missing 5\r\nDefaultDir=Missing", -999, 2,
       "0.00", nullptr, true},
      {"splash true lower case", "Splash=true", -999, 2, "0.00", nullptr, false},
      {"splash empty", "Splash=", -999, 2, "0.00", nullptr, false},
      {"splash False", "Splash=False", -999, 2, "0.00", nullptr, false},
      {"splash Truest", "Splash=Trueish", -999, 2, "0.00", nullptr, true},
      {"splash Missing", "Splash=Missing value", -999, 2, "0.00", nullptr, true},
      {"blank directory ignored", "DefaultDir=   ", -999, 2, "0.00", nullptr, true},
      {"long directory whole",
       "DefaultDir=/a/very/long/default/directory/that/goes/on/for/well/over/two/hundred/"
       "characters/" +
           std::string(200, 'd'),
       -999, 2, "0.00", nullptr, true},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ini = dir.Write("Quelvaris.INI", "[Quelvaris]\r\n" + c.file + "\r\n");
    GlobalSettings s = DefaultsWithFile(ini);
    const std::string home = s.DefaultDir;
    RecordingSink sink;
    LoadSettingsAtStart(s, sink);
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(s.GlobalMissingCode, c.code);
    EXPECT_EQ(s.DecimalsReq, c.decimals);
    EXPECT_EQ(s.ResultFormat, c.format);
    EXPECT_EQ(s.Splash, c.splash);
    EXPECT_EQ(s.INIFile, ini);
    if (c.dir) {
      EXPECT_EQ(s.DefaultDir, c.dir);
      EXPECT_EQ(s.LoadedDefaultDir, c.dir);
    } else if (std::string(c.name) == "long directory whole") {
      EXPECT_EQ(s.DefaultDir.size(), c.file.size() - std::string("DefaultDir=").size());
    } else {
      EXPECT_EQ(s.DefaultDir, home);
    }
  }

  // No file at all: every default stays.
  GlobalSettings s = DefaultsWithFile((dir.path() / "absent.INI").string());
  const GlobalSettings before = s;
  RecordingSink sink;
  LoadSettingsAtStart(s, sink);
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_EQ(s.GlobalMissingCode, before.GlobalMissingCode);
  EXPECT_EQ(s.DecimalsReq, before.DecimalsReq);
  EXPECT_EQ(s.ResultFormat, before.ResultFormat);
  EXPECT_EQ(s.DefaultDir, before.DefaultDir);
  EXPECT_EQ(s.INIFile, before.INIFile);
  EXPECT_TRUE(s.Splash);
}

TEST(SettingsStore, DecimalsBeyondSixteenBitsStopTheLoadWithAnOverflow) {
  TempDir dir;
  const std::string other = dir.Write("other.ini", "[Quelvaris]\r\nSplash=False\r\n");
  const std::string ini = dir.Write("Quelvaris.INI",
                                    "[Quelvaris]\r\nGlobalMissingCode=-1\r\n"
                                    "DecimalsReq=70000\r\nINIFile=" +
                                        other + "\r\nDefaultDir=/x\r\nSplash=False\r\n");
  GlobalSettings s = DefaultsWithFile(ini);
  RecordingSink sink;
  LoadSettingsAtStart(s, sink);
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].title, "Error Message");
  EXPECT_EQ(sink.shown[0].text, ComposeErrorMessage(6, "Settings file: " + ini));
  EXPECT_EQ(s.GlobalMissingCode, -1);  // taken before the error
  EXPECT_EQ(s.INIFile, ini);
  EXPECT_NE(s.DefaultDir, "/x");
  EXPECT_TRUE(s.Splash);
}

TEST(SettingsStore, RedirectionAppliesToTheKeysAfterItAndIsUsedWhole) {
  TempDir dir;
  const auto team_dir = dir.path() / "a folder name long enough to pass thirty characters";
  std::filesystem::create_directory(team_dir);
  const std::string team = (team_dir / "team.ini").string();
  ASSERT_GT(team.size(), 29u);
  {
    std::ofstream(team) << "[Quelvaris]\nGlobalMissingCode=-5\nDecimalsReq=5\nDefaultDir=/team\n"
                           "Splash=False\n";
  }
  const std::string ini = dir.Write("Quelvaris.INI",
                                    "[Quelvaris]\r\nGlobalMissingCode=-7\r\nDecimalsReq=1\r\n"
                                    "INIFile=  " +
                                        team + " \r\nDefaultDir=/mine\r\nSplash=True\r\n");
  GlobalSettings s = DefaultsWithFile(ini);
  RecordingSink sink;
  LoadSettingsAtStart(s, sink);
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_EQ(s.INIFile, team);
  EXPECT_EQ(s.GlobalMissingCode, -7);
  EXPECT_EQ(s.DecimalsReq, 1);
  EXPECT_EQ(s.DefaultDir, "/team");
  EXPECT_FALSE(s.Splash);

  // Later saves go to the named file.
  ASSERT_TRUE(SaveSettings(s, sink));
  EXPECT_EQ(ReadIniValue(team, "Quelvaris", "DecimalsReq", ""), "1");
  EXPECT_EQ(ReadIniValue(ini, "Quelvaris", "DecimalsReq", ""), "1");
  EXPECT_EQ(ReadIniValue(team, "Quelvaris", "GlobalMissingCode", ""), "-7");
}

TEST(SettingsStore, LoadReportsEachUnusableKeyAndGoesOn) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> messages;  // the part before " from <path>."
    std::vector<std::string> dirs;
    std::vector<double> codes;
    std::vector<int> decimals;
  };
  const Case cases[] = {
      {"all good",
       "DefaultDir=/d\nGlobalMissingCode=-99\nDecimalsReq=3.7\n",
       {},
       {"/d"},
       {-99},
       {3}},
      {"code abc",
       "DefaultDir=/d\nGlobalMissingCode=abc\nDecimalsReq=9\n",
       {"Sorry - unable to load 'Missing Data Identifier'"},
       {"/d"},
       {},
       {9}},
      {"nothing usable",
       "",
       {"Sorry - unable to load default directory",
        "Sorry - unable to load 'Missing Data Identifier'",
        "Sorry - unable to load 'Decimals Required'"},
       {},
       {},
       {}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ini = dir.Write("Quelvaris.INI", "[Quelvaris]\n" + c.file);
    GlobalSettings s = DefaultsWithFile(ini);
    RecordingSink sink;
    RecordingListener listener;
    EXPECT_TRUE(LoadSavedSettings(s, sink, listener));
    std::vector<std::string> expected;
    for (const auto& m : c.messages) expected.push_back(m + " from " + ini + ".");
    EXPECT_EQ(sink.TextsTitled("Error Message"), expected);
    EXPECT_EQ(listener.dirs, c.dirs);
    EXPECT_EQ(listener.codes, c.codes);
    EXPECT_EQ(listener.decimals_, c.decimals);
    if (!c.dirs.empty()) {
      EXPECT_EQ(s.LoadedDefaultDir, c.dirs[0]);
    }
  }
  const std::string ini = dir.Write("Quelvaris.INI", "[Quelvaris]\nDecimalsReq=-40000\n");
  GlobalSettings s = DefaultsWithFile(ini);
  RecordingSink sink;
  RecordingListener listener;
  EXPECT_FALSE(LoadSavedSettings(s, sink, listener));
  EXPECT_EQ(sink.shown.back().text, ComposeErrorMessage(6, "Settings file: " + ini));
}

// Lets a test make every write beyond a few bytes fail, which binds even for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = bytes;
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }

 private:
  rlimit old_{};
  void (*handler_)(int) = nullptr;
};

TEST(SettingsStore, SaveWritesTheThreeKeysAndSaysSo) {
  TempDir dir;
  const std::string ini = (dir.path() / "Quelvaris.INI").string();
  GlobalSettings s = DefaultsWithFile(ini);
  s.GlobalMissingCode = -99.5;
  s.DefaultDir = "/data/runs";
  s.DecimalsReq = 4;
  RecordingSink sink;
  ASSERT_TRUE(SaveSettings(s, sink));
  EXPECT_EQ(ReadFileBytes(ini),
            "[Quelvaris]\r\nGlobalMissingCode=-99.5\r\nDefaultDir=/data/runs\r\nDecimalsReq=4\r\n");
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].title, "Settings Saved");
  EXPECT_EQ(sink.shown[0].text, "Settings saved to " + ini + ".");
  EXPECT_EQ(sink.shown[0].icon, MessageIcon::Information);

  TurnSplashOff(s);
  EXPECT_EQ(ReadIniValue(ini, "Quelvaris", "Splash", ""), "False");
  GlobalSettings again = DefaultsWithFile(ini);
  LoadSettingsAtStart(again, sink);
  EXPECT_EQ(again.GlobalMissingCode, -99.5);
  EXPECT_EQ(again.DecimalsReq, 4);
  EXPECT_EQ(again.DefaultDir, "/data/runs");
  EXPECT_FALSE(again.Splash);
}

TEST(SettingsStore, FailedSaveSaysSoAndLeavesTheFileAsItWas) {
  TempDir dir;
  const std::string previous = "[Quelvaris]\r\nGlobalMissingCode=-1\r\n";
  const std::string ini = dir.Write("Quelvaris.INI", previous);
  GlobalSettings s = DefaultsWithFile(ini);
  s.DefaultDir = "/somewhere/long/enough/to/need/more/bytes";
  RecordingSink sink;
  bool saved;
  {
    FileSizeLimit limit(40);
    saved = SaveSettings(s, sink);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(sink.TextsTitled("Error Message"),
            std::vector<std::string>{"Sorry, unable to save data to " + ini + "."});
  EXPECT_TRUE(sink.TextsTitled("Settings Saved").empty());
  EXPECT_EQ(ReadFileBytes(ini), previous);

  // A settings file in a folder that does not exist cannot be written either.
  const std::string nowhere = (dir.path() / "missing" / "s.ini").string();
  s.INIFile = nowhere;
  RecordingSink sink2;
  EXPECT_FALSE(SaveSettings(s, sink2));
  EXPECT_EQ(sink2.TextsTitled("Error Message"),
            std::vector<std::string>{"Sorry, unable to save data to " + nowhere + "."});
  TurnSplashOff(s);  // quietly does nothing
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

}  // namespace
}  // namespace quelvaris
