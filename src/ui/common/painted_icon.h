#pragma once

#include <functional>

#include <QIcon>

class QPainter;

namespace quelvaris::ui {

// Draws a picture into a 32 by 32 design square. `ink` is the palette's text colour at the
// time of drawing, for the parts of a picture that must stand out from the window behind it
// in light and dark themes alike.
using IconPainter = std::function<void(QPainter& painter, const QColor& ink)>;

// An icon painted afresh for every size and device pixel ratio it is asked for, so it stays
// sharp on high-density screens instead of being scaled up from one small bitmap. The disabled
// look is the style's, as for any other icon.
QIcon PaintedIcon(IconPainter paint);

}  // namespace quelvaris::ui
