#include "ui/common/painted_icon.h"

#include <utility>

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace quelvaris::ui {
namespace {

constexpr double kDesignSize = 32;

class PaintedIconEngine : public QIconEngine {
 public:
  explicit PaintedIconEngine(IconPainter paint) : paint_(std::move(paint)) {}

  QIconEngine* clone() const override { return new PaintedIconEngine(paint_); }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap drawn = scaledPixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state, ratio);
    painter->drawPixmap(rect, drawn);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // QIcon asks for the size in device pixels, the logical size times the scale.
  QPixmap scaledPixmap(const QSize& pixels, QIcon::Mode mode, QIcon::State /*state*/,
                       qreal scale) override {
    if (pixels.isEmpty()) return {};
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    const QString key = QStringLiteral("%1x%2/%3/%4")
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(static_cast<int>(mode))
                            .arg(ink.rgba());
    if (const auto cached = cache_.constFind(key); cached != cache_.constEnd()) return *cached;

    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    {
      QPainter painter(&pixmap);
      painter.setRenderHint(QPainter::Antialiasing);
      const double side = std::min(pixels.width(), pixels.height());
      painter.translate((pixels.width() - side) / 2, (pixels.height() - side) / 2);
      painter.scale(side / kDesignSize, side / kDesignSize);
      paint_(painter, ink);
    }
    if (mode != QIcon::Normal && qApp) {
      QStyleOption option;
      option.palette = QGuiApplication::palette();
      pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
    }
    pixmap.setDevicePixelRatio(scale);
    cache_.insert(key, pixmap);
    return pixmap;
  }

 private:
  IconPainter paint_;
  QHash<QString, QPixmap> cache_;
};

}  // namespace

QIcon PaintedIcon(IconPainter paint) {
  return QIcon(new PaintedIconEngine(std::move(paint)));
}

}  // namespace quelvaris::ui
