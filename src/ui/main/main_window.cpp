#include "ui/main/main_window.h"

#include <algorithm>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "engine/analysis_run.h"
#include "ui/common/dialogs.h"
#include "ui/common/screen_fit.h"
#include "ui/common/shortcuts.h"
#include "ui/main/data_file_drop.h"
#include "ui/main/toolbar_icons.h"
#include "ui/main/typed_box.h"

namespace quelvaris::ui {

// A caption of a typed row, as wide as the widest caption of its column, each measured from its
// text in its font: the typed boxes after them stand in one line whatever the font.
class ColumnCaption : public QLabel {
 public:
  ColumnCaption(const QString& text, std::shared_ptr<CaptionColumn> column)
      : QLabel(text), column_(std::move(column)) {
    column_->push_back(this);
  }
  ~ColumnCaption() override { std::erase(*column_, this); }
  ColumnCaption(const ColumnCaption&) = delete;
  ColumnCaption& operator=(const ColumnCaption&) = delete;

  QSize sizeHint() const override {
    QSize hint = OwnHint();
    for (const ColumnCaption* other : *column_) {
      hint.setWidth(std::max(hint.width(), other->OwnHint().width()));
    }
    return hint;
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 private:
  QSize OwnHint() const { return QLabel::sizeHint(); }

  std::shared_ptr<CaptionColumn> column_;
};

namespace {

const QString kNotSelected = QStringLiteral("Not selected");
// The boxes hold this many digits whatever the font.
constexpr int kTypedBoxDigits = 11;
constexpr int kDisplayBoxDigits = 15;

// A line box as wide as `digits` digits of its font and its own margins and frame.
void SetWidthInDigits(QLineEdit* box, int digits) {
  QStyleOptionFrame option;
  option.initFrom(box);
  option.rect = box->rect();
  option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  const QMargins text = box->textMargins();
  const int content = box->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) +
                      text.left() + text.right() +
                      4;  // the box's own text margin of 2 on either side
  const QSize size = box->style()->sizeFromContents(
      QStyle::CT_LineEdit, &option, QSize(content, box->fontMetrics().height()), box);
  box->setFixedWidth(size.width());
}

QGroupBox* Group(const QString& title, const QString& name) {
  auto* group = new QGroupBox(title);
  group->setObjectName(name);
  return group;
}

QLineEdit* DisplayBox(const QString& name) {
  auto* box = new QLineEdit;
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::NoFocus);
  return box;
}

QFormLayout* Form() {
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return form;
}

// Shows text from its start: a box shows the end of a text set while it has no focus, and the
// end of a long number or file name reads as another one.
void ShowFromStart(QLineEdit* box, const QString& text) {
  box->setText(text);
  box->setCursorPosition(0);
}

// A file's name in a display box, its whole path in the tooltip.
void ShowFileName(QLineEdit* box, const QFileInfo& file) {
  ShowFromStart(box, file.fileName());
  box->setToolTip(file.absoluteFilePath());
}

void ShowNotSelected(QLineEdit* box) {
  box->setText(kNotSelected);
  box->setToolTip(QString());
}

// A labelled row whose label column has the same width in every group of `column`, so the
// typed boxes of the left-hand groups stand in one line.
void AddTypedRow(QFormLayout* form, const QString& label, QWidget* box,
                 const std::shared_ptr<CaptionColumn>& column) {
  form->addRow(new ColumnCaption(label, column), box);
}

}  // namespace

Main::Main(GlobalSettings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings), reports_(this) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(QStringLiteral("Quelvaris 1.3"));
  setAcceptDrops(true);
  exit_handler_ = [this] {
    exiting_ = true;
    QApplication::closeAllWindows();
    QApplication::quit();
  };

  BuildToolbar();

  auto* left = new QVBoxLayout;
  left->addWidget(BuildDataFileGroup());
  left->addWidget(BuildAttributesGroup());
  left->addWidget(BuildBoundariesGroup());
  left->addWidget(BuildCriteriaGroup());
  left->addStretch();

  auto* right = new QVBoxLayout;
  right->addWidget(BuildResultsFileGroup());
  right->addWidget(BuildStatsGroup(QStringLiteral(" Observed Data Stats"), QStringLiteral("Obs"),
                                   observed_boxes_));
  right->addWidget(BuildStatsGroup(QStringLiteral(" Modelled Data Stats"), QStringLiteral("Mod"),
                                   modelled_boxes_));
  right->addStretch();

  // The controls scroll when the screen is too small for them (see FitToScreen).
  auto* controls = new QWidget;
  auto* columns = new QHBoxLayout(controls);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(controls);
  setCentralWidget(scroll_);

  ResetMain();
  // Look the report's font up now rather than on the first Calculate, which should show its
  // results without the font database's first-use delay.
  QFontMetrics(ResPicture::ReportFont(false)).height();
  QFontMetrics(ResPicture::ReportFont(true)).height();
}

