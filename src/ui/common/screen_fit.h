#pragma once

#include <QSize>

class QWidget;

namespace quelvaris::ui {

// The room a top-level window has on its screen: the screen's available area less the window
// system's frame. The frame is not known before the window is first shown; until then a title
// bar and thin borders are allowed for.
QSize ScreenRoom(const QWidget& window);

// The size of a window whose whole content is `whole` and which scrolls within `room`: the
// whole when it fits; otherwise as much as fits, a scroll bar (`bar` wide) across one side
// taking room from the other.
QSize ScrollingFit(QSize whole, QSize room, int bar);

}  // namespace quelvaris::ui
