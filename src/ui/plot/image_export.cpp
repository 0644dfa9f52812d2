#include "ui/plot/image_export.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
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
  // Centred; a widget of the page's shape (PdfLayoutSize) fills it.
  painter.translate((page.width() - scale * source.width()) / 2,
                    (page.height() - scale * source.height()) / 2);
  painter.scale(scale, scale);
  widget->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
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
