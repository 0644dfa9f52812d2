#include "ui/extended/extended_window.h"

#include <algorithm>
#include <exception>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/file_slot.h"
#include "platform/run_time_error.h"
#include "reports/results_file.h"
#include "settings/error_reporter.h"
#include "ui/common/dialogs.h"

namespace quelvaris::ui {
namespace {

constexpr int kMinColumnWidth = 72;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString TooltipOf(const ExtendedStatDefinition& d) {
  return QStringLiteral("<p><b>%1</b> (%2)</p><p>%3</p><p>%4</p><p>Undefined when %5.</p>")
      .arg(FromUtf8(d.label).toHtmlEscaped(), FromUtf8(d.key), FromUtf8(d.formula).toHtmlEscaped(),
           FromUtf8(d.reference).toHtmlEscaped(), FromUtf8(d.undefined_when).toHtmlEscaped());
}

}  // namespace

ExtendedWindow::ExtendedWindow(const ExtendedRun& run, QWidget* parent)
    : QWidget(parent, Qt::Window),
      text_(BuildExtendedTable(run.columns, run.Figures(), run.pattern)) {
  setObjectName(QStringLiteral("ExtendedWindow"));
  setWindowTitle(QStringLiteral("Extended Statistics"));
  setAttribute(Qt::WA_DeleteOnClose);

  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("ExtendedToolbar"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QAction* copy = toolbar_->addAction(QStringLiteral("Copy"));
  copy->setObjectName(QStringLiteral("menuCopy"));
  copy->setToolTip(QStringLiteral("Copy the table to the clipboard as tab-separated text"));
  copy->setShortcut(QKeySequence::Copy);
  QAction* save = toolbar_->addAction(QStringLiteral("Save As"));
  save->setObjectName(QStringLiteral("menuSaveAs"));
  save->setToolTip(QStringLiteral("Save the table as a csv file"));
  save->setShortcut(QKeySequence::SaveAs);
  connect(toolbar_, &QToolBar::actionTriggered, this,
          [this](QAction* action) { ToolbarClick(action->objectName()); });

  // The shown table is the text table without its key column (the keys are in the tooltips).
  const auto figure_rows = static_cast<int>(text_.size()) - 1;
  const auto models = static_cast<int>(run.columns.size());
  table_ = new QTableWidget(figure_rows, models, this);
  table_->setObjectName(QStringLiteral("ExtendedTable"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  table_->setAlternatingRowColors(true);
  for (int c = 0; c < models; ++c) {
    table_->setHorizontalHeaderItem(c, new QTableWidgetItem(FromUtf8(text_[0][2 + c])));
  }
  for (int r = 0; r < figure_rows; ++r) {
    const auto& row = text_[static_cast<std::size_t>(r) + 1];
    auto* label = new QTableWidgetItem(FromUtf8(row[0]));
    label->setToolTip(TooltipOf(kExtendedStatDefinitions[static_cast<std::size_t>(r)]));
    label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setVerticalHeaderItem(r, label);
    for (int c = 0; c < models; ++c) {
      const std::string& figure = row[2 + static_cast<std::size_t>(c)];
      auto* cell = new QTableWidgetItem(FromUtf8(figure));
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (figure.empty()) cell->setToolTip(QStringLiteral("Undefined for this model"));
      table_->setItem(r, c, cell);
    }
  }
  table_->resizeColumnsToContents();
  for (int c = 0; c < models; ++c) {
    table_->setColumnWidth(c, std::max(table_->columnWidth(c), kMinColumnWidth));
  }
  table_->setCurrentCell(-1, -1);  // nothing looks picked until the user picks it
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

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
  body->addWidget(table_, 1);
  body->addWidget(note);
  layout->addLayout(body, 1);

  // As wide as the table, up to what a screen holds; the rest scrolls.
  const int width = table_->verticalHeader()->width() + table_->horizontalHeader()->length() +
                    table_->frameWidth() * 2 + 40;
  const int height = table_->horizontalHeader()->height() + table_->verticalHeader()->length() +
                     table_->frameWidth() * 2 + 120;
  resize(std::clamp(width, 480, 1200), std::clamp(height, 320, 900));
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

void ExtendedWindow::SaveTable() {
  const QString start = last_save_path_.isEmpty()
                            ? QDir::home().filePath(QStringLiteral("extended.csv"))
                            : last_save_path_;
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
