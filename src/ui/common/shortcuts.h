#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QAbstractButton;
class QWidget;

namespace quelvaris::ui {

// A tooltip followed by the keys that do the same, as "Perform Stats Calculations (F5,
// Ctrl+Return)": the tooltip's own text stays as it is, the keys are learnt where the mouse is.
QString WithShortcuts(const QString& tooltip, const QList<QKeySequence>& keys);

// Gives the action (or button) its keys and names them in its tooltip. Set the tooltip first.
void AddShortcuts(QAction* action, const QList<QKeySequence>& keys);
void AddShortcut(QAbstractButton* button, const QKeySequence& key);

// Esc closes the window, as Back does on the results window.
void CloseOnEscape(QWidget* window);

}  // namespace quelvaris::ui
