#include "ui/settings/settings_window.h"

#include <functional>
#include <utility>

#include <QComboBox>
#include <QEvent>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/number_text.h"
#include "platform/run_time_error.h"
#include "settings/error_reporter.h"
#include "settings/settings_checks.h"
#include "settings/settings_store.h"
#include "ui/common/shortcuts.h"
#include "ui/settings/drive_list.h"

namespace quelvaris::ui {
namespace {

const QColor kBackground(0, 0, 64);
constexpr double kResetMissingCode = -999;

// Set while the window itself moves its lists, so their change signals are not taken for the
// user's choice.
class ListMove {
 public:
  explicit ListMove(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~ListMove() { flag_ = old_; }
  ListMove(const ListMove&) = delete;
  ListMove& operator=(const ListMove&) = delete;

 private:
  bool& flag_;
  bool old_;
};

QLabel* MakeLabel(const QString& text, const QString& tooltip, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  if (!tooltip.isEmpty()) label->setToolTip(tooltip);
  return label;
}

// The groups carry a thin light frame: the style's own frame vanishes on the dark blue. A style
// sheet no longer takes the labels' colour from the palette, so it names it.
QGroupBox* MakeGroup(const QString& title, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setStyleSheet(
      "QGroupBox { border: 1px solid #c0c0d8; border-radius: 2px; margin-top: 0.8em; "
      "padding: 0.6em 0.4em 0.4em 0.4em; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; color: white; }"
      "QLabel { color: white; }");
  return group;
}

// Receives what the Load command took from the settings file and shows it.
class LoadListener : public SettingsListener {
 public:
  LoadListener(std::function<void(const std::string&)> dir, std::function<void()> code,
               std::function<void()> decimals)
      : dir_(std::move(dir)), code_(std::move(code)), decimals_(std::move(decimals)) {}
  void DefaultDirLoaded(const std::string& dir) override { dir_(dir); }
  void MissingCodeLoaded(double) override { code_(); }
  void DecimalsLoaded(int) override { decimals_(); }

 private:
  std::function<void(const std::string&)> dir_;
  std::function<void()> code_;
  std::function<void()> decimals_;
};

}  // namespace

Settings::Settings(GlobalSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), sink_(this) {
  setObjectName("Settings");
  setWindowTitle("Settings");
  setFont(QFont("Arial", 10));
  BuildControls();
}

void Settings::BuildControls() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(BuildToolbar());

  // The toolbar keeps the usual colours; the body is dark blue with white text.
  auto* body = new QWidget(this);
  QPalette dark = body->palette();
  dark.setColor(QPalette::Window, kBackground);
  dark.setColor(QPalette::WindowText, Qt::white);
  body->setPalette(dark);
  body->setAutoFillBackground(true);
  outer->addWidget(body, 1);
  auto* columns = new QVBoxLayout(body);
  columns->setContentsMargins(12, 10, 12, 12);
  columns->setSpacing(12);

  auto* misc = MakeGroup(" Miscellaneous", body);
  auto* misc_grid = new QGridLayout(misc);
  missing_code_ = new QLineEdit(misc);
  missing_code_->setObjectName("MissingCodeText");
  missing_code_->setToolTip("Global missing data code");
  missing_code_->setText("-999");
  decimals_ = new QLineEdit(misc);
  decimals_->setObjectName("DecimalsReqText");
  decimals_->setToolTip("How many decimal places required in results");
  decimals_->setText("DecimalsReq");
  for (QLineEdit* box : {missing_code_, decimals_}) box->setFixedWidth(110);
  misc_grid->addWidget(
      MakeLabel("Missing Data Identifier:", "Value that represents missing data in files ", misc),
      0, 0);
  misc_grid->addWidget(missing_code_, 0, 1);
  misc_grid->addWidget(MakeLabel("Decimal Places Required (0 to 6)", {}, misc), 1, 0);
  misc_grid->addWidget(decimals_, 1, 1);
  misc_grid->setColumnStretch(0, 1);
  columns->addWidget(misc);

  const QString location_tip = "Location of setting preferences";
  auto* dirs = MakeGroup("Default File Directory", body);
  dirs->setToolTip(location_tip);
  auto* dir_grid = new QGridLayout(dirs);
  drive_ = new QComboBox(dirs);
  drive_->setObjectName("Drive1");
  drive_->setToolTip("Locate predictor(s) drive");
  for (const Drive& d : MountedDrives()) drive_->addItem(d.label, d.root);
  dir_model_ = new QFileSystemModel(this);
  dir_model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  dir_model_->setRootPath(QDir::rootPath());
  dir_ = new QTreeView(dirs);
  dir_->setObjectName("Dir1");
  dir_->setToolTip("Locate predictor(s) directory");
  dir_->setModel(dir_model_);
  for (int column = 1; column < dir_model_->columnCount(); ++column) dir_->hideColumn(column);
  dir_->setHeaderHidden(true);
  dir_->setMinimumSize(300, 220);
  dir_grid->addWidget(MakeLabel("Drive:", location_tip, dirs), 0, 0);
  dir_grid->addWidget(drive_, 0, 1);
  dir_grid->addWidget(MakeLabel("Directory:", location_tip, dirs), 1, 0, Qt::AlignTop);
  dir_grid->addWidget(dir_, 1, 1);
  dir_grid->setColumnStretch(1, 1);
  columns->addWidget(dirs, 1);

