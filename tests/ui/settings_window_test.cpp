#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "platform/ini_file.h"
#include "scripted_dialogs.h"
#include "settings/global_settings.h"
#include "settings/settings_store.h"
#include "support/test_support.h"
#include "ui/settings/settings_window.h"

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;
using ui::Settings;

const char kOutOfRange[] = "Required decimals must be an integer value between 0 and 6.";
const char kNotInteger[] = "Required decimals must be an integer value.";

class SettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultSettings(settings);
    settings.INIFile = (dir.path() / "Quelvaris.INI").string();
    fs::create_directory(dir.path() / "data");
    settings.DefaultDir = settings.LoadedDefaultDir = DataDir();
  }

  std::string DataDir() const { return (dir.path() / "data").string(); }

  void WriteSettingsFile(const std::string& keys) {
    dir.Write("Quelvaris.INI", "[Quelvaris]\n" + keys);
  }
  void LoadAtStart() {
    RecordingSink ignored;
    LoadSettingsAtStart(settings, ignored);
  }
  std::string SavedValue(const char* key) const {
    return ReadIniValue(settings.INIFile, "Quelvaris", key, "(absent)");
  }

  Settings& Open() {
    window = std::make_unique<Settings>(settings);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return *window;
  }
  QLineEdit* MissingCodeBox() const { return window->findChild<QLineEdit*>("MissingCodeText"); }
  QLineEdit* DecimalsBox() const { return window->findChild<QLineEdit*>("DecimalsReqText"); }
  QTreeView* DirList() const { return window->findChild<QTreeView*>("Dir1"); }
  QString ListedDir() const {
    auto* model = static_cast<QFileSystemModel*>(DirList()->model());
    return model->filePath(DirList()->currentIndex());
  }
  void Click(const char* key) { window->findChild<QAction*>(key)->trigger(); }

  // Types into a box without leaving it.
  void Type(QLineEdit* box, const QString& text) {
    box->setFocus(Qt::MouseFocusReason);
    box->setText(text);
  }
  // Moves the focus on, as a click into another control does.
  void Leave(QLineEdit* box) {
    QLineEdit* other = box == DecimalsBox() ? MissingCodeBox() : DecimalsBox();
    other->setFocus(Qt::MouseFocusReason);
  }

  TempDir dir;
  GlobalSettings settings;
  ScriptedDialogs dialogs;
  std::unique_ptr<Settings> window;
};

