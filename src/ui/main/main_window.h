#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QList>
#include <QMainWindow>
#include <QUrl>

#include "engine/analysis_session.h"
#include "engine/input_checks.h"
#include "engine/run_host.h"
#include "settings/global_settings.h"
#include "ui/main/window_run_reports.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QToolBar;

namespace quelvaris::ui {

class TypedBox;
class ColumnCaption;
// The captions of one column of typed rows, across groups.
using CaptionColumn = std::vector<const ColumnCaption*>;

// The working window: the inputs of an analysis, their checks, the two file pickers, the
// figures of the last run and the Reset / Calculate / Settings / Exit commands. It owns the
// session (request, counters, data table, statistics) for its whole life and is the host of
// every run it starts.
//
// Controls carry their names as objectNames; the two delimiter options are "DelimitOption0"
// ("Tab Delimited") and "DelimitOption1" ("Comma Delimited") in the frame "DelimitFrame".
class Main : public QMainWindow, public RunHost {
  Q_OBJECT

 public:
  explicit Main(GlobalSettings& settings, QWidget* parent = nullptr);
  ~Main() override;

  // Opens the settings window modally for the "tb1Settings" action; set at start-up.
  // Until set, the action opens a small placeholder modal dialog.
  void SetSettingsOpener(std::function<void(QWidget* parent)> opener);
  // Ends the program after a Yes to the exit question (default: QApplication::quit after
  // closing windows); tests replace it.
  void SetExitHandler(std::function<void()> handler);

  // The toolbar command of the given key; any other key does nothing.
  void ToolbarClick(const QString& key);
  void ResetMain();
  // Asks whether to leave; true (after the exit handler ran) when the user said Yes.
  bool ConfirmExit();
  // Files dropped on the window or named on the command line: one local file is taken as the
  // data file exactly as Select File takes it; anything else is refused with a message.
  void TakeDataFiles(const QList<QUrl>& urls);

  const AnalysisSession& Session() const { return session_; }
  // The results window of the run in progress, while it is shown.
  ResultsFrm* Results() const { return reports_.Window(); }

  // RunHost
  void CommitPendingEntry() override;
  std::string BoxText(RunBox box) const override;
  bool SwitchOn(RunSwitch which) const override;
  void ShowStatistics(const StatisticsDisplay& display) override;
  void SetDefaultPointer() override;
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;

  void setVisible(bool visible) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // As large as the controls when the screen has room for them, else the screen's room.
  void FitToScreen();
  void BuildToolbar();
  QWidget* BuildDataFileGroup();
  QWidget* BuildResultsFileGroup();
  QWidget* BuildAttributesGroup();
  QWidget* BuildBoundariesGroup();
  QWidget* BuildCriteriaGroup();
  QWidget* BuildStatsGroup(const QString& title, const QString& prefix,
                           std::array<QLineEdit*, kDisplayRows>& boxes);
  TypedBox* AddTypedBox(const QString& name, const QString& tooltip,
                        CheckResult (*check)(const std::string&, AnalysisRequest&));
  void PickFile(bool results);
  void TakeFile(bool results, const QString& chosen);
  void Calculate();
  void OpenSettings();

  GlobalSettings& settings_;
  AnalysisSession session_;
  WindowRunReports reports_;
  std::function<void(QWidget*)> settings_opener_;
  std::function<void()> exit_handler_;
  bool exiting_ = false;  // the program is closing its windows: no more questions
  bool fitted_ = false;   // sized to the screen on the first show

  std::shared_ptr<CaptionColumn> captions_ = std::make_shared<CaptionColumn>();
  QToolBar* toolbar_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QLineEdit* select_file_text_ = nullptr;
  QLineEdit* results_file_text_ = nullptr;
  QCheckBox* header_row_ = nullptr;
  QGroupBox* delimit_frame_ = nullptr;
  QRadioButton* tab_option_ = nullptr;
  QRadioButton* comma_option_ = nullptr;
  QCheckBox* analyse_all_ = nullptr;
  QCheckBox* apply_bounds_ = nullptr;
  QCheckBox* calc_aicbic_ = nullptr;
  TypedBox* no_of_cols_ = nullptr;
  TypedBox* col_to_anal_ = nullptr;
  TypedBox* thresh_ = nullptr;
  TypedBox* lower_bound_ = nullptr;
  TypedBox* upper_bound_ = nullptr;
  TypedBox* parms_ = nullptr;
  TypedBox* points_ = nullptr;
  std::array<QLineEdit*, kDisplayRows> observed_boxes_{};
  std::array<QLineEdit*, kDisplayRows> modelled_boxes_{};
};

}  // namespace quelvaris::ui
