#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "config_home.h"
#include "platform/ini_file.h"
#include "scripted_dialogs.h"
#include "settings/global_settings.h"
#include "support/test_support.h"
#include "ui/main/main_window.h"
#include "ui/splash/intro.h"
#include "ui/splash/start_up.h"

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;
using ui::FirstWindow;
using ui::Program;

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() : config(dir.path()) {}

  fs::path SettingsFile() const { return dir.path() / "Quelvaris.INI"; }
  void WriteSettingsFile(const std::string& body) { dir.Write("Quelvaris.INI", body); }

  // A program whose "end" is counted rather than carried out.
  std::unique_ptr<Program> MakeProgram() {
    auto program = std::make_unique<Program>(settings);
    program->SetQuit([this] { ++quits; });
    return program;
  }
  static void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  TempDir dir;
  ConfigHome config;
  ScriptedDialogs dialogs;
  GlobalSettings settings;
  int quits = 0;
};

TEST_F(StartUpTest, NoSettingsFileShowsTheSplashWithDefaults) {
  auto program = MakeProgram();
  EXPECT_EQ(program->StartUp(), FirstWindow::Splash);
  ASSERT_NE(program->intro(), nullptr);
  EXPECT_TRUE(program->intro()->isVisible());
  EXPECT_TRUE(program->intro()->windowTitle().startsWith("Quelvaris"));
  EXPECT_FALSE(program->intro()->findChild<QCheckBox*>("SplashCheck")->isChecked());
  EXPECT_EQ(program->main_window(), nullptr);
  EXPECT_EQ(fs::path(settings.INIFile), SettingsFile());
  EXPECT_EQ(settings.GlobalMissingCode, -999);
  EXPECT_EQ(settings.DecimalsReq, 2);
  EXPECT_FALSE(fs::exists(SettingsFile()));
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

TEST_F(StartUpTest, SplashValueDecidesTheFirstWindowAndNothingIsWritten) {
  struct Case {
    const char* line;
    FirstWindow first;
  };
  const Case cases[] = {
      {"Splash=False", FirstWindow::Main},
      {"Splash=true", FirstWindow::Main},
      {"Splash=", FirstWindow::Main},
      {"Splash=No thanks", FirstWindow::Main},
      {"Splash=True", FirstWindow::Splash},
      {"Splash=Missing", FirstWindow::Splash},
      {"GlobalMissingCode=-99", FirstWindow::Splash},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string body = std::string("[Quelvaris]\n") + c.line + "\n";
    WriteSettingsFile(body);
    auto program = MakeProgram();
    EXPECT_EQ(program->StartUp(), c.first);
    FlushDeletes();
    if (c.first == FirstWindow::Main) {
      EXPECT_EQ(program->intro(), nullptr);  // never shown, already gone
      ASSERT_NE(program->main_window(), nullptr);
      EXPECT_TRUE(program->main_window()->isVisible());
    } else {
      ASSERT_NE(program->intro(), nullptr);
      EXPECT_TRUE(program->intro()->isVisible());
      EXPECT_EQ(program->main_window(), nullptr);
    }
    EXPECT_EQ(ReadFileBytes(SettingsFile()), body);
  }
  EXPECT_EQ(quits, 0);
}

TEST_F(StartUpTest, StartWithTheBoxCheckedTurnsTheSplashOffInTheRedirectedFile) {
  const fs::path team = dir.path() / "team.ini";
  const std::string base = "[Quelvaris]\nINIFile=" + team.string() + "\n";
  WriteSettingsFile(base);
  dir.Write("team.ini", "[Quelvaris]\nDecimalsReq=3\n");

  auto program = MakeProgram();
  ASSERT_EQ(program->StartUp(), FirstWindow::Splash);
  program->intro()->findChild<QCheckBox*>("SplashCheck")->setChecked(true);
  QTest::mouseClick(program->intro()->findChild<QPushButton*>("StartButton"), Qt::LeftButton);
  FlushDeletes();
  EXPECT_EQ(program->intro(), nullptr);
  ASSERT_NE(program->main_window(), nullptr);
  EXPECT_TRUE(program->main_window()->isVisible());

  EXPECT_EQ(ReadIniValue(team.string(), "Quelvaris", "Splash", "(absent)"), "False");
  EXPECT_EQ(ReadIniValue(team.string(), "Quelvaris", "DecimalsReq", "(absent)"), "3");
  EXPECT_EQ(ReadFileBytes(SettingsFile()), base);

  // The next start goes straight to the main window.
  auto next = MakeProgram();
  EXPECT_EQ(next->StartUp(), FirstWindow::Main);
  EXPECT_EQ(quits, 0);
}

TEST_F(StartUpTest, StartWithoutTheBoxAndExitWriteNothing) {
  struct Case {
    bool checked;
    const char* button;
    bool main_shown;
  };
  const Case cases[] = {
      {false, "StartButton", true}, {false, "ExitButton", false}, {true, "ExitButton", false}};
  const std::string body = "[Quelvaris]\nGlobalMissingCode=-99\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.button) + (c.checked ? " checked" : " unchecked"));
    WriteSettingsFile(body);
    quits = 0;
    auto program = MakeProgram();
    ASSERT_EQ(program->StartUp(), FirstWindow::Splash);
    program->intro()->findChild<QCheckBox*>("SplashCheck")->setChecked(c.checked);
    QTest::mouseClick(program->intro()->findChild<QPushButton*>(c.button), Qt::LeftButton);
    FlushDeletes();
    EXPECT_EQ(program->main_window() != nullptr, c.main_shown);
    EXPECT_EQ(quits, c.main_shown ? 0 : 1);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), body);
  }
}

TEST_F(StartUpTest, SettingsFileErrorsAreShownAndTheStartGoesOn) {
  WriteSettingsFile("[Quelvaris]\nGlobalMissingCode=-99\nDecimalsReq=70000\nSplash=False\n");
  auto program = MakeProgram();
  // The overflow stops the reading before "Splash", so the splash still shows.
  EXPECT_EQ(program->StartUp(), FirstWindow::Splash);
  const auto errors = dialogs.messages.TextsTitled("Error Message");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("Overflow has occurred."), std::string::npos);
  EXPECT_EQ(settings.GlobalMissingCode, -99);
}

}  // namespace
}  // namespace quelvaris::testing
