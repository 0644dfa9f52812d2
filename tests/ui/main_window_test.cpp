#include <functional>
#include <set>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "scripted_dialogs.h"
#include "support/test_support.h"
#include "ui/main/main_window.h"

namespace quelvaris::ui {
namespace {

using testing::ScriptedDialogs;
using testing::TempDir;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.DefaultDir = "/data/start-here";
    main = std::make_unique<Main>(settings);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
  }

  template <typename T = QLineEdit>
  T* Find(const char* name) {
    T* widget = main->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  // Types text into a box as a user would and leaves it with Enter. Entering the box can run
  // the check of the box Enter last moved to; `entered` runs once the focus is in the new box.
  void TypeAndEnter(const char* box_name, const QString& text,
                    const std::function<void()>& entered = {}) {
    QLineEdit* box = Find(box_name);
    box->setFocus();
    if (entered) entered();
    box->selectAll();
    box->del();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }

  void Click(const char* key) { Find<QAction>(key)->trigger(); }

  ScriptedDialogs dialogs;
  GlobalSettings settings;
  std::unique_ptr<Main> main;
};

TEST_F(MainWindowTest, ChecksAcceptOrRejectWithTheirMessageAndShowTheStoredValue) {
  const std::string cols_range =
      "Columns must be a value from 2 to 30.  Column 1 should contain the observed data.";
  struct Step {
    const char* box;
    const char* typed;
    std::string message;  // empty: accepted
    const char* shown;
  };
  const Step steps[] = {
      {"ThreshText", "abc", "Threshold must be a value.", "0"},
      {"ThreshText", " 12.50 ", "", "12.5"},
      {"UpperBoundText", "0", "Upper bound must be greater than lower bound.", "9999"},
      {"LowerBoundText", "1.50", "", "1.5"},
      {"UpperBoundText", "1.5", "Upper bound must be greater than lower bound.", "9999"},
      {"LowerBoundText", "9999", "Lower bound must be less than upper bound.", "1.5"},
      {"NoOfColsText", "31", cols_range, "2"},
      {"NoOfColsText", "", "Columns must be a value from 2 to 30.", "2"},
      {"NoOfColsText", "30.4", cols_range, "2"},
      {"NoOfColsText", "1.6", cols_range, "2"},
      {"NoOfColsText", "4", "", "4"},
      {"ColToAnalText", "5",
       "Column to analyse must be less than the total number of columns available.", "2"},
      {"ColToAnalText", "101", "Column to analyse must be a value from 2 to 100.", "2"},
      {"ColToAnalText", "x", "Column to analyse must be a value from 2 to 100.", "2"},
      {"ColToAnalText", "4", "", "4"},
      {"NoOfColsText", "2.5", "", "2"},  // halves to even
      {"AICBICParmsText", "2", "", "2"},
      {"AICBICParmsText", "3.7", "", "3"},
      {"AICBICParmsText", "1", "Parameters must be a positive integer greater than 2.", "3"},
      {"AICBICParmsText", "", "Parameters must be a value.", "3"},
      {"AICBICPointsText", "1", "Data points must be a positive integer greater than 2.", "0"},
      {"AICBICPointsText", "12e1", "", "120"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.box) + " <- \"" + step.typed + "\"");
    TypeAndEnter(step.box, QString::fromLatin1(step.typed),
                 [this] { dialogs.messages.shown.clear(); });
    if (step.message.empty()) {
      EXPECT_TRUE(dialogs.messages.shown.empty());
    } else {
      ASSERT_EQ(dialogs.messages.shown.size(), 1u);
      const auto& shown = dialogs.messages.shown.front();
      EXPECT_EQ(shown.title, "Error Message");
      EXPECT_EQ(shown.text, step.message);
      EXPECT_EQ(shown.icon, MessageIcon::Error);
      EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(Find(step.box)->text().toStdString(), step.shown);
  }
  const AnalysisRequest& request = main->Session().request;
  EXPECT_EQ(request.Threshold, 12.5);
  EXPECT_EQ(request.LowerBound, 1.5);
  EXPECT_EQ(request.UpperBound, 9999);
  EXPECT_EQ(request.NoOfCols, 2);
  EXPECT_EQ(request.ColToAnal, 4);  // not checked again when the columns were lowered
  EXPECT_EQ(request.AICBICParms, 3);
  EXPECT_EQ(request.AICBICPoints, 120);
}

TEST_F(MainWindowTest, LeavingABoxByAnyMeansRunsItsCheckAndEnterMovesOn) {
  QLineEdit* thresh = Find("ThreshText");
  thresh->setFocus();
  thresh->setText(QStringLiteral("lots"));
  Find<QCheckBox>("ApplyBounds")->setFocus();  // as a mouse click elsewhere would
  ASSERT_EQ(dialogs.messages.TextsTitled("Error Message"),
            std::vector<std::string>{"Threshold must be a value."});
  EXPECT_EQ(thresh->text(), QStringLiteral("0"));

  TypeAndEnter("ThreshText", QStringLiteral("7"));
  EXPECT_FALSE(thresh->hasFocus());
  EXPECT_EQ(main->Session().request.Threshold, 7);
}

TEST_F(MainWindowTest, ResetPutsBackEveryDefault) {
  dialogs.files = {QStringLiteral("/tmp/in.txt"), QStringLiteral("/tmp/out.txt")};
  Find<QPushButton>("SelectButton")->click();
  Find<QPushButton>("SelectResultsButton")->click();
  TypeAndEnter("NoOfColsText", QStringLiteral("5"));
  TypeAndEnter("ColToAnalText", QStringLiteral("3"));
  TypeAndEnter("ThreshText", QStringLiteral("2"));
  TypeAndEnter("LowerBoundText", QStringLiteral("-4"));
  TypeAndEnter("UpperBoundText", QStringLiteral("40"));
  TypeAndEnter("AICBICParmsText", QStringLiteral("3"));
  TypeAndEnter("AICBICPointsText", QStringLiteral("30"));
  for (const char* name : {"HeaderRow", "AnalyseAllCheck", "ApplyBounds", "CalcAICBIC"}) {
    Find<QCheckBox>(name)->setChecked(true);
  }
  Find<QRadioButton>("DelimitOption1")->setChecked(true);
  StatisticsDisplay display;
  display.observed.fill("1.00");
  display.modelled.fill("2.00");
  main->ShowStatistics(display);

  Click("tb1Reset");

  EXPECT_EQ(Find("SelectFileText")->text(), QStringLiteral("Not selected"));
  EXPECT_EQ(Find("ResultsFileText")->text(), QStringLiteral("Not selected"));
  const std::pair<const char*, const char*> texts[] = {
      {"NoOfColsText", "2"},    {"ColToAnalText", "2"},     {"ThreshText", "0"},
      {"LowerBoundText", "0"},  {"UpperBoundText", "9999"}, {"AICBICParmsText", "0"},
      {"AICBICPointsText", "0"}};
  for (const auto& [name, text] : texts) EXPECT_EQ(Find(name)->text().toStdString(), text) << name;
  for (const char* name : {"HeaderRow", "AnalyseAllCheck", "ApplyBounds", "CalcAICBIC"}) {
    EXPECT_FALSE(Find<QCheckBox>(name)->isChecked()) << name;
  }
  EXPECT_TRUE(Find<QRadioButton>("DelimitOption0")->isChecked());
  for (const char* group : {"Obs", "Mod"}) {
    for (const char* stat : {"Mean", "SD", "Min", "Max", "POT", "Skew", "Kur", "OOB"}) {
      const std::string name = std::string(group) + stat + "Text";
      EXPECT_TRUE(Find(name.c_str())->text().isEmpty()) << name;
    }
  }
  const AnalysisRequest& request = main->Session().request;
  EXPECT_TRUE(request.DataFileName.empty() && request.DataFilePath.empty());
  EXPECT_TRUE(request.ResultsFileName.empty() && request.ResultsFilePath.empty());
  EXPECT_EQ(request.NoOfCols, 2);
  EXPECT_EQ(request.UpperBound, 9999);
}

TEST_F(MainWindowTest, PickersShowTheNameAndACancelKeepsTheEarlierChoice) {
  struct Picker {
    const char* button;
    const char* display;
    std::string AnalysisRequest::*name;
    std::string AnalysisRequest::*path;
    FilePick pick;  // the data file must be there; the run creates the results file
  };
  const Picker pickers[] = {
      {"SelectButton", "SelectFileText", &AnalysisRequest::DataFileName,
       &AnalysisRequest::DataFilePath, FilePick::ExistingFile},
      {"SelectResultsButton", "ResultsFileText", &AnalysisRequest::ResultsFileName,
       &AnalysisRequest::ResultsFilePath, FilePick::AnyName},
  };
  for (const Picker& picker : pickers) {
    SCOPED_TRACE(picker.button);
    dialogs.files = {QStringLiteral("/srv/flows/river.csv"), std::nullopt};
    Find<QPushButton>(picker.button)->click();
    EXPECT_EQ(dialogs.last_start_dir, QStringLiteral("/data/start-here"));
    EXPECT_EQ(dialogs.last_pick, picker.pick);
    EXPECT_EQ(dialogs.last_filters,
              (QStringList{QStringLiteral("All Files (*.*)"), QStringLiteral("CSV Files (*.CSV)"),
                           QStringLiteral("TXT Files (*.TXT)")}));
    Find<QPushButton>(picker.button)->click();  // cancelled
    EXPECT_EQ(Find(picker.display)->text(), QStringLiteral("river.csv"));
    EXPECT_EQ(main->Session().request.*picker.name, "river.csv");
    EXPECT_EQ(main->Session().request.*picker.path, "/srv/flows/river.csv");
  }
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

TEST_F(MainWindowTest, LongTextsReadFromTheirStart) {
  // Typed boxes after every kind of check: accepted, and rejected back to a long value.
  struct Step {
    const char* box;
    const char* typed;
    const char* shown;
  };
  const Step steps[] = {
      {"ThreshText", "0.123456789012346", "0.123456789012346"},
      {"ThreshText", "abc", "0.123456789012346"},
      {"LowerBoundText", "-12345.6789012345", "-12345.6789012345"},
      {"UpperBoundText", "-99999", "9999"},
      {"UpperBoundText", "98765.4321098765", "98765.4321098765"},
      {"AICBICPointsText", "123456789012", "123456789012"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.box) + " <- " + step.typed);
    TypeAndEnter(step.box, QString::fromLatin1(step.typed));
    QLineEdit* box = Find(step.box);
    EXPECT_FALSE(box->hasFocus());
    EXPECT_EQ(box->text().toStdString(), step.shown);
    EXPECT_EQ(box->cursorPosition(), 0);
  }

  // A long file name reads as a name, its whole path in the tooltip.
  const QString path = QStringLiteral(
      "/srv/hydrology/catchment-north/calibration-2024/upper-river-daily-flows-observed-and-"
      "modelled.csv");
  for (const auto& [button, display] : {std::pair{"SelectButton", "SelectFileText"},
                                        std::pair{"SelectResultsButton", "ResultsFileText"}}) {
    SCOPED_TRACE(button);
    dialogs.files = {path};
    Find<QPushButton>(button)->click();
    QLineEdit* box = Find(display);
    EXPECT_EQ(box->text(), QStringLiteral("upper-river-daily-flows-observed-and-modelled.csv"));
    EXPECT_EQ(box->cursorPosition(), 0);
    EXPECT_EQ(box->toolTip(), path);
  }
  Click("tb1Reset");
  EXPECT_TRUE(Find("SelectFileText")->toolTip().isEmpty());
}

TEST_F(MainWindowTest, ExitQuestionForTheCommandAndTheCloseBox) {
  struct Case {
    bool close_box;
    MessageAnswer answer;
  };
  for (const Case c : {Case{false, MessageAnswer::No}, Case{true, MessageAnswer::No},
                       Case{false, MessageAnswer::Yes}}) {
    SCOPED_TRACE(std::string(c.close_box ? "close box, " : "Exit, ") +
                 (c.answer == MessageAnswer::Yes ? "Yes" : "No"));
    int exits = 0;
    main->SetExitHandler([&] { ++exits; });
    TypeAndEnter("ThreshText", QStringLiteral("3"));
    dialogs.messages.shown.clear();
    dialogs.messages.answers = {c.answer};
    if (c.close_box) {
      main->close();
    } else {
      Click("tb1Exit");
    }
    ASSERT_EQ(dialogs.messages.shown.size(), 1u);
    const auto& shown = dialogs.messages.shown.front();
    EXPECT_EQ(shown.title, "Exit Quelvaris?");
    EXPECT_EQ(shown.text, "Do you really want to exit Quelvaris?");
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_EQ(shown.buttons, MessageButtons::YesNo);
    const bool yes = c.answer == MessageAnswer::Yes;
    EXPECT_EQ(exits, yes ? 1 : 0);
    if (!yes) {
      EXPECT_TRUE(main->isVisible());
      EXPECT_EQ(Find("ThreshText")->text(), QStringLiteral("3"));
    }
  }
  // After a Yes the program is on its way out: closing asks nothing more.
  dialogs.messages.shown.clear();
  main->close();
  EXPECT_TRUE(dialogs.messages.shown.empty());
  EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindowTest, UnknownToolbarKeysDoNothingAndSettingsUsesTheOpener) {
  QWidget* opened_over = nullptr;
  main->SetSettingsOpener([&](QWidget* parent) { opened_over = parent; });
  main->ToolbarClick(QStringLiteral("tb1settings"));
  main->ToolbarClick(QStringLiteral("menuPrint"));
  EXPECT_EQ(opened_over, nullptr);
  EXPECT_TRUE(dialogs.messages.shown.empty());
  Click("tb1Settings");
  EXPECT_EQ(opened_over, main.get());
}

TEST_F(MainWindowTest, CalculateWithoutAFileSaysSoAndLeavesTheFiguresAlone) {
  StatisticsDisplay display;
  display.observed.fill("8.00");
  main->ShowStatistics(display);
  Click("tb1Calcs");
  ASSERT_EQ(dialogs.messages.shown.size(), 1u);
  EXPECT_EQ(dialogs.messages.shown[0].title, "Error Message");
  EXPECT_EQ(dialogs.messages.shown[0].text, "You must select a file to analyse.");
  EXPECT_EQ(Find("ObsMeanText")->text(), QStringLiteral("8.00"));
  EXPECT_EQ(main->Results(), nullptr);
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptionsAndTooltips) {
  const std::pair<const char*, const char*> tooltips[] = {
      {"SelectButton", "Select file to analyse (Ctrl+O)"},
      {"SelectResultsButton", "Select file to save results to - optional (Ctrl+Shift+O)"},
      {"NoOfColsText", "Number of columns in the file - includes modelled column"},
      {"ColToAnalText", "Which column modelled data are in"},
      {"AnalyseAllCheck", "Analyse all Modelled Columns"},
      {"ThreshText", "Threshold for POT calculations"},
      {"LowerBoundText", "Lower bound for filtering analyses"},
      {"UpperBoundText", "Upper bound for filtering analyses"},
      {"CalcAICBIC", "Calculate AIC and BIC criteria"},
      {"AICBICParmsText", "Number of parameters in the model"},
      {"AICBICPointsText", "Data points used in calibration"},
  };
  for (const auto& [name, tip] : tooltips) {
    EXPECT_EQ(Find<QWidget>(name)->toolTip().toStdString(), tip) << name;
  }
  // The tooltips name the keys after their own text.
  const char* actions[][3] = {
      {"tb1Reset", "Reset", "Reset to original values (Ctrl+R)"},
      {"tb1Calcs", "Calculate", "Perform Stats Calculations (F5, Ctrl+Return)"},
      {"tb1Settings", "Settings", "Settings (Ctrl+,)"},
      {"tb1Exit", "Exit", "Exit Program (Ctrl+Q)"}};
  const QList<QAction*> in_order = Find<QToolBar>("Toolbar1")->actions();
  ASSERT_EQ(in_order.size(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(in_order[i]->objectName().toStdString(), actions[i][0]);
    EXPECT_EQ(in_order[i]->text().toStdString(), actions[i][1]);
    EXPECT_EQ(in_order[i]->toolTip().toStdString(), actions[i][2]);
    EXPECT_FALSE(in_order[i]->icon().isNull());
  }
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Quelvaris 1.3"));
  EXPECT_EQ(Find<QRadioButton>("DelimitOption0")->text(), QStringLiteral("Tab Delimited"));
  EXPECT_EQ(Find<QRadioButton>("DelimitOption1")->text(), QStringLiteral("Comma Delimited"));
}

TEST_F(MainWindowTest, EveryShortcutRunsItsCommand) {
  int settings_opened = 0;
  main->SetSettingsOpener([&](QWidget*) { ++settings_opened; });
  int exits = 0;
  main->SetExitHandler([&] { ++exits; });
  struct Case {
    QKeySequence key;
    const char* focus;  // the control with the focus when the key is pressed
    std::function<void()> before;
    std::function<void()> check;
  };
  const Case cases[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_O), "ThreshText",
       [&] { dialogs.files = {QStringLiteral("/srv/in.txt")}; },
       [&] { EXPECT_EQ(Find("SelectFileText")->text(), QStringLiteral("in.txt")); }},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), "ThreshText",
       [&] { dialogs.files = {QStringLiteral("/srv/out.txt")}; },
       [&] { EXPECT_EQ(Find("ResultsFileText")->text(), QStringLiteral("out.txt")); }},
      // Calculate from inside a typed box: the key is not taken for Enter-moves-on.
      {QKeySequence(Qt::Key_F5), "ThreshText", [] {},
       [&] {
         EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"),
                   std::vector<std::string>{"You must select a file to analyse."});
       }},
      {QKeySequence(Qt::CTRL | Qt::Key_Return), "ColToAnalText", [] {},
       [&] {
         EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"),
                   std::vector<std::string>{"You must select a file to analyse."});
       }},
      {QKeySequence(Qt::CTRL | Qt::Key_Comma), "ThreshText", [] {},
       [&] { EXPECT_EQ(settings_opened, 1); }},
      {QKeySequence(Qt::CTRL | Qt::Key_R), "ThreshText", [&] { TypeAndEnter("ThreshText", "4"); },
       [&] { EXPECT_EQ(Find("ThreshText")->text(), QStringLiteral("0")); }},
      // Exit asks first; No keeps the program running.
      {QKeySequence(Qt::CTRL | Qt::Key_Q), "ThreshText",
       [&] { dialogs.messages.answers = {MessageAnswer::No}; },
       [&] {
         EXPECT_EQ(dialogs.messages.TextsTitled("Exit Quelvaris?"),
                   std::vector<std::string>{"Do you really want to exit Quelvaris?"});
         EXPECT_EQ(exits, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key.toString().toStdString());
    main->ResetMain();
    c.before();
    dialogs.messages.shown.clear();
    QWidget* focus = Find<QWidget>(c.focus);
    focus->setFocus();
    QTest::keySequence(focus, c.key);
    QTest::qWait(150);  // a button's key shows the button pressed for a moment, then clicks it
    c.check();
  }
}

