#pragma once

#include <exception>
#include <string>

#include <QDialog>
#include <QString>

#include "settings/global_settings.h"
#include "ui/common/dialogs.h"

class QAction;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QToolBar;
class QTreeView;

namespace quelvaris::ui {

// The settings window: the missing-data code, the decimals required and the default file
// directory, with Back, Reset, Load and Save. It keeps no copy of the settings: every accepted
// entry goes into GlobalSettings at once and holds until the program ends, saved or not.
class Settings : public QDialog {
  Q_OBJECT

 public:
  explicit Settings(GlobalSettings& settings, QWidget* parent = nullptr);

  // Fills the controls from the settings. A default directory that no longer exists gives way
  // to the home directory without a word: it was most likely removed between two sessions.
  void ShowCurrentSettings();

  // Check the typed entries and take them; false (after the message) when rejected.
  bool CheckDecimals();
  bool CheckMissingCode();

  // The toolbar commands, dispatched by their keys.
  void ToolbarButtonClick(const QString& key);
  void CloseSettings();  // "menuBack"
  void ResetSettings();  // "menuReset"
  void LoadSettings();   // "menuOpen"
  void SaveSettings();   // "menuSave"

  // The drive list's reaction to the user choosing a drive (by its root).
  void DriveChosen(const QString& root);
  // The directory list's reaction to a new current directory.
  void DirectoryChosen(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  QToolBar* BuildToolbar();
  // Moves the directory list to dir and the drive list to its drive; throws RunTimeError.
  void MoveLists(const QString& dir);
  // MoveLists to the home directory, which becomes the default and the loaded directory.
  void FallBackToHome();
  // MoveLists to dir; a directory that is not there falls back home without a word, any other
  // failure is reported.
  void MoveListsOrGoHome(const std::string& dir);
  // Error 76 (path not found) falls back home without a word; any other error is reported.
  void ReportOrGoHome(const std::exception& e);
  void SelectDrive(const QString& root);
  void ShowMissingCode();
  void ShowDecimals();
  void ReportError(int number);

  GlobalSettings& settings_;
  WindowMessageSink sink_;
  QLineEdit* missing_code_ = nullptr;
  QLineEdit* decimals_ = nullptr;
  QComboBox* drive_ = nullptr;
  QTreeView* dir_ = nullptr;
  QFileSystemModel* dir_model_ = nullptr;
  bool moving_lists_ = false;  // the window itself is moving the lists: no user reactions
  bool closing_ = false;
  bool follow_current_ = false;  // keep the current folder in view while the list fills
};

// Opens the settings window modally over parent; the main window's settings command.
void OpenSettingsWindow(GlobalSettings& settings, QWidget* parent);

}  // namespace quelvaris::ui