  setTabOrder(missing_code_, decimals_);
  setTabOrder(decimals_, drive_);
  setTabOrder(drive_, dir_);

  connect(drive_, &QComboBox::activated, this,
          [this](int index) { DriveChosen(drive_->itemData(index).toString()); });
  connect(dir_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) DirectoryChosen(dir_model_->filePath(current));
          });
  // The model lists and sorts folders in the background, which shifts the rows after the list
  // was moved: keep the current folder in view until the user takes over the list.
  const auto keep_in_view = [this] {
    if (follow_current_ && dir_->currentIndex().isValid()) {
      dir_->scrollTo(dir_->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
  };
  connect(dir_model_, &QFileSystemModel::directoryLoaded, this, keep_in_view);
  connect(dir_model_, &QAbstractItemModel::layoutChanged, this, keep_in_view);
  connect(dir_model_, &QAbstractItemModel::rowsInserted, this, keep_in_view);
  dir_->viewport()->installEventFilter(this);
  dir_->verticalScrollBar()->installEventFilter(this);
  for (QWidget* control : std::initializer_list<QWidget*>{missing_code_, decimals_, drive_, dir_}) {
    control->installEventFilter(this);
  }
}

QToolBar* Settings::BuildToolbar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName("Toolbar1");
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setIconSize(QSize(24, 24));
  struct Button {
    const char* key;
    const char* caption;
    const char* tooltip;
    QStyle::StandardPixmap icon;
    QList<QKeySequence> keys;
  };
  const Button buttons[] = {
      {"menuBack",
       "Back",
       "Close settings window",
       QStyle::SP_ArrowBack,
       {QKeySequence(Qt::Key_Escape)}},
      {"menuReset", "Reset", "Reset to original values", QStyle::SP_BrowserReload, {}},
      {"menuOpen", "Load", "Load saved settings ", QStyle::SP_DialogOpenButton, {}},
      {"menuSave",
       "Save",
       "Save settings ",
       QStyle::SP_DialogSaveButton,
       {QKeySequence(Qt::CTRL | Qt::Key_S)}},
  };
  for (const Button& b : buttons) {
    if (QLatin1String(b.key) == QLatin1String("menuOpen")) bar->addSeparator();
    QAction* action = bar->addAction(style()->standardIcon(b.icon), b.caption);
    action->setObjectName(b.key);
    action->setToolTip(b.tooltip);
    AddShortcuts(action, b.keys);
    connect(action, &QAction::triggered, this,
            [this, key = QString(b.key)] { ToolbarButtonClick(key); });
  }
  return bar;
}

void Settings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  closing_ = false;
  ShowCurrentSettings();
  missing_code_->setFocus(Qt::OtherFocusReason);
}

void Settings::ShowCurrentSettings() {
  MoveListsOrGoHome(settings_.DefaultDir);
  ShowDecimals();
  ShowMissingCode();
}

bool Settings::CheckDecimals() {
  const SettingCheck check = quelvaris::CheckDecimals(decimals_->text().toStdString(), settings_);
  if (!check.accepted) ShowErrorMessage(sink_, check.message);
  const QString box = QString::fromStdString(check.box_text);
  if (decimals_->text() != box) decimals_->setText(box);
  return check.accepted;
}

bool Settings::CheckMissingCode() {
  const SettingCheck check =
      quelvaris::CheckMissingCode(missing_code_->text().toStdString(), settings_);
  if (!check.accepted) ShowErrorMessage(sink_, check.message);
  const QString box = QString::fromStdString(check.box_text);
  if (missing_code_->text() != box) missing_code_->setText(box);
  return check.accepted;
}

void Settings::ToolbarButtonClick(const QString& key) {
  if (key == "menuBack") {
    CloseSettings();
  } else if (key == "menuReset") {
    ResetSettings();
  } else if (key == "menuOpen") {
    LoadSettings();
  } else if (key == "menuSave") {
    SaveSettings();
  }
}

void Settings::CloseSettings() {
  try {
    if (!CheckDecimals()) return;
  } catch (const std::exception& e) {
    ReportOrGoHome(e);
  }
  closing_ = true;
  QDialog::accept();
}

void Settings::reject() {
  // Escape and the window's close button leave the way Back does, decimals check included.
  CloseSettings();
}

void Settings::ResetSettings() {
  settings_.GlobalMissingCode = kResetMissingCode;
  ShowMissingCode();
  settings_.DefaultDir = settings_.LoadedDefaultDir;
  MoveListsOrGoHome(settings_.LoadedDefaultDir);
  ShowDecimals();
}

