#include "ui/plot/image_export.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

namespace quelvaris::ui {
namespace {

QPageLayout PdfPage() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter);
}

bool WritePdf(QWidget* widget, QIODevice* device) {
  QPdfWriter writer(device);
  writer.setResolution(300);
  writer.setPageLayout(PdfPage());
  writer.setCreator(QStringLiteral("Quelvaris"));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  const QRect page = painter.viewport();
  const QSize source = widget->size();
  const qreal scale = std::min(static_cast<qreal>(page.width()) / source.width(),
                               static_cast<qreal>(page.height()) / source.height());
  // Drawn as a picture at about 200 dots per inch, not as vectors: the plots break their lines
  // at values that are not numbers, which the screen's painter skips but the PDF painter
  // would write as strokes to a corner of the page.
  const qreal ratio = std::max<qreal>(1, scale * 200.0 / 300.0);
  QImage picture((QSizeF(source) * ratio).toSize(), QImage::Format_RGB32);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);
  widget->render(&picture, QPoint(), QRegion(),
                 QWidget::DrawWindowBackground | QWidget::DrawChildren);
  const QSizeF target = QSizeF(source) * scale;
  painter.drawImage(
      QRectF(QPointF((page.width() - target.width()) / 2, (page.height() - target.height()) / 2),
             target),
      picture);
  return painter.end();
}

}  // namespace

bool IsPdfPath(const QString& path) {
  return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

QSize PdfLayoutSize(int width) {
  const QSizeF area = PdfPage().paintRect(QPageLayout::Millimeter).size();
  return {width, static_cast<int>(std::lround(width * area.height() / area.width()))};
}

bool SaveWidgetImage(QWidget* widget, const QString& path) {
  if (!widget || widget->width() <= 0 || widget->height() <= 0 || path.isEmpty()) return false;
  const bool pdf = IsPdfPath(path);
  // Written beside the target and renamed into place when complete, so a failed save never
  // leaves a truncated picture where the previous one was.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const bool drawn = pdf ? WritePdf(widget, &file) : widget->grab().save(&file, "PNG");
  if (!drawn || file.size() == 0) {
    file.cancelWriting();
    file.commit();
    return false;
  }
  return file.commit();
}

}  // namespace quelvaris::ui
