#pragma once

#include <QPixmap>
#include <QSize>

namespace quelvaris::ui {

// The splash window's picture: a river valley at dusk with a hydrograph of observed and
// modelled flow drawn over it. Drawn at start-up, so the program ships no image files.
QPixmap DrawSplashPicture(QSize size);

}  // namespace quelvaris::ui
