#include "ui/extended/extended_window.h"

#include <algorithm>
#include <exception>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/file_slot.h"
#include "platform/run_time_error.h"
#include "reports/results_file.h"
#include "settings/error_reporter.h"
#include "ui/common/dialogs.h"
#include "ui/common/screen_fit.h"
#include "ui/common/shortcuts.h"

namespace quelvaris::ui {
namespace {

constexpr int kMinColumnWidth = 72;

// A table whose size hint is its cells, its headers and its frame, with a scroll bar's room only
// while the bar is shown (the toolkit's own hint keeps that room from the start).
class FittedTable : public QTableWidget {
 public:
  FittedTable(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent) {
    horizontalScrollBar()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
  }
  QSize sizeHint() const override {
    // The headers' own hints, not their present sizes: before the table is first laid out the
    // label column has no width yet.
    const int frame = 2 * frameWidth();
    QSize hint(verticalHeader()->sizeHint().width() + horizontalHeader()->length() + frame,
               horizontalHeader()->sizeHint().height() + verticalHeader()->length() + frame);
    if (horizontalScrollBar()->isVisible()) hint.rheight() += horizontalScrollBar()->height();
    if (verticalScrollBar()->isVisible()) hint.rwidth() += verticalScrollBar()->width();
    return hint;
  }

 protected:
  // A bar that comes or goes changes the hint: the layout is told so.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) updateGeometry();
    return QTableWidget::eventFilter(watched, event);
  }
};

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString TooltipOf(const ExtendedStatDefinition& d) {
  return QStringLiteral("<p><b>%1</b> (%2)</p><p>%3</p><p>%4</p><p>Undefined when %5.</p>")
      .arg(FromUtf8(d.label).toHtmlEscaped(), FromUtf8(d.key), FromUtf8(d.formula).toHtmlEscaped(),
           FromUtf8(d.reference).toHtmlEscaped(), FromUtf8(d.undefined_when).toHtmlEscaped());
}

bool NeedsR(ExtendedStat stat) {
  return stat == ExtendedStat::Kge2009R || stat == ExtendedStat::Kge2009 ||
         stat == ExtendedStat::Kge2012 || stat == ExtendedStat::Kge2021;
}

// Why a figure of a model is blank: the figure's own undefined cases, and, where a constant
// series leaves Pearson's r undefined, that reason in words. The results window's Correl Coeff
// is 0 for the same model, by its own definition; the tooltip says so, as the two would
// otherwise read as a contradiction.
QString UndefinedTooltip(const ExtendedStatDefinition& d, const QString& model,
                         const PairedSpread& spread) {
  if (spread.pairs < 2) return QStringLiteral("Undefined: fewer than 2 paired rows");
  QString tip = QStringLiteral("Undefined for %1: %2.").arg(model, FromUtf8(d.undefined_when));
  if (NeedsR(d.stat) && (spread.observed_constant || spread.modelled_constant)) {
    const QString series = spread.modelled_constant ? model : QStringLiteral("the observed series");
    tip += QStringLiteral(
               " Here %1 is constant over the paired rows: a series with no spread "
               "has no correlation, so r is undefined.")
               .arg(series);
    if (d.stat == ExtendedStat::Kge2009R) {
      tip += QStringLiteral(
          " The results window's Correl Coeff shows 0 instead, as that figure "
          "is defined.");
    }
  }
  return tip;
}

}  // namespace

