#pragma once

#include <QIcon>

namespace quelvaris::ui {

// The results toolbar's Plot picture: two lines over a pair of axes, drawn here so the program
// ships no image files.
QIcon PlotIcon();

}  // namespace quelvaris::ui
