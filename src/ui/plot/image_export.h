#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace quelvaris::ui {

// Writes what `widget` shows to `path`: a PDF document of one page (landscape, the picture
// scaled to fit, drawn as a picture of about 200 dots per inch) when the path ends in ".pdf" in any
// case, else a PNG image at the widget's size. False when the file could not be written.
bool SaveWidgetImage(QWidget* widget, const QString& path);

// True for a path that SaveWidgetImage writes as PDF.
bool IsPdfPath(const QString& path);

// A size `width` wide of the printable area's shape on the PDF page, for a widget laid out to
// fill that page.
QSize PdfLayoutSize(int width);

}  // namespace quelvaris::ui