Main::~Main() = default;

void Main::FitToScreen() {
  // Every control when the screen has room for them; otherwise as much as fits, with scroll
  // bars for the rest.
  const QSize controls = scroll_->widget()->sizeHint();
  const QSize bar = toolbar_->sizeHint();
  const QSize whole(std::max(controls.width(), bar.width()), bar.height() + controls.height());
  resize(ScrollingFit(whole, ScreenRoom(*this),
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this)));
}

void Main::setVisible(bool visible) {
  // Fitted when first shown; later the size is the user's.
  if (visible && !fitted_) {
    fitted_ = true;
    FitToScreen();
  }
  QMainWindow::setVisible(visible);
}

void Main::SetSettingsOpener(std::function<void(QWidget*)> opener) {
  settings_opener_ = std::move(opener);
}

void Main::SetExitHandler(std::function<void()> handler) {
  exit_handler_ = std::move(handler);
}

void Main::BuildToolbar() {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(24, 24));
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar_->toggleViewAction()->setEnabled(false);  // no hiding it from a context menu
  struct Button {
    const char* key;
    const char* caption;
    const char* tooltip;
    ToolbarGlyph glyph;
    QList<QKeySequence> keys;
  };
  const Button buttons[] = {
      {"tb1Reset",
       "Reset",
       "Reset to original values",
       ToolbarGlyph::Reset,
       {QKeySequence(Qt::CTRL | Qt::Key_R)}},
      {"tb1Calcs",
       "Calculate",
       "Perform Stats Calculations",
       ToolbarGlyph::Calculate,
       {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return)}},
      {"tb1Settings",
       "Settings",
       "Settings",
       ToolbarGlyph::Settings,
       {QKeySequence(Qt::CTRL | Qt::Key_Comma)}},
      {"tb1Exit", "Exit", "Exit Program", ToolbarGlyph::Exit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
  };
  for (const Button& b : buttons) {
    QAction* action = toolbar_->addAction(ToolbarIcon(b.glyph), QString::fromUtf8(b.caption));
    action->setObjectName(QString::fromUtf8(b.key));
    action->setToolTip(QString::fromUtf8(b.tooltip));
    AddShortcuts(action, b.keys);
  }
  connect(toolbar_, &QToolBar::actionTriggered, this,
          [this](QAction* action) { ToolbarClick(action->objectName()); });
  addToolBar(Qt::TopToolBarArea, toolbar_);
}

