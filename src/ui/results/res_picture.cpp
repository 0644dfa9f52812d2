#include "ui/results/res_picture.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include "ui/results/report_columns.h"

namespace quelvaris::ui {
namespace {

// Design size of the picture: the window's client area below its toolbar.
constexpr int kDesignWidth = 913;
constexpr int kDesignHeight = 676;
constexpr int kMargin = 8;
// Room after every text before the next column, in widths of a digit of the report font.
constexpr double kColumnGapDigits = 3;

// A white picture of the given size in device-independent pixels, drawn at the screen's pixel
// density so the report's text is as sharp as the rest of the window (and so is its printout).
QImage BlankPicture(int width, int height, qreal ratio) {
  QImage image(QSize(width, height) * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  return image;
}

}  // namespace

QFont ResPicture::ReportFont(bool bold) {
  // Reports have always asked for "Ariel"; point it at Arial, or at its metric twin where
  // Arial itself is not installed, rather than at whatever the system's default face is.
  static const bool substituted = [] {
    QFont::insertSubstitutions(QStringLiteral("Ariel"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    return true;
  }();
  (void)substituted;
  QFont font(QStringLiteral("Ariel"));
  font.setPointSize(11);
  font.setBold(bold);
  return font;
}

ResPicture::ResPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ResPicture"));
  image_ = BlankPicture(kDesignWidth, kDesignHeight, devicePixelRatioF());
  setFixedSize(Size());
}

QSize ResPicture::Size() const {
  return image_.deviceIndependentSize().toSize();
}

void ResPicture::Clear() {
  image_ = BlankPicture(kDesignWidth, kDesignHeight, devicePixelRatioF());
  setFixedSize(Size());
  lines_.clear();
  segment_lefts_.clear();
  next_y_ = 0;
  update();
}

void ResPicture::EnsureSize(int width, int height) {
  const QSize now = Size();
  if (width <= now.width() && height <= now.height()) return;
  QImage larger = BlankPicture(std::max(width, now.width()), std::max(height, now.height()),
                               image_.devicePixelRatio());
  QPainter(&larger).drawImage(0, 0, image_);
  image_ = larger;
  setFixedSize(Size());
}

void ResPicture::DrawLines(const std::vector<DrawnLine>& lines) {
  // Measure first: the columns depend on every line, and the picture may need to grow.
  struct Measured {
    QFont font;
    QStringList segments;
    double ascent;
    double height;
  };
  std::vector<Measured> measured;
  measured.reserve(lines.size());
  std::vector<SegmentWidths> widths;
  widths.reserve(lines.size());
  for (const DrawnLine& line : lines) {
    Measured m;
    m.font = line.window_font ? font() : ReportFont(line.bold);
    const QFontMetricsF metrics(m.font, &image_);
    m.segments = line.text.split(QLatin1Char('\t'));
    SegmentWidths& w = widths.emplace_back();
    for (const QString& segment : m.segments) {
      w.widths.push_back(metrics.horizontalAdvance(segment));
    }
    m.ascent = metrics.ascent();
    m.height = metrics.lineSpacing();
    measured.push_back(std::move(m));
  }
  const double gap = kColumnGapDigits *
                     QFontMetricsF(ReportFont(false), &image_).horizontalAdvance(QLatin1Char('0'));
  ColumnLayout columns = LayOutColumns(widths, gap);

  double y = next_y_;
  double right = 0;
  for (std::size_t i = 0; i < measured.size(); ++i) {
    const std::vector<double>& starts = columns.segment_lefts[i];
    for (std::size_t s = 0; s < starts.size(); ++s) {
      right = std::max(right, starts[s] + widths[i].widths[s]);
    }
    y += measured[i].height;
  }
  EnsureSize(static_cast<int>(std::ceil(right)) + 2 * kMargin,
             static_cast<int>(std::ceil(y)) + kMargin);

  QPainter painter(&image_);
  painter.setPen(Qt::black);
  painter.setRenderHint(QPainter::TextAntialiasing);
  y = next_y_;
  for (std::size_t i = 0; i < measured.size(); ++i) {
    const Measured& m = measured[i];
    painter.setFont(m.font);
    for (int s = 0; s < m.segments.size(); ++s) {
      if (m.segments[s].isEmpty()) continue;
      painter.drawText(QPointF(kMargin + columns.segment_lefts[i][s], y + m.ascent), m.segments[s]);
    }
    y += m.height;
    lines_.push_back(lines[i]);
    segment_lefts_.push_back(columns.segment_lefts[i]);
  }
  next_y_ = static_cast<int>(std::ceil(y));
  update();
}

void ResPicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(QPoint(0, 0), image_);
}

}  // namespace quelvaris::ui
