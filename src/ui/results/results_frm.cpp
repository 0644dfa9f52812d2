#include "ui/results/results_frm.h"

#include <algorithm>

#include <QAction>
#include <QEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/common/dialogs.h"
#include "ui/common/screen_fit.h"
#include "ui/common/shortcuts.h"
#include "ui/extended/extended_icon.h"
#include "ui/extended/extended_window.h"
#include "ui/main/toolbar_icons.h"
#include "ui/plot/plot_icon.h"
#include "ui/plot/plot_window.h"

namespace quelvaris::ui {
namespace {

QAction* AddKeyedAction(QToolBar* bar, const QString& key, const QString& caption,
                        const QString& tooltip, const QIcon& icon, const QKeySequence& shortcut) {
  QAction* action = bar->addAction(icon, caption);
  action->setObjectName(key);
  action->setToolTip(tooltip);
  AddShortcuts(action, {shortcut});
  return action;
}

}  // namespace

ResultsFrm::ResultsFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ResultsFrm"));
  setWindowTitle(QStringLiteral("Results"));
  setAttribute(Qt::WA_DeleteOnClose);

  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(16, 16));
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  AddKeyedAction(toolbar_, QStringLiteral("menuBack"), QStringLiteral("Back"),
                 QStringLiteral("Closes this window"), ToolbarIcon(ToolbarGlyph::Back),
                 QKeySequence(Qt::Key_Escape));
  AddKeyedAction(toolbar_, QStringLiteral("menuPrint"), QStringLiteral("Print"),
                 QStringLiteral("Print results"), ToolbarIcon(ToolbarGlyph::Print),
                 QKeySequence(Qt::CTRL | Qt::Key_P));
  AddKeyedAction(toolbar_, QStringLiteral("menuPlot"), QStringLiteral("Plot"),
                 QStringLiteral("Plot observed and modelled series"), PlotIcon(),
                 QKeySequence(Qt::CTRL | Qt::Key_G))
      ->setEnabled(false);
  AddKeyedAction(toolbar_, QStringLiteral("menuExtended"), QStringLiteral("Extended"),
                 QStringLiteral("Extended statistics of every model, with their definitions"),
                 ExtendedIcon(), QKeySequence(Qt::CTRL | Qt::Key_E))
      ->setEnabled(false);
  connect(toolbar_, &QToolBar::actionTriggered, this,
          [this](QAction* action) { ToolbarClick(action->objectName()); });

  picture_ = new ResPicture;
  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setBackgroundRole(QPalette::Base);
  scroll_->setWidget(picture_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  layout->addWidget(toolbar_);
  layout->addWidget(scroll_, 1);
}

void ResultsFrm::FitToScreen() {
  // The whole report when the screen has room for it; otherwise as much as fits, with scroll
  // bars for the rest.
  const QMargins margins = layout()->contentsMargins();
  const QSize whole(picture_->width() + margins.left() + margins.right(),
                    toolbar_->sizeHint().height() + layout()->spacing() + picture_->height() +
                        margins.top() + margins.bottom());
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const QSize size = ScrollingFit(whole, ScreenRoom(*this), bar);
  // Larger than the report there is nothing more to show.
  setMaximumSize(whole.expandedTo(size));
  resize(size);
}

void ResultsFrm::setVisible(bool visible) {
  if (visible && !isVisible()) FitToScreen();
  QDialog::setVisible(visible);
}

void ResultsFrm::SetToolbarVisible(bool visible) {
  toolbar_->setVisible(visible);
}

void ResultsFrm::ToolbarClick(const QString& key) {
  if (key == QLatin1String("menuBack")) {
    CloseResults();
  } else if (key == QLatin1String("menuPrint")) {
    PrintResults();
  } else if (key == QLatin1String("menuPlot")) {
    OpenPlot();
  } else if (key == QLatin1String("menuExtended")) {
    OpenExtended();
  }
}

void ResultsFrm::CloseResults() {
  // Hides the window, ends the modal run of it and deletes it (WA_DeleteOnClose).
  close();
}

void ResultsFrm::PrintResults() {
  QPrinter printer(QPrinter::HighResolution);
  if (!CurrentDialogs().SetUpPrinter(this, printer)) {
    SetToolbarVisible(true);
    return;
  }
  // Copies are printed here, one page each; a printer told to make copies of its own as well
  // would multiply them.
  const int copies = std::max(1, printer.copyCount());
  printer.setCopyCount(1);
  // The orientation the user picked is already the printer's page layout.

  SetToolbarVisible(false);
  const QImage& image = picture_->Image();
  QPainter painter;
  if (painter.begin(&printer)) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int copy = 0; copy < copies; ++copy) {
      if (copy > 0 && !printer.newPage()) break;
      const QRect page = painter.viewport();
      // Placed by its size on screen; drawn with every pixel it has, which on a high-density
      // screen is more than one per screen point.
      const QRect picture(QPoint(0, 0), picture_->Size());
      QSize size = picture.size();
      size.scale(page.size(), Qt::KeepAspectRatio);
      painter.setViewport(page.x(), page.y(), size.width(), size.height());
      painter.setWindow(picture);
      painter.drawImage(0, 0, image);
      painter.setViewport(page);
      painter.setWindow(page);
    }
    painter.end();
  }
  SetToolbarVisible(true);
}

void ResultsFrm::SetPlotData(std::shared_ptr<const PlotData> data) {
  plot_data_ = std::move(data);
  if (auto* action = toolbar_->findChild<QAction*>(QStringLiteral("menuPlot"))) {
    action->setEnabled(plot_data_ != nullptr);
  }
}

void ResultsFrm::OpenPlot() {
  if (!plot_data_) return;
  if (!plot_) plot_ = new PlotWindow(plot_data_, this);
  plot_->show();
  plot_->raise();
  plot_->activateWindow();
}

PlotWindow* ResultsFrm::Plot() const {
  return plot_;
}

void ResultsFrm::SetExtendedRun(std::shared_ptr<const ExtendedRun> run) {
  extended_run_ = std::move(run);
  if (auto* action = toolbar_->findChild<QAction*>(QStringLiteral("menuExtended"))) {
    action->setEnabled(extended_run_ != nullptr);
  }
}

void ResultsFrm::OpenExtended() {
  if (!extended_run_) return;
  if (!extended_) extended_ = new ExtendedWindow(*extended_run_, this);
  extended_->show();
  extended_->raise();
  extended_->activateWindow();
}

ExtendedWindow* ResultsFrm::Extended() const {
  return extended_;
}

bool ResultsFrm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) SetToolbarVisible(true);
  return QDialog::event(event);
}

}  // namespace quelvaris::ui