TEST_F(MainWindowTest, ADroppedFileIsTakenAsSelectFileTakesItAndAnythingElseIsRefused) {
  TempDir dir;
  dir.Write("flows.txt", "1\t2\r\n");
  const QString folder = QString::fromStdString(dir.path().string());
  const QUrl file = QUrl::fromLocalFile(folder + QStringLiteral("/flows.txt"));
  struct Case {
    const char* what;
    QList<QUrl> urls;
    QString refusal;  // empty: taken
  };
  const Case cases[] = {
      {"a file", {file}, {}},
      {"a folder", {QUrl::fromLocalFile(folder)}, folder + " is a folder: choose a data file."},
      {"two files", {file, file}, "Only one data file can be analysed at a time; 2 were given."},
      {"a web address",
       {QUrl(QStringLiteral("https://example.org/flows.txt"))},
       "Only files on this computer can be analysed: https://example.org/flows.txt is not one."},
      {"a file that is gone",
       {QUrl::fromLocalFile(folder + QStringLiteral("/gone.txt"))},
       "The data file " + folder + "/gone.txt does not exist."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.files = {QStringLiteral("/srv/earlier.csv")};
    Find<QPushButton>("SelectButton")->click();
    dialogs.messages.shown.clear();

    QMimeData mime;
    mime.setUrls(c.urls);
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &drop);
    QApplication::processEvents();

    const AnalysisRequest& request = main->Session().request;
    if (c.refusal.isEmpty()) {
      EXPECT_TRUE(dialogs.messages.shown.empty());
      EXPECT_EQ(Find("SelectFileText")->text(), QStringLiteral("flows.txt"));
      EXPECT_EQ(request.DataFileName, "flows.txt");
      EXPECT_EQ(request.DataFilePath, file.toLocalFile().toStdString());
    } else {
      EXPECT_EQ(dialogs.messages.TextsTitled("Error Message"),
                std::vector<std::string>{c.refusal.toStdString()});
      EXPECT_EQ(Find("SelectFileText")->text(), QStringLiteral("earlier.csv"));
      EXPECT_EQ(request.DataFilePath, "/srv/earlier.csv");
    }
    EXPECT_TRUE(request.ResultsFilePath.empty());  // a drop never names the results file
  }
}