TEST_F(SettingsWindowTest, MissingCodeFromSettingsFileIsShownAndKeptWhenLeftUnchanged) {
  WriteSettingsFile("GlobalMissingCode=-99\nDecimalsReq=4\n");
  LoadAtStart();
  Open();
  EXPECT_EQ(MissingCodeBox()->text(), "-99");
  EXPECT_EQ(DecimalsBox()->text(), "4");

  Type(MissingCodeBox(), MissingCodeBox()->text());
  Leave(MissingCodeBox());
  EXPECT_EQ(settings.GlobalMissingCode, -99);
  EXPECT_EQ(MissingCodeBox()->text(), "-99");
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

TEST_F(SettingsWindowTest, RemovedDefaultDirectoryFallsBackToHomeSilentlyAndResetStaysThere) {
  settings.DefaultDir = settings.LoadedDefaultDir = (dir.path() / "removed").string();
  Open();
  const std::string home = HomeDirectory();
  EXPECT_EQ(fs::path(settings.DefaultDir), fs::path(home));
  EXPECT_EQ(settings.LoadedDefaultDir, home);
  EXPECT_EQ(fs::path(ListedDir().toStdString()), fs::path(home));
  EXPECT_TRUE(dialogs.messages.shown.empty());

  Click("menuReset");
  EXPECT_EQ(fs::path(settings.DefaultDir), fs::path(home));
  EXPECT_EQ(fs::path(ListedDir().toStdString()), fs::path(home));
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

TEST_F(SettingsWindowTest, DecimalsAreCheckedWhenTheBoxLosesTheFocus) {
  struct Case {
    const char* typed;
    const char* message;  // empty: taken
    int stored;
    const char* format;
    const char* box_after;
  };
  const Case cases[] = {
      {"7", kOutOfRange, 2, "0.00", "2"},   {"-0.5", kOutOfRange, 2, "0.00", "2"},
      {"abc", kNotInteger, 2, "0.00", "2"}, {"", kNotInteger, 2, "0.00", "2"},
      {"6.9", "", 6, "0.000000", "6.9"},    {"-0", "", 0, "0", "-0"},
      {"2.5", "", 2, "0.00", "2.5"},        {" 3 ", "", 3, "0.000", " 3 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    settings.DecimalsReq = 2;
    settings.ResultFormat = "0.00";
    dialogs.messages.shown.clear();
    Open();
    Type(DecimalsBox(), c.typed);
    Leave(DecimalsBox());
    EXPECT_EQ(settings.DecimalsReq, c.stored);
    EXPECT_EQ(settings.ResultFormat, c.format);
    EXPECT_EQ(DecimalsBox()->text(), c.box_after);
    if (*c.message) {
      ASSERT_EQ(dialogs.messages.shown.size(), 1u);
      EXPECT_EQ(dialogs.messages.shown[0].title, "Error Message");
      EXPECT_EQ(dialogs.messages.shown[0].text, c.message);
      EXPECT_EQ(dialogs.messages.shown[0].icon, MessageIcon::Error);
    } else {
      EXPECT_TRUE(dialogs.messages.shown.empty());
    }
  }
}

TEST_F(SettingsWindowTest, EnterMovesOnLikeTabAndRunsTheCheck) {
  Open();
  Type(MissingCodeBox(), "12.5");
  QTest::keyClick(MissingCodeBox(), Qt::Key_Return);
  EXPECT_EQ(settings.GlobalMissingCode, 12.5);
  EXPECT_TRUE(DecimalsBox()->hasFocus());

  DecimalsBox()->setText("9");
  QTest::keyClick(DecimalsBox(), Qt::Key_Enter);
  EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"), std::vector<std::string>{kOutOfRange});
  EXPECT_EQ(DecimalsBox()->text(), "2");
  EXPECT_FALSE(DecimalsBox()->hasFocus());
  EXPECT_TRUE(window->isVisible());  // Enter is not the dialog's default button
}

TEST_F(SettingsWindowTest, MissingCodeEntriesTakeAnyNumberAndRestoreOtherwise) {
  struct Case {
    const char* typed;
    double stored;
    const char* box_after;
    bool message;
  };
  const Case cases[] = {
      {"0.25", 0.25, "0.25", false}, {"9999", 9999, "9999", false}, {"abc", -999, "-999", true},
      {"", -999, "-999", true},      {"1,5", -999, "-999", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    settings.GlobalMissingCode = -999;
    dialogs.messages.shown.clear();
    Open();
    Type(MissingCodeBox(), c.typed);
    Leave(MissingCodeBox());
    EXPECT_EQ(settings.GlobalMissingCode, c.stored);
    EXPECT_EQ(MissingCodeBox()->text(), c.box_after);
    EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"),
              c.message ? std::vector<std::string>{"Missing data identifier must be a number."}
                        : std::vector<std::string>{});
  }
}

TEST_F(SettingsWindowTest, LeavingWithInvalidDecimalsStaysOpenAndASecondTryCloses) {
  struct Way {
    const char* name;
    std::function<void()> leave;
  };
  const Way ways[] = {
      {"Back", [this] { Click("menuBack"); }},
      {"Escape", [this] { QTest::keyClick(DecimalsBox(), Qt::Key_Escape); }},
      {"close button", [this] { window->close(); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    dialogs.messages.shown.clear();
    Open();
    Type(DecimalsBox(), "7");
    way.leave();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(DecimalsBox()->text(), "2");
    EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"), std::vector<std::string>{kOutOfRange});

    way.leave();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages.shown.size(), 1u);
    EXPECT_EQ(settings.DecimalsReq, 2);
  }
}

TEST_F(SettingsWindowTest, HiddenDefaultDirectoryIsKept) {
  fs::create_directory(dir.path() / ".hidden");
  settings.DefaultDir = settings.LoadedDefaultDir = (dir.path() / ".hidden").string();
  Open();
  QTest::qWait(300);  // the folders are listed in the background
  EXPECT_EQ(fs::path(settings.DefaultDir), dir.path() / ".hidden");
  EXPECT_EQ(fs::path(ListedDir().toStdString()), dir.path() / ".hidden");
}

TEST_F(SettingsWindowTest, SaveWithInvalidDecimalsSavesTheStoredDecimals) {
  struct Way {
    const char* name;
    std::function<void()> save;
  };
  const Way ways[] = {
      {"Save", [this] { Click("menuSave"); }},
      {"Ctrl+S", [this] { QTest::keySequence(DecimalsBox(), QKeySequence(Qt::CTRL | Qt::Key_S)); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    dialogs.messages.shown.clear();
    fs::remove(settings.INIFile);
    settings.DecimalsReq = 3;
    settings.ResultFormat = "0.000";
    Open();
    Type(DecimalsBox(), "abc");
    way.save();
    ASSERT_EQ(dialogs.messages.shown.size(), 2u);
    EXPECT_EQ(dialogs.messages.shown[0].text, kNotInteger);
    EXPECT_EQ(dialogs.messages.shown[1].title, "Settings Saved");
    EXPECT_EQ(DecimalsBox()->text(), "3");
    EXPECT_EQ(SavedValue("DecimalsReq"), "3");
    EXPECT_EQ(SavedValue("GlobalMissingCode"), "-999");
    EXPECT_EQ(fs::path(SavedValue("DefaultDir")), fs::path(DataDir()));
  }
  // The keys are named after the tooltips' own text.
  EXPECT_EQ(window->findChild<QAction*>("menuSave")->toolTip(), "Save settings (Ctrl+S)");
  EXPECT_EQ(window->findChild<QAction*>("menuBack")->toolTip(), "Close settings window (Esc)");
}

TEST_F(SettingsWindowTest, MissingCodeCountsOnlyOnceItsBoxHasLostTheFocus) {
  Open();
  Type(MissingCodeBox(), "-5");
  Click("menuSave");
  EXPECT_EQ(settings.GlobalMissingCode, -999);
  EXPECT_EQ(SavedValue("GlobalMissingCode"), "-999");

  // Another window taking the focus is not leaving the box either.
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_EQ(settings.GlobalMissingCode, -999);
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_TRUE(MissingCodeBox()->hasFocus());

  Leave(MissingCodeBox());
  EXPECT_EQ(settings.GlobalMissingCode, -5);
  Click("menuSave");
  EXPECT_EQ(SavedValue("GlobalMissingCode"), "-5");
}

TEST_F(SettingsWindowTest, ResetAfterALoadReturnsTheMissingCodeTo999AndKeepsTheDecimals) {
  fs::create_directory(dir.path() / "loaded");
  const std::string loaded = (dir.path() / "loaded").string();
  WriteSettingsFile("GlobalMissingCode=-99\nDecimalsReq=4\nDefaultDir=" + loaded + "\n");
  Open();
  Click("menuOpen");
  EXPECT_TRUE(dialogs.messages.shown.empty());
  EXPECT_EQ(MissingCodeBox()->text(), "-99");
  EXPECT_EQ(DecimalsBox()->text(), "4");
  EXPECT_EQ(fs::path(ListedDir().toStdString()), fs::path(loaded));

  // Wander off to another directory, then Reset.
  DirList()->setCurrentIndex(
      static_cast<QFileSystemModel*>(DirList()->model())->index(QString::fromStdString(DataDir())));
  EXPECT_EQ(fs::path(settings.DefaultDir), fs::path(DataDir()));
  Click("menuReset");
  EXPECT_EQ(settings.GlobalMissingCode, -999);
  EXPECT_EQ(MissingCodeBox()->text(), "-999");
  EXPECT_EQ(settings.DecimalsReq, 4);
  EXPECT_EQ(settings.ResultFormat, "0.0000");
  EXPECT_EQ(DecimalsBox()->text(), "4");
  EXPECT_EQ(fs::path(settings.DefaultDir), fs::path(loaded));
  EXPECT_EQ(fs::path(ListedDir().toStdString()), fs::path(loaded));
}

TEST_F(SettingsWindowTest, LoadAndSaveMessagesNameTheSettingsFile) {
  const std::string path = settings.INIFile;
  WriteSettingsFile("GlobalMissingCode=abc\n");
  Open();
  Click("menuOpen");
  EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"),
            (std::vector<std::string>{
                "Sorry - unable to load default directory from " + path + ".",
                "Sorry - unable to load 'Missing Data Identifier' from " + path + ".",
                "Sorry - unable to load 'Decimals Required' from " + path + "."}));

  dialogs.messages.shown.clear();
  Click("menuSave");
  ASSERT_EQ(dialogs.messages.shown.size(), 1u);
  EXPECT_EQ(dialogs.messages.shown[0].title, "Settings Saved");
  EXPECT_EQ(dialogs.messages.shown[0].text, "Settings saved to " + path + ".");
  EXPECT_EQ(dialogs.messages.shown[0].icon, MessageIcon::Information);

  // A settings file in a folder that does not exist cannot be written.
  dialogs.messages.shown.clear();
  settings.INIFile = (dir.path() / "no-such-folder" / "Quelvaris.INI").string();
  Click("menuSave");
  EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"),
            std::vector<std::string>{"Sorry, unable to save data to " + settings.INIFile + "."});
  EXPECT_TRUE(dialogs.messages.TextsTitled("Settings Saved").empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(SettingsWindowTest, FailingDirectoryOrDriveChangeReportsAndResetsTheWindow) {
  fs::create_directories(dir.path() / "data" / "vanishing");
  fs::create_directory(dir.path() / "not-a-mount-point");
  struct Case {
    const char* what;
    std::function<void()> change;
    const char* line;
  };
  const Case cases[] = {
      {"a directory removed after it was listed",
       [&] {
         auto* model = static_cast<QFileSystemModel*>(DirList()->model());
         const QModelIndex gone =
             model->index(QString::fromStdString((dir.path() / "data" / "vanishing").string()));
         ASSERT_TRUE(gone.isValid());
         fs::remove(dir.path() / "data" / "vanishing");
         DirList()->setCurrentIndex(gone);
       },
       "A file could not be found."},
      {"a drive that is no longer mounted",
       [&] {
         auto* drives = window->findChild<QComboBox*>("Drive1");
         const QString root = QString::fromStdString((dir.path() / "not-a-mount-point").string());
         drives->addItem(root, root);
         drives->setCurrentIndex(drives->count() - 1);
         emit drives->activated(drives->count() - 1);
       },
       "Drive is unavailable."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.messages.shown.clear();
    Open();
    Type(MissingCodeBox(), "-5");
    Leave(MissingCodeBox());
    ASSERT_EQ(settings.GlobalMissingCode, -5);

    c.change();
    const auto errors = dialogs.messages.TextsTitled("Error Message");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(std::string("\r\n") + c.line + "\r\n"), std::string::npos)
        << errors[0];
    EXPECT_EQ(settings.GlobalMissingCode, -999);
    EXPECT_EQ(MissingCodeBox()->text(), "-999");
    EXPECT_EQ(fs::path(settings.DefaultDir), fs::path(DataDir()));
    EXPECT_EQ(fs::path(ListedDir().toStdString()), fs::path(DataDir()));
    EXPECT_TRUE(window->isVisible());
  }
}

TEST_F(SettingsWindowTest, LoadOfAMissingDirectoryReportsAndFallsBackToHome) {
  const std::string missing = (dir.path() / "never-made").string();
  WriteSettingsFile("DefaultDir=" + missing + "\nGlobalMissingCode=-99\nDecimalsReq=4\n");
  Open();
  Click("menuOpen");
  const auto errors = dialogs.messages.TextsTitled("Error Message");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("A file could not be found."), std::string::npos);
  const std::string home = HomeDirectory();
  EXPECT_EQ(fs::path(settings.DefaultDir), fs::path(home));
  EXPECT_EQ(settings.LoadedDefaultDir, home);
  EXPECT_EQ(settings.GlobalMissingCode, -999);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(SettingsWindowTest, ChoosingADirectoryTakesItAtOnce) {
  fs::create_directory(dir.path() / "data" / "sub");
  Open();
  auto* model = static_cast<QFileSystemModel*>(DirList()->model());
  DirList()->setCurrentIndex(
      model->index(QString::fromStdString((dir.path() / "data" / "sub").string())));
  EXPECT_EQ(fs::path(settings.DefaultDir), dir.path() / "data" / "sub");
  EXPECT_EQ(fs::path(settings.LoadedDefaultDir), dir.path() / "data");
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

}  // namespace
}  // namespace quelvaris::testing
