#include "ui/plot/plot_legend.h"

#include <algorithm>

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace quelvaris::ui {
namespace {

constexpr int kMargin = 6;
constexpr int kSample = 28;  // the width of the line sample
constexpr int kGap = 6;      // between sample and name
constexpr int kColumnGap = 12;
constexpr int kMaxNameWidth = 180;

int Rank(const LegendEntry& e) {
  return e.column == 1 ? 0 : e.column > 1 ? 1 : 2;
}

}  // namespace

std::vector<LegendEntry> LegendEntries(const std::vector<const PlotView*>& views) {
  std::vector<LegendEntry> entries;
  for (const PlotView* view : views) {
    for (const PlotCurve& curve : view->Curves()) {
      auto same = std::find_if(entries.begin(), entries.end(),
                               [&](const LegendEntry& e) { return e.name == curve.name; });
      if (same == entries.end()) {
        entries.push_back({curve.name, curve.column, curve.pen, curve.marks});
        continue;
      }
      if (same->pen.style() == Qt::NoPen) same->pen = curve.pen;
      if (same->marks.size == 0) same->marks = curve.marks;
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const LegendEntry& a, const LegendEntry& b) {
    if (Rank(a) != Rank(b)) return Rank(a) < Rank(b);
    return Rank(a) == 1 && a.column < b.column;
  });
  return entries;
}

PlotLegend::PlotLegend(std::vector<LegendEntry> entries, QWidget* parent)
    : QWidget(parent), entries_(std::move(entries)) {
  setObjectName(QStringLiteral("PlotLegend"));
  // As tall as the plot beside it, whatever that is; as wide as its columns at that height.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
}

int PlotLegend::RowHeight() const {
  return fontMetrics().height() + 4;
}

int PlotLegend::ColumnWidth() const {
  int widest = 0;
  for (const LegendEntry& e : entries_) {
    widest = std::max(widest, fontMetrics().horizontalAdvance(e.name));
  }
  // A pixel or two to spare: a name exactly as wide as its room would be elided.
  return kSample + kGap + std::min(widest + 2, kMaxNameWidth);
}

int PlotLegend::RowsPerColumn(int h) const {
  return std::max(1, (h - 2 * kMargin) / RowHeight());
}

int PlotLegend::Columns(int h) const {
  const int n = std::max<int>(1, static_cast<int>(entries_.size()));
  // Before the first layout the height is unknown: one column, as tall as it needs.
  if (h <= 2 * kMargin + RowHeight()) return 1;
  const int rows = RowsPerColumn(h);
  return (n + rows - 1) / rows;
}

QSize PlotLegend::sizeHint() const {
  const int columns = Columns(height());
  const int rows = columns == 1 ? static_cast<int>(entries_.size()) : RowsPerColumn(height());
  return {2 * kMargin + columns * ColumnWidth() + (columns - 1) * kColumnGap,
          2 * kMargin + rows * RowHeight()};
}

QSize PlotLegend::minimumSizeHint() const {
  return {sizeHint().width(), 2 * kMargin + RowHeight()};
}

std::vector<QRect> PlotLegend::EntryRects() const {
  std::vector<QRect> rects;
  const int rows = Columns(height()) == 1 ? std::max<int>(1, static_cast<int>(entries_.size()))
                                          : RowsPerColumn(height());
  const int w = ColumnWidth();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const int column = static_cast<int>(i) / rows;
    const int row = static_cast<int>(i) % rows;
    rects.emplace_back(kMargin + column * (w + kColumnGap), kMargin + row * RowHeight(), w,
                       RowHeight());
  }
  return rects;
}

void PlotLegend::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Another height can need another number of columns, so another width.
  const int columns = Columns(height());
  if (columns != columns_) {
    columns_ = columns;
    updateGeometry();
  }
}

void PlotLegend::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const std::vector<QRect> rects = EntryRects();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const LegendEntry& e = entries_[i];
    const QRect r = rects[i];
    const qreal mid = r.center().y() + 0.5;
    if (e.pen.style() != Qt::NoPen) {
      QPen pen = e.pen;
      pen.setCapStyle(Qt::FlatCap);
      painter.setPen(pen);
      painter.drawLine(QPointF(r.left() + 2, mid), QPointF(r.left() + kSample - 2, mid));
    }
    if (e.marks.size > 0) {
      const qreal s = std::min<qreal>(std::max<qreal>(e.marks.size, 6), r.height() - 4);
      PaintMark(painter, QRectF(r.left() + kSample / 2.0 - s / 2, mid - s / 2, s, s), e.marks);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect text(r.left() + kSample + kGap, r.top(), r.width() - kSample - kGap, r.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(e.name, Qt::ElideMiddle, text.width()));
  }
}

bool PlotLegend::event(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    updateGeometry();  // the names' widths change with the font
  }
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::vector<QRect> rects = EntryRects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
      if (rects[i].contains(help->pos())) {
        QToolTip::showText(help->globalPos(), entries_[i].name, this, rects[i]);
        return true;
      }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  return QWidget::event(event);
}

}  // namespace quelvaris::ui
