#include "ui/plot/plot_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/common/dialogs.h"
#include "ui/common/screen_fit.h"
#include "ui/common/shortcuts.h"
#include "ui/plot/image_export.h"
#include "ui/plot/plot_charts.h"
#include "ui/plot/plot_legend.h"
#include "ui/plot/plot_view.h"

namespace quelvaris::ui {
namespace {

const char* const kTabNames[] = {"Hydrograph", "Scatter", "Duration Curves"};
const char* const kViewNames[] = {"HydrographView", "ScatterView", "DurationView"};

}  // namespace

PlotWindow::PlotWindow(std::shared_ptr<const PlotData> data, QWidget* parent)
    : QWidget(parent, Qt::Window), data_(std::move(data)) {
  setObjectName(QStringLiteral("PlotWindow"));
  setWindowTitle(QStringLiteral("Plot"));
  setAttribute(Qt::WA_DeleteOnClose);
  // Room for the plot and its legend; on a small screen what the screen has.
  resize(QSize(1000, 640).boundedTo(ScreenRoom(*this)));
  CloseOnEscape(this);

  selector_ = new QComboBox(this);
  selector_->setObjectName(QStringLiteral("ModelColumnCombo"));
  for (int c : data_->columns) {
    if (c != 1) selector_->addItem(SeriesName(*data_, c), c);
  }
  auto* selector_label = new QLabel(QStringLiteral("Model column:"), this);
  selector_label->setBuddy(selector_);

  auto* reset_zoom = new QPushButton(QStringLiteral("Reset Zoom"), this);
  reset_zoom->setObjectName(QStringLiteral("ResetZoomButton"));
  reset_zoom->setToolTip(
      QStringLiteral("Show the whole plot again (right click steps back one zoom)"));
  auto* save = new QPushButton(QStringLiteral("Save Image"), this);
  save->setObjectName(QStringLiteral("SaveImageButton"));
  save->setToolTip(QStringLiteral("Save the plot on screen as a PNG image or a PDF document"));

  auto* bar = new QHBoxLayout;
  bar->addWidget(selector_label);
  bar->addWidget(selector_);
  bar->addStretch(1);
  bar->addWidget(reset_zoom);
  bar->addWidget(save);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("PlotTabs"));
  for (const char* name : kTabNames) {
    auto* page = new QWidget(tabs_);
    auto* page_layout = new QHBoxLayout(page);
    page_layout->setContentsMargins(0, 0, 0, 0);
    tabs_->addTab(page, QString::fromLatin1(name));
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(bar);
  layout->addWidget(tabs_, 1);
  // Below the plot, wrapping on a narrow screen rather than widening the window.
  auto* hint = new QLabel(QStringLiteral("Drag to zoom, wheel to zoom about the pointer, right "
                                         "click to step back."),
                          this);
  hint->setObjectName(QStringLiteral("ZoomHint"));
  hint->setWordWrap(true);
  layout->addWidget(hint);

  ShowView(kHydrograph);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { ShowView(index); });
  connect(selector_, &QComboBox::currentIndexChanged, this, [this] { Rebuild(); });
  connect(reset_zoom, &QPushButton::clicked, this, [this] {
    if (PlotView* view = View(tabs_->currentIndex())) view->ResetZoom();
  });
  connect(save, &QPushButton::clicked, this, [this] { SaveImage(); });
}

int PlotWindow::SelectedColumn() const {
  return selector_->count() == 0 ? 0 : selector_->currentData().toInt();
}

void PlotWindow::SelectColumn(int column) {
  const int index = selector_->findData(column);
  if (index >= 0) selector_->setCurrentIndex(index);
}

PlotView* PlotWindow::BuildInto(int index, QWidget& page) {
  auto* view = new PlotView(&page);
  view->setObjectName(QString::fromLatin1(kViewNames[index]));
  const int selected = SelectedColumn();
  switch (index) {
    case kHydrograph:
      BuildHydrograph(*view, *data_, selected);
      break;
    case kScatter:
      BuildScatter(*view, *data_, {selected});
      break;
    default:
      BuildDurationCurves(*view, *data_, selected);
      break;
  }
  auto* legend = new PlotLegend(LegendEntries({view}), &page);
  auto* layout = static_cast<QBoxLayout*>(page.layout());
  layout->addWidget(view, 1);
  layout->addWidget(legend);
  return view;
}

PlotView* PlotWindow::View(int index) {
  if (index < 0 || index >= kViewCount) return nullptr;
  const auto i = static_cast<std::size_t>(index);
  if (views_[i]) return views_[i];
  views_[i] = BuildInto(index, *tabs_->widget(index));
  legends_[i] = tabs_->widget(index)->findChild<PlotLegend*>();
  return views_[i];
}

PlotLegend* PlotWindow::Legend(int index) {
  if (!View(index)) return nullptr;
  return legends_[static_cast<std::size_t>(index)];
}

void PlotWindow::ShowView(int index) {
  View(index);
}

void PlotWindow::Rebuild() {
  // Views of the previous column go; the one on screen is built again at once, the others
  // when next shown.
  for (QPointer<PlotView>& view : views_) {
    delete view.data();
    view = nullptr;
  }
  for (QPointer<PlotLegend>& legend : legends_) {
    delete legend.data();
    legend = nullptr;
  }
  ShowView(tabs_->currentIndex());
}

bool PlotWindow::SaveImageTo(const QString& path) {
  const int index = tabs_->currentIndex();
  if (!View(index)) return false;
  if (IsPdfPath(path)) return SavePdfTo(path);
  return SaveWidgetImage(tabs_->widget(index), path);
}

bool PlotWindow::SavePdfTo(const QString& path) {
  const int index = tabs_->currentIndex();
  const PlotView* shown = View(index);
  QWidget page;
  page.setAttribute(Qt::WA_DontShowOnScreen);
  page.setPalette(tabs_->widget(index)->palette());
  auto* layout = new QHBoxLayout(&page);
  layout->setContentsMargins(0, 0, 0, 0);
  PlotView* view = BuildInto(index, page);
  // At least as wide as a roomy window, so a small one does not print in large type.
  page.resize(PdfLayoutSize(std::max(tabs_->widget(index)->width(), 1000)));
  page.show();
  QCoreApplication::processEvents();
  view->SetRanges(shown->XRange(), shown->YRange());
  // The chart lays itself out, then thins its lines and squares its plot area for that size.
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  return SaveWidgetImage(&page, path);
}

void PlotWindow::SaveImage() {
  const QString start = last_save_path_.isEmpty()
                            ? QDir::home().filePath(QStringLiteral("plot.png"))
                            : last_save_path_;
  const std::optional<QString> chosen = CurrentDialogs().SaveFileName(
      this, start, {QStringLiteral("PNG image (*.png)"), QStringLiteral("PDF document (*.pdf)")});
  if (!chosen || chosen->isEmpty()) return;
  QString path = *chosen;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf")) {
    path += QStringLiteral(".png");
  }
  last_save_path_ = path;
  if (!SaveImageTo(path)) {
    CurrentDialogs().Message(this, "Error Message",
                             "Unable to save the image to " + path.toStdString() + ".",
                             MessageIcon::Error, MessageButtons::Ok);
  }
}

}  // namespace quelvaris::ui
