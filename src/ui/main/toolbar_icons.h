#pragma once

#include <QIcon>

namespace quelvaris::ui {

enum class ToolbarGlyph { Reset, Calculate, Settings, Exit, Back, Print };

// The toolbar pictures, drawn here so the program ships no image files, and drawn at the size
// and pixel density they are shown at.
QIcon ToolbarIcon(ToolbarGlyph glyph);

}  // namespace quelvaris::ui
