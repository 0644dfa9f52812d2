#pragma once

#include <memory>

#include <QString>
#include <QWidget>

#include "reports/extended_table.h"
#include "ui/extended/extended_run.h"

class QTableWidget;
class QToolBar;

namespace quelvaris::ui {

// The extended figures of a run: one row per figure, one column per analysed model, in the
// report's decimals. Each label's tooltip gives the figure's formula, reference and when it
// is undefined; an undefined figure is a blank cell. Copy puts the table on the clipboard as
// tab-separated text, Save As writes it as a csv file; Esc closes the window.
class ExtendedWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ExtendedWindow(const ExtendedRun& run, QWidget* parent = nullptr);

  QTableWidget* Table() const { return table_; }
  QToolBar* Toolbar() const { return toolbar_; }
  // The table as Copy and Save As write it: heading row, then one row per figure.
  const TextTable& Text() const { return text_; }

  // The toolbar command of the given key ("menuCopy", "menuSaveAs"); others do nothing.
  void ToolbarClick(const QString& key);
  void CopyTable();
  // Asks for a file name (".csv" added when it has no suffix) and writes the table there.
  void SaveTable();
  // The name Save As first proposes: one made from the data file's, beside it.
  QString ProposedSaveName() const;

 private:
  TextTable text_;
  QToolBar* toolbar_;
  QTableWidget* table_;
  QString data_file_;
  QString last_save_path_;
};

}  // namespace quelvaris::ui
