// The Extended window's intervals beside its figures.

#include <algorithm>

#include <QTableWidget>

#include "reports/interval_table.h"
#include "ui/common/screen_fit.h"
#include "ui/extended/extended_window.h"

namespace quelvaris::ui {

void ExtendedWindow::ShowIntervals(const BootstrapResult& result) {
  if (plain_text_.empty()) plain_text_ = text_;
  text_ = plain_text_;
  AddExtendedIntervals(text_, result, pattern_);
  const int rows = std::min(table_->rowCount(), static_cast<int>(text_.size()) - 1);
  for (int r = 0; r < rows; ++r) {
    const auto& row = text_[static_cast<std::size_t>(r) + 1];
    for (int c = 0; c < table_->columnCount() && static_cast<std::size_t>(c) + 2 < row.size();
         ++c) {
      if (QTableWidgetItem* cell = table_->item(r, c)) {
        cell->setText(QString::fromStdString(row[static_cast<std::size_t>(c) + 2]));
      }
    }
  }
  table_->resizeColumnsToContents();
  // Wider cells: the window grows with them as far as the screen has room.
  const int wanted = std::min(sizeHint().width(), ScreenRoom(*this).width());
  if (wanted > width()) resize(wanted, height());
}

}  // namespace quelvaris::ui