QWidget* Main::BuildDataFileGroup() {
  QGroupBox* group = Group(QStringLiteral(" Select Data File"), QStringLiteral("DataFileFrame"));
  auto* button = new QPushButton(QStringLiteral("Select File"));
  button->setObjectName(QStringLiteral("SelectButton"));
  button->setToolTip(QStringLiteral("Select file to analyse"));
  AddShortcut(button, QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(button, &QPushButton::clicked, this, [this] { PickFile(false); });
  select_file_text_ = DisplayBox(QStringLiteral("SelectFileText"));

  auto* layout = new QFormLayout(group);
  layout->addRow(button);
  layout->addRow(QStringLiteral("File:"), select_file_text_);
  return group;
}

QWidget* Main::BuildResultsFileGroup() {
  QGroupBox* group = Group(QStringLiteral(" Results File"), QStringLiteral("ResultsFileFrame"));
  auto* button = new QPushButton(QStringLiteral("Select File"));
  button->setObjectName(QStringLiteral("SelectResultsButton"));
  button->setToolTip(QStringLiteral("Select file to save results to - optional"));
  AddShortcut(button, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  connect(button, &QPushButton::clicked, this, [this] { PickFile(true); });
  results_file_text_ = DisplayBox(QStringLiteral("ResultsFileText"));

  auto* layout = new QFormLayout(group);
  layout->addRow(button);
  layout->addRow(QStringLiteral("File:"), results_file_text_);
  return group;
}

TypedBox* Main::AddTypedBox(const QString& name, const QString& tooltip,
                            CheckResult (*check)(const std::string&, AnalysisRequest&)) {
  auto* box = new TypedBox(name);
  box->setToolTip(tooltip);
  SetWidthInDigits(box, kTypedBoxDigits);
  box->setAcceptDrops(false);  // a file dropped on a box is for the window, not typed text
  box->SetCheck([this, box, check] {
    const CheckResult result = check(box->text().toStdString(), session_.request);
    if (!result.accepted) ShowErrorMessage(*this, result.message);
    ShowFromStart(box, QString::fromStdString(result.box_text));
  });
  return box;
}

QWidget* Main::BuildAttributesGroup() {
  QGroupBox* group = Group(QStringLiteral(" File Attributes"), QStringLiteral("AttributesFrame"));
  header_row_ = new QCheckBox(QStringLiteral("Header Row?"));
  header_row_->setObjectName(QStringLiteral("HeaderRow"));
  no_of_cols_ = AddTypedBox(
      QStringLiteral("NoOfColsText"),
      QStringLiteral("Number of columns in the file - includes modelled column"), &CheckNoOfCols);

  delimit_frame_ = Group(QStringLiteral(" File Delimiter "), QStringLiteral("DelimitFrame"));
  tab_option_ = new QRadioButton(QStringLiteral("Tab Delimited"));
  tab_option_->setObjectName(QStringLiteral("DelimitOption0"));
  comma_option_ = new QRadioButton(QStringLiteral("Comma Delimited"));
  comma_option_->setObjectName(QStringLiteral("DelimitOption1"));
  auto* options = new QVBoxLayout(delimit_frame_);
  options->addWidget(tab_option_);
  options->addWidget(comma_option_);

  col_to_anal_ = AddTypedBox(QStringLiteral("ColToAnalText"),
                             QStringLiteral("Which column modelled data are in"), &CheckColToAnal);
  analyse_all_ = new QCheckBox(QStringLiteral("or Analyse All Columns"));
  analyse_all_->setObjectName(QStringLiteral("AnalyseAllCheck"));
  analyse_all_->setToolTip(QStringLiteral("Analyse all Modelled Columns"));

  QFormLayout* layout = Form();
  group->setLayout(layout);
  layout->addRow(header_row_);
  AddTypedRow(layout, QStringLiteral("Number of Columns"), no_of_cols_, captions_);
  layout->addRow(delimit_frame_);
  AddTypedRow(layout, QStringLiteral("Column to Analyse"), col_to_anal_, captions_);
  layout->addRow(analyse_all_);
  return group;
}

QWidget* Main::BuildBoundariesGroup() {
  QGroupBox* group = Group(QStringLiteral(" Boundaries"), QStringLiteral("BoundariesFrame"));
  thresh_ = AddTypedBox(QStringLiteral("ThreshText"),
                        QStringLiteral("Threshold for POT calculations"), &CheckThresh);
  apply_bounds_ = new QCheckBox(QStringLiteral("Apply Bounds?"));
  apply_bounds_->setObjectName(QStringLiteral("ApplyBounds"));
  lower_bound_ =
      AddTypedBox(QStringLiteral("LowerBoundText"),
                  QStringLiteral("Lower bound for filtering analyses"), &CheckLowerBound);
  upper_bound_ =
      AddTypedBox(QStringLiteral("UpperBoundText"),
                  QStringLiteral("Upper bound for filtering analyses"), &CheckUpperBound);

  QFormLayout* layout = Form();
  group->setLayout(layout);
  AddTypedRow(layout, QStringLiteral("Threshold value:"), thresh_, captions_);
  layout->addRow(apply_bounds_);
  AddTypedRow(layout, QStringLiteral("Lower Bound:"), lower_bound_, captions_);
  AddTypedRow(layout, QStringLiteral("Upper Bound:"), upper_bound_, captions_);
  return group;
}

QWidget* Main::BuildCriteriaGroup() {
  QGroupBox* group = Group(QStringLiteral(" AIC/BIC Criteria "), QStringLiteral("CriteriaFrame"));
  calc_aicbic_ = new QCheckBox(QStringLiteral("Calculate?"));
  calc_aicbic_->setObjectName(QStringLiteral("CalcAICBIC"));
  calc_aicbic_->setToolTip(QStringLiteral("Calculate AIC and BIC criteria"));
  parms_ = AddTypedBox(QStringLiteral("AICBICParmsText"),
                       QStringLiteral("Number of parameters in the model"), &CheckParms);
  points_ = AddTypedBox(QStringLiteral("AICBICPointsText"),
                        QStringLiteral("Data points used in calibration"), &CheckPoints);

  QFormLayout* layout = Form();
  group->setLayout(layout);
  layout->addRow(calc_aicbic_);
  AddTypedRow(layout, QStringLiteral("Parameters:"), parms_, captions_);
  AddTypedRow(layout, QStringLiteral("Data Points:"), points_, captions_);
  return group;
}

QWidget* Main::BuildStatsGroup(const QString& title, const QString& prefix,
                               std::array<QLineEdit*, kDisplayRows>& boxes) {
  QGroupBox* group = Group(title, prefix + QStringLiteral("StatsFrame"));
  // Top to bottom in the order of the display rows.
  const std::array<std::pair<const char*, const char*>, kDisplayRows> rows{{
      {"Mean", "MeanText"},
      {"SD", "SDText"},
      {"Minimum", "MinText"},
      {"Maximum", "MaxText"},
      {"POT", "POTText"},
      {"Skewness", "SkewText"},
      {"Kurtosis", "KurText"},
      {"Out of Bounds", "OOBText"},
  }};
  QFormLayout* layout = Form();
  group->setLayout(layout);
  for (int i = 0; i < kDisplayRows; ++i) {
    boxes[i] = DisplayBox(prefix + QString::fromUtf8(rows[i].second));
    SetWidthInDigits(boxes[i], kDisplayBoxDigits);
    layout->addRow(QString::fromUtf8(rows[i].first), boxes[i]);
  }
  return group;
}

void Main::ToolbarClick(const QString& key) {
  if (key == QLatin1String("tb1Reset")) {
    ResetMain();
  } else if (key == QLatin1String("tb1Calcs")) {
    Calculate();
  } else if (key == QLatin1String("tb1Settings")) {
    OpenSettings();
  } else if (key == QLatin1String("tb1Exit")) {
    ConfirmExit();
  }
}

void Main::ResetMain() {
  AnalysisRequest& request = session_.request;
  request.DataFilePath.clear();
  request.DataFileName.clear();
  ShowNotSelected(select_file_text_);
  request.ResultsFilePath.clear();
  request.ResultsFileName.clear();
  ShowNotSelected(results_file_text_);
  ResetRequest(request);
  col_to_anal_->setText(QString::number(request.ColToAnal));
  no_of_cols_->setText(QString::number(request.NoOfCols));
  thresh_->setText(QStringLiteral("0"));
  apply_bounds_->setChecked(false);
  calc_aicbic_->setChecked(false);
  parms_->setText(QStringLiteral("0"));
  points_->setText(QStringLiteral("0"));
  lower_bound_->setText(QStringLiteral("0"));
  upper_bound_->setText(QStringLiteral("9999"));
  header_row_->setChecked(false);
  tab_option_->setChecked(true);
  for (QLineEdit* box : observed_boxes_) box->clear();
  for (QLineEdit* box : modelled_boxes_) box->clear();
  analyse_all_->setChecked(false);
  CloseFiles(RunContext{session_, settings_, *this});
}

void Main::PickFile(bool results) {
  const QStringList filters{QStringLiteral("All Files (*.*)"), QStringLiteral("CSV Files (*.CSV)"),
                            QStringLiteral("TXT Files (*.TXT)")};
  // The results file is created by the run, so any name will do for it; the run reports a
  // folder it cannot write to.
  const std::optional<QString> chosen =
      CurrentDialogs().OpenFileName(this, QString::fromStdString(settings_.DefaultDir), filters,
                                    results ? FilePick::AnyName : FilePick::ExistingFile);
  if (!chosen || chosen->isEmpty()) return;  // cancelled: the earlier choice stands
  TakeFile(results, *chosen);
}

void Main::TakeFile(bool results, const QString& chosen) {
  const QFileInfo info(chosen);
  const std::string path = QFile::encodeName(info.absoluteFilePath()).toStdString();
  const std::string name = info.fileName().toStdString();
  if (results) {
    session_.request.ResultsFilePath = path;
    session_.request.ResultsFileName = name;
    ShowFileName(results_file_text_, info);
  } else {
    session_.request.DataFilePath = path;
    session_.request.DataFileName = name;
    ShowFileName(select_file_text_, info);
  }
}

void Main::TakeDataFiles(const QList<QUrl>& urls) {
  const DataFileOffer offer = OfferDataFiles(urls);
  if (offer.path.isEmpty()) {
    ShowErrorMessage(*this, offer.refusal.toStdString());
    return;
  }
  TakeFile(false, offer.path);
}

void Main::dragEnterEvent(QDragEnterEvent* event) {
  // Every drag of files is taken, so that what cannot be used is refused with its reason on
  // the drop rather than by a silent no-entry pointer.
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Main::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  // After the drop has ended: a message box must not hold the dragging program waiting.
  const QList<QUrl> urls = event->mimeData()->urls();
  QTimer::singleShot(0, this, [this, urls] { TakeDataFiles(urls); });
}

void Main::Calculate() {
  RunAnalysis(RunContext{session_, settings_, *this}, reports_);
}

void Main::OpenSettings() {
  if (settings_opener_) {
    settings_opener_(this);
    return;
  }
  QDialog placeholder(this);
  placeholder.setWindowTitle(QStringLiteral("Settings"));
  auto* layout = new QVBoxLayout(&placeholder);
  layout->addWidget(new QLabel(QStringLiteral("Settings cannot be changed in this build.")));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, &placeholder, &QDialog::accept);
  layout->addWidget(buttons);
  placeholder.exec();
}

bool Main::ConfirmExit() {
  const MessageAnswer answer =
      ShowMessage("Exit Quelvaris?", "Do you really want to exit Quelvaris?",
                  MessageIcon::Exclamation, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return false;
  exiting_ = true;
  if (exit_handler_) exit_handler_();
  return true;
}

void Main::closeEvent(QCloseEvent* event) {
  if (exiting_ || ConfirmExit()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void Main::CommitPendingEntry() {
  auto* box = qobject_cast<TypedBox*>(focusWidget());
  if (!box) return;
  if (box->hasFocus()) {
    // Losing the focus runs the box's check. The focus goes nowhere in particular: handing it
    // to the delimiter options could select "Tab Delimited" and override the user's choice.
    box->clearFocus();
  } else {
    // The window is not active, so no focus event will come: check the entry directly.
    box->RunCheck();
  }
}

std::string Main::BoxText(RunBox box) const {
  const QLineEdit* edit = nullptr;
  switch (box) {
    case RunBox::ThreshText:
      edit = thresh_;
      break;
    case RunBox::LowerBoundText:
      edit = lower_bound_;
      break;
    case RunBox::UpperBoundText:
      edit = upper_bound_;
      break;
    case RunBox::ColToAnalText:
      edit = col_to_anal_;
      break;
    case RunBox::NoOfColsText:
      edit = no_of_cols_;
      break;
    case RunBox::AICBICParmsText:
      edit = parms_;
      break;
    case RunBox::AICBICPointsText:
      edit = points_;
      break;
  }
  return edit ? edit->text().toStdString() : std::string();
}

bool Main::SwitchOn(RunSwitch which) const {
  switch (which) {
    case RunSwitch::HeaderRow:
      return header_row_->isChecked();
    case RunSwitch::TabDelimited:
      return tab_option_->isChecked();
    case RunSwitch::AnalyseAll:
      return analyse_all_->isChecked();
    case RunSwitch::ApplyBounds:
      return apply_bounds_->isChecked();
    case RunSwitch::CalcAICBIC:
      return calc_aicbic_->isChecked();
  }
  return false;
}

void Main::ShowStatistics(const StatisticsDisplay& display) {
  for (int i = 0; i < kDisplayRows; ++i) {
    ShowFromStart(observed_boxes_[i], QString::fromStdString(display.observed[i]));
    ShowFromStart(modelled_boxes_[i], QString::fromStdString(display.modelled[i]));
  }
}

void Main::SetDefaultPointer() {
  unsetCursor();
}

MessageAnswer Main::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                                MessageButtons buttons) {
  return CurrentDialogs().Message(this, title, text, icon, buttons);
}

}  // namespace quelvaris::ui
