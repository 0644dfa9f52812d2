#pragma once

#include <QIcon>
#include <QString>

namespace quelvaris::ui {

// The program icon in every size it was drawn in (16 to 256 pixels), built into the program so
// the windows show it whether or not the icon theme is installed.
QIcon ProgramIcon();

// What the desktop knows the program by: name, version, the desktop entry its windows belong
// to (so they are grouped under its launcher) and the icon every window shows.
void SetProgramIdentity();

// The desktop entry's name without ".desktop".
QString DesktopId();

}  // namespace quelvaris::ui