void Settings::MoveListsOrGoHome(const std::string& dir) {
  try {
    MoveLists(QString::fromStdString(dir));
  } catch (const std::exception& e) {
    ReportOrGoHome(e);
  }
}

void Settings::ReportOrGoHome(const std::exception& e) {
  // A directory that is not there (removed since it was chosen, or just taken by a Load) sends
  // the lists to the home directory, the one place sure to be there; the rest is reported.
  const int number = ErrorNumberOf(e);
  if (number == err::kPathNotFound) {
    FallBackToHome();
  } else {
    ReportError(number);
  }
}

void Settings::LoadSettings() {
  LoadListener listener([this](const std::string& dir) { MoveLists(QString::fromStdString(dir)); },
                        [this] { ShowMissingCode(); }, [this] { ShowDecimals(); });
  bool loaded = false;
  try {
    loaded = quelvaris::LoadSavedSettings(settings_, sink_, listener);
  } catch (const std::exception& e) {
    ReportError(ErrorNumberOf(e));
  }
  if (!loaded) ResetSettings();
}

void Settings::SaveSettings() {
  try {
    // An invalid decimals box has its say but does not stop the save: the stored decimals
    // are saved.
    CheckDecimals();
    quelvaris::SaveSettings(settings_, sink_);
  } catch (const std::exception& e) {
    ReportError(ErrorNumberOf(e));
    ResetSettings();
  }
}

void Settings::DriveChosen(const QString& root) {
  if (root == DriveOf(QString::fromStdString(settings_.DefaultDir))) return;
  try {
    CheckDriveReady(root);
    MoveLists(root);
  } catch (const std::exception& e) {
    ReportError(ErrorNumberOf(e));
    ResetSettings();
  }
}

void Settings::DirectoryChosen(const QString& path) {
  if (moving_lists_) return;
  try {
    const QString dir = CheckDirectory(path);
    settings_.DefaultDir = dir.toStdString();
    const ListMove move(moving_lists_);
    SelectDrive(DriveOf(dir));
  } catch (const std::exception& e) {
    ReportError(ErrorNumberOf(e));
    ResetSettings();
  }
}

void Settings::MoveLists(const QString& dir) {
  const QString path = CheckDirectory(dir);
  const QString drive = DriveOf(path);
  CheckDriveReady(drive);
  const QModelIndex index = dir_model_->index(path);
  if (!index.isValid()) throw RunTimeError(err::kPathNotFound);
  const ListMove move(moving_lists_);
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) dir_->expand(up);
  dir_->setCurrentIndex(index);
  dir_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  follow_current_ = true;
  SelectDrive(drive);
  settings_.DefaultDir = dir_model_->filePath(index).toStdString();
}

void Settings::FallBackToHome() {
  const std::string home = HomeDirectory();
  settings_.DefaultDir = home;
  settings_.LoadedDefaultDir = home;
  try {
    MoveLists(QString::fromStdString(home));
  } catch (const std::exception&) {
    // A home directory that cannot be listed leaves the lists where they are; the setting
    // still names it, which is what the file pickers fall back to as well.
  }
}

void Settings::SelectDrive(const QString& root) {
  int index = drive_->findData(root);
  if (index < 0 && !root.isEmpty()) {
    drive_->addItem(root, root);
    index = drive_->count() - 1;
  }
  drive_->setCurrentIndex(index);
}

void Settings::ShowMissingCode() {
  missing_code_->setText(QString::fromStdString(FormatGeneral(settings_.GlobalMissingCode)));
}

void Settings::ShowDecimals() {
  decimals_->setText(QString::number(settings_.DecimalsReq));
}

void Settings::ReportError(int number) {
  quelvaris::ErrorReporter(sink_, static_cast<std::int16_t>(number), "");
}

bool Settings::eventFilter(QObject* watched, QEvent* event) {
  const bool list_part =
      watched == dir_ || watched == dir_->viewport() || watched == dir_->verticalScrollBar();
  if (list_part && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel ||
                    event->type() == QEvent::KeyPress)) {
    follow_current_ = false;
  }
  if (event->type() == QEvent::KeyPress) {
    // Enter moves on like Tab, and leaving a box this way runs its check.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      focusNextChild();
      return true;
    }
  } else if (event->type() == QEvent::FocusOut && !closing_) {
    // Only a move of the focus inside the window counts as leaving the box: not the window
    // losing the focus to another program, to a message box or on closing.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == decimals_) {
        CheckDecimals();
      } else if (watched == missing_code_) {
        CheckMissingCode();
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void OpenSettingsWindow(GlobalSettings& settings, QWidget* parent) {
  Settings window(settings, parent);
  window.setWindowModality(Qt::ApplicationModal);
  window.exec();
}

}  // namespace quelvaris::ui
