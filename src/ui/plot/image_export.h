#pragma once

#include <QString>

class QWidget;

namespace quelvaris::ui {

// Writes what `widget` shows to `path`: a PDF document of one page (landscape, the picture
// scaled to fit, drawn as vectors) when the path ends in ".pdf" in any case, else a PNG image
// at the widget's size. False when the file could not be written.
bool SaveWidgetImage(QWidget* widget, const QString& path);

}  // namespace quelvaris::ui
