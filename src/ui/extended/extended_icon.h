#pragma once

#include <QIcon>

namespace quelvaris::ui {

// The results toolbar's Extended picture: a small table of figures, drawn here so the program
// ships no image files.
QIcon ExtendedIcon();

}  // namespace quelvaris::ui
