#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "config_home.h"
#include "real_modals.h"
#include "support/test_support.h"
#include "ui/main/main_window.h"

namespace quelvaris::ui {
namespace {

namespace fs = std::filesystem;
using testing::ConfigHome;
using testing::RealModals;
using testing::TempDir;
using testing::TypeNameAndOpen;

// The two "Select File" buttons with the toolkit's own file dialog, answered as a user answers
// it: a name typed into the dialog's name box, then Open.
class FilePickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"flows", "river.csv", "GAUGE.CSV", "notes.TXT", "summary.txt"}) {
      folder.Write(name, "1\t2\n");
    }
    settings.DefaultDir = folder.path().string();
    main = std::make_unique<Main>(settings);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
  }

  // Clicks the button and types `name` into the dialog. False when the dialog refused the name
  // (it stayed open and was cancelled).
  bool Pick(const char* button, const std::string& name) {
    bool refused = false;
    RealModals modals([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (!dialog) return false;
      QTimer::singleShot(0, dialog, [&, dialog] {
        refused = !TypeNameAndOpen(dialog, QString::fromStdString(name));
      });
      return true;
    });
    main->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    questions.insert(questions.end(), modals.boxes.begin(), modals.boxes.end());
    return !refused;
  }

  TempDir home;  // the dialog's own files, if it writes any, stay out of the user's
  ConfigHome redirect{home.path() / ".config", home.path()};
  TempDir folder;
  GlobalSettings settings;
  std::unique_ptr<Main> main;
  std::vector<std::string> questions;  // boxes the dialog put up of its own
};

TEST_F(FilePickerTest, ResultsTakeAnyNameWithoutAQuestionAndDataOnlyAFileThatExists) {
  struct Case {
    const char* button;
    const char* display;
    std::string typed;
    bool taken;
  };
  const Case cases[] = {
      {"SelectButton", "SelectFileText", "flows", true},
      {"SelectButton", "SelectFileText", "missing.txt", false},
      {"SelectResultsButton", "ResultsFileText", "summary.txt", true},  // replaced by the run
      {"SelectResultsButton", "ResultsFileText", "new-results.txt", true},
      {"SelectResultsButton", "ResultsFileText", "runs/2024/results.txt", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    questions.clear();
    const QString before = main->findChild<QLineEdit*>(QString::fromLatin1(c.display))->text();
    EXPECT_EQ(Pick(c.button, c.typed), c.taken);
    const QString shown = main->findChild<QLineEdit*>(QString::fromLatin1(c.display))->text();
    const AnalysisRequest& request = main->Session().request;
    const bool results = std::string(c.button) == "SelectResultsButton";
    if (c.taken) {
      EXPECT_TRUE(questions.empty()) << questions.front();
      const fs::path expected = folder.path() / c.typed;
      EXPECT_EQ(shown.toStdString(), expected.filename().string());
      EXPECT_EQ(results ? request.ResultsFilePath : request.DataFilePath, expected.string());
    } else {
      EXPECT_EQ(shown, before);
    }
  }
  // Picking names no file into being: the run creates the results file.
  EXPECT_FALSE(fs::exists(folder.path() / "new-results.txt"));
  EXPECT_FALSE(fs::exists(folder.path() / "runs"));
}

TEST_F(FilePickerTest, AllFilesListsEveryFileAndTheOtherFiltersTheirExtension) {
  struct Case {
    int filter;
    const char* caption;
    std::vector<std::string> listed;
  };
  const std::vector<Case> cases = {
      {0, "All Files (*.*)", {"GAUGE.CSV", "flows", "notes.TXT", "river.csv", "summary.txt"}},
      {1, "CSV Files (*.CSV)", {"GAUGE.CSV", "river.csv"}},
      {2, "TXT Files (*.TXT)", {"notes.TXT", "summary.txt"}},
  };
  std::vector<std::vector<std::string>> seen;
  std::vector<QString> captions;
  RealModals modals([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (!dialog) return false;
    auto* model = dialog->findChild<QFileSystemModel*>();
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    const QModelIndex root = model->index(QString::fromStdString(folder.path().string()));
    for (const Case& c : cases) {
      dialog->selectNameFilter(dialog->nameFilters().value(c.filter));
      captions.push_back(types->currentText());
      // The folder is read in the background: wait until the list holds what it should, then
      // a little longer for anything it should not.
      (void)QTest::qWaitFor(
          [&] { return model->rowCount(root) >= static_cast<int>(c.listed.size()); });
      QTest::qWait(100);
      std::vector<std::string> names;
      for (int row = 0; row < model->rowCount(root); ++row) {
        names.push_back(model->index(row, 0, root).data().toString().toStdString());
      }
      std::sort(names.begin(), names.end());
      seen.push_back(names);
    }
    dialog->reject();
    return true;
  });
  main->findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  ASSERT_EQ(seen.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(captions[i].toStdString(), cases[i].caption);
    EXPECT_EQ(seen[i], cases[i].listed) << cases[i].caption;
  }
}

}  // namespace
}  // namespace quelvaris::ui
