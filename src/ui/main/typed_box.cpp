#include "ui/main/typed_box.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace quelvaris::ui {

TypedBox::TypedBox(const QString& object_name, QWidget* parent) : QLineEdit(parent) {
  setObjectName(object_name);
}

void TypedBox::RunCheck() {
  if (checking_ || !check_) return;
  checking_ = true;
  check_();
  checking_ = false;
}

void TypedBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
    RunCheck();
  }
}

void TypedBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    focusNextChild();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace quelvaris::ui
