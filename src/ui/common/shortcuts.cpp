#include "ui/common/shortcuts.h"

#include <QAbstractButton>
#include <QAction>
#include <QStringList>
#include <QWidget>

namespace quelvaris::ui {

QString WithShortcuts(const QString& tooltip, const QList<QKeySequence>& keys) {
  QStringList names;
  for (const QKeySequence& key : keys) names << key.toString(QKeySequence::NativeText);
  if (names.isEmpty()) return tooltip;
  // Some tooltips end in a blank of their own ("Save settings "); it is the one before the keys.
  const QString gap = tooltip.endsWith(QLatin1Char(' ')) ? QString() : QStringLiteral(" ");
  return tooltip + gap + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void AddShortcuts(QAction* action, const QList<QKeySequence>& keys) {
  action->setShortcuts(keys);
  action->setToolTip(WithShortcuts(action->toolTip(), keys));
}

void AddShortcut(QAbstractButton* button, const QKeySequence& key) {
  button->setShortcut(key);
  button->setToolTip(WithShortcuts(button->toolTip(), {key}));
}

void CloseOnEscape(QWidget* window) {
  auto* close = new QAction(window);
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  close->setShortcutContext(Qt::WindowShortcut);
  window->addAction(close);
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
}

}  // namespace quelvaris::ui
