#include "ui/common/screen_fit.h"

#include <algorithm>

#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace quelvaris::ui {

QSize ScreenRoom(const QWidget& window) {
  QSize room = window.screen()->availableGeometry().size();
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  if (window.isVisible() && !frame.isEmpty()) return room - frame;
  const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  return room - QSize(8, title + 8);
}

QSize ScrollingFit(QSize whole, QSize room, int bar) {
  QSize size = whole.boundedTo(room);
  if (size.width() < whole.width()) size.setHeight(std::min(room.height(), whole.height() + bar));
  if (size.height() < whole.height()) size.setWidth(std::min(room.width(), whole.width() + bar));
  return size;
}

}  // namespace quelvaris::ui