// On a screen smaller than the window's content (the test platform's 800 x 600) the window fits
// the screen and scrolls to every control; in a large font as in the toolkit's, every caption
// shows its whole text and the typed boxes of the left-hand groups still stand in one line.
TEST(MainWindowLayoutTest, FitsTheScreenAndLaysTheCaptionsOutFromTheirText) {
  const QFont toolkit_font = QApplication::font();
  QFont large = toolkit_font;
  large.setPixelSize(22);
  for (const QFont& font : {toolkit_font, large}) {
    SCOPED_TRACE(font.toString().toStdString());
    QApplication::setFont(font);
    GlobalSettings settings;
    Main main(settings);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QTest::qWait(20);
    EXPECT_TRUE(main.screen()->availableGeometry().contains(main.frameGeometry()))
        << main.frameGeometry().width() << " x " << main.frameGeometry().height();

    auto* area = qobject_cast<QScrollArea*>(main.centralWidget());
    ASSERT_NE(area, nullptr);
    for (const char* name : {"SelectButton", "AICBICPointsText", "ModOOBText"}) {
      auto* control = main.findChild<QWidget*>(QString::fromLatin1(name));
      const QRect place(control->mapTo(area->widget(), QPoint(0, 0)), control->size());
      area->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1,
                          place.height() / 2 + 1);
      const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
      EXPECT_TRUE(area->viewport()->rect().contains(shown)) << name;
    }
    for (const QLabel* label : main.findChildren<QLabel*>()) {
      EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
          << label->text().toStdString();
    }
    std::set<int> box_lefts;
    for (const char* name : {"NoOfColsText", "ColToAnalText", "ThreshText", "LowerBoundText",
                             "UpperBoundText", "AICBICParmsText", "AICBICPointsText"}) {
      auto* box = main.findChild<QWidget*>(QString::fromLatin1(name));
      box_lefts.insert(box->mapTo(&main, QPoint(0, 0)).x());
      EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(QString(11, QLatin1Char('0'))))
          << name;
    }
    EXPECT_EQ(box_lefts.size(), 1u);
  }
  QApplication::setFont(toolkit_font);
}

}  // namespace
}  // namespace quelvaris::ui