ExtendedWindow::ExtendedWindow(const ExtendedRun& run, QWidget* parent)
    : QWidget(parent, Qt::Window),
      text_(BuildExtendedTable(run.columns, run.names, run.Figures(), run.pattern)),
      data_file_(QFile::decodeName(run.data_file.c_str())) {
  setObjectName(QStringLiteral("ExtendedWindow"));
  setWindowTitle(QStringLiteral("Extended Statistics"));
  setAttribute(Qt::WA_DeleteOnClose);

  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("ExtendedToolbar"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  // Keys of their own: the desktop's standard Save As key is none outside some desktops.
  QAction* copy = toolbar_->addAction(QStringLiteral("Copy"));
  copy->setObjectName(QStringLiteral("menuCopy"));
  copy->setToolTip(QStringLiteral("Copy the table to the clipboard as tab-separated text"));
  AddShortcuts(copy, {QKeySequence(Qt::CTRL | Qt::Key_C)});
  QAction* save = toolbar_->addAction(QStringLiteral("Save As"));
  save->setObjectName(QStringLiteral("menuSaveAs"));
  save->setToolTip(QStringLiteral("Save the table as a csv file"));
  AddShortcuts(save, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  CloseOnEscape(this);
  connect(toolbar_, &QToolBar::actionTriggered, this,
          [this](QAction* action) { ToolbarClick(action->objectName()); });

  // The shown table is the text table without its key column (the keys are in the tooltips).
  const auto figure_rows = static_cast<int>(text_.size()) - 1;
  const auto models = static_cast<int>(run.columns.size());
  table_ = new FittedTable(figure_rows, models, this);
  table_->setObjectName(QStringLiteral("ExtendedTable"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  table_->setAlternatingRowColors(true);
  for (int c = 0; c < models; ++c) {
    table_->setHorizontalHeaderItem(c, new QTableWidgetItem(FromUtf8(text_[0][2 + c])));
  }
  std::vector<PairedSpread> spreads;
  for (std::size_t c = 0; c < run.columns.size(); ++c) spreads.push_back(PairedSpreadOf(run, c));
  for (int r = 0; r < figure_rows; ++r) {
    const auto& row = text_[static_cast<std::size_t>(r) + 1];
    const ExtendedStatDefinition& definition =
        kExtendedStatDefinitions[static_cast<std::size_t>(r)];
    auto* label = new QTableWidgetItem(FromUtf8(row[0]));
    label->setToolTip(TooltipOf(definition));
    label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setVerticalHeaderItem(r, label);
    for (int c = 0; c < models; ++c) {
      const std::string& figure = row[2 + static_cast<std::size_t>(c)];
      auto* cell = new QTableWidgetItem(FromUtf8(figure));
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (figure.empty()) {
        cell->setToolTip(UndefinedTooltip(definition, FromUtf8(text_[0][2 + c]),
                                          spreads[static_cast<std::size_t>(c)]));
      }
      table_->setItem(r, c, cell);
    }
  }
  table_->resizeColumnsToContents();
  for (int c = 0; c < models; ++c) {
    table_->setColumnWidth(c, std::max(table_->columnWidth(c), kMinColumnWidth));
  }
  table_->setCurrentCell(-1, -1);  // nothing looks picked until the user picks it
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // The table is as large as its cells and no larger: spare room of the window lies below the
  // note, not as an empty strip inside the table; a window too small for it scrolls.
  table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  table_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);

  auto* note = new QLabel(
      QStringLiteral("Over the rows where both values are usable (not missing and, with bounds "
                     "applied, within them). A blank figure is undefined. Point at a label for "
                     "its formula and reference. Percent bias is positive when the model "
                     "overestimates."),
      this);
  note->setObjectName(QStringLiteral("ExtendedNote"));
  note->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 8);
  layout->addWidget(toolbar_);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 0, 8, 0);
  body->addWidget(table_, 0, Qt::AlignLeft);
  body->addWidget(note);
  body->addStretch(1);
  layout->addLayout(body, 1);

  // As large as the table and its note when the screen has room for it; otherwise as much as
  // fits, the table scrolling for the rest.
  const int width = std::max(
      table_->sizeHint().width() + body->contentsMargins().left() + body->contentsMargins().right(),
      480);
  const QSize room = ScreenRoom(*this);
  const QSize whole(width, layout->totalHeightForWidth(std::min(width, room.width())));
  resize(
      ScrollingFit(whole, room, style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this)));
}

void ExtendedWindow::ToolbarClick(const QString& key) {
  if (key == QLatin1String("menuCopy")) {
    CopyTable();
  } else if (key == QLatin1String("menuSaveAs")) {
    SaveTable();
  }
}

void ExtendedWindow::CopyTable() {
  QApplication::clipboard()->setText(QString::fromStdString(DelimitedText(text_, '\t', "\n")));
}

QString ExtendedWindow::ProposedSaveName() const {
  if (data_file_.isEmpty()) return QDir::home().filePath(QStringLiteral("extended.csv"));
  // Beside the data file, named after it: flows.txt gives flows-extended.csv.
  const QFileInfo data(data_file_);
  return data.dir().filePath(data.completeBaseName() + QStringLiteral("-extended.csv"));
}

void ExtendedWindow::SaveTable() {
  const QString start = last_save_path_.isEmpty() ? ProposedSaveName() : last_save_path_;
  const std::optional<QString> chosen =
      CurrentDialogs().SaveFileName(this, start, {QStringLiteral("CSV file (*.csv)")});
  if (!chosen || chosen->isEmpty()) return;
  QString path = *chosen;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
  last_save_path_ = path;
  const std::string target = path.toStdString();
  try {
    FileSlot slot;
    WriteResultsFile(slot, target, DelimitedText(text_, ',', "\r\n"));
  } catch (const std::exception& e) {
    WindowMessageSink sink(this);
    ErrorReporter(sink, ErrorNumberOf(e), "File: " + target);
  }
}

}  // namespace quelvaris::ui
