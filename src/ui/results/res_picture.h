#pragma once

#include <vector>

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

namespace quelvaris::ui {

// One line as it was drawn into the picture.
struct DrawnLine {
  QString text;
  bool bold = false;
  bool window_font = false;

  bool operator==(const DrawnLine&) const = default;
};

// A picture box that keeps what is drawn into it: text goes into a persistent image, so a report
// drawn while the window is still hidden shows when it appears and is what gets printed. The
// tab-separated texts of a line are placed in columns as wide as the report's widest text in
// the font actually used, so each column's figures start under its heading. The drawn lines are
// kept as well, for tests.
class ResPicture : public QWidget {
  Q_OBJECT

 public:
  // The font the report is drawn in after its first two lines. The family name is the one the
  // report has always asked for; it is mapped onto an installed face with the same metrics.
  static QFont ReportFont(bool bold);

  explicit ResPicture(QWidget* parent = nullptr);

  // Empties the picture and puts the drawing position back at the top left.
  void Clear();

  // Draws the lines, top to bottom, below whatever was drawn before. Lines marked window_font are
  // drawn in this widget's own font, the others in ReportFont. The picture grows when the report
  // needs more room than the design size, so no figure is cut off on screen or on paper.
  void DrawLines(const std::vector<DrawnLine>& lines);

  // The picture, at the pixel density of the screen it was made for.
  const QImage& Image() const { return image_; }
  // Its size in device-independent pixels, the widget's size.
  QSize Size() const;
  const std::vector<DrawnLine>& Lines() const { return lines_; }
  // Where each tab-separated segment of every drawn line starts, in image pixels (for tests
  // and for anyone checking the layout).
  const std::vector<std::vector<double>>& SegmentLefts() const { return segment_lefts_; }

  QSize sizeHint() const override { return Size(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void EnsureSize(int width, int height);

  QImage image_;
  std::vector<DrawnLine> lines_;
  std::vector<std::vector<double>> segment_lefts_;
  int next_y_ = 0;
};

}  // namespace quelvaris::ui
