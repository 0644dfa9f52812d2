#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "config_home.h"
#include "real_modals.h"
#include "support/test_support.h"
#include "ui/main/main_window.h"
#include "ui/results/results_frm.h"
#include "ui/settings/settings_window.h"

namespace quelvaris::ui {
namespace {

namespace fs = std::filesystem;
using testing::ConfigHome;
using testing::RealModals;
using testing::TempDir;
using testing::TypeNameAndOpen;

std::vector<std::string> FilesUnder(const fs::path& dir) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), dir).string());
  }
  return files;
}

// A session as a user has it, with every real dialog and window: files picked, two runs, the
// settings window saved. Between sessions the program keeps its settings file and nothing else.
TEST(ConfigFolderTest, ASessionLeavesNothingButTheSettingsFile) {
  TempDir home;
  const fs::path config = home.path() / ".config";
  fs::create_directories(config);
  ConfigHome redirect(config, home.path());
  TempDir work;
  fs::copy_file(fs::path(QUELVARIS_EXAMPLES_DIR) / "three_models.txt",
                work.path() / "three_models.txt");

  GlobalSettings settings;
  SetDefaultSettings(settings);
  settings.DefaultDir = work.path().string();
  Main main(settings);
  main.SetSettingsOpener([&](QWidget* parent) { OpenSettingsWindow(settings, parent); });
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

  std::deque<QString> names = {QStringLiteral("three_models.txt"), QStringLiteral("results.txt")};
  int results_windows = 0;
  int settings_windows = 0;
  RealModals modals([&](QWidget* modal) {
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      const QString name = names.empty() ? QString() : names.front();
      if (!names.empty()) names.pop_front();
      QTimer::singleShot(0, dialog, [dialog, name] { TypeNameAndOpen(dialog, name); });
      return true;
    }
    if (auto* results = qobject_cast<ResultsFrm*>(modal)) {
      ++results_windows;
      QTimer::singleShot(0, results, [results] { results->ToolbarClick("menuBack"); });
      return true;
    }
    if (auto* window = qobject_cast<Settings*>(modal)) {
      ++settings_windows;
      QTimer::singleShot(0, window, [window] {
        window->ToolbarButtonClick("menuSave");
        window->ToolbarButtonClick("menuBack");
      });
      return true;
    }
    return false;
  });

  main.findChild<QPushButton*>("SelectButton")->click();
  main.findChild<QPushButton*>("SelectResultsButton")->click();
  auto* columns = main.findChild<QLineEdit*>("NoOfColsText");
  columns->setFocus();
  columns->setText("4");
  main.findChild<QCheckBox*>("AnalyseAllCheck")->setFocus();
  main.findChild<QCheckBox*>("AnalyseAllCheck")->setChecked(true);
  main.ToolbarClick("tb1Calcs");
  main.ToolbarClick("tb1Settings");
  names = {QStringLiteral("three_models.txt")};
  main.findChild<QPushButton*>("SelectButton")->click();
  main.ToolbarClick("tb1Calcs");

  EXPECT_EQ(results_windows, 2);
  EXPECT_EQ(settings_windows, 1);
  EXPECT_TRUE(fs::exists(work.path() / "results.txt"));
  EXPECT_EQ(FilesUnder(config), std::vector<std::string>{"Quelvaris.INI"});
}

}  // namespace
}  // namespace quelvaris::ui
