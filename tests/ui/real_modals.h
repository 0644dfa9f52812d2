#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "ui/common/dialogs.h"

namespace quelvaris::testing {

// Lets the program open its real modal windows (the toolkit's file dialog, message boxes, the
// results and settings windows) and answers each one as a user would, from a test's handler.
// A handler that leaves its window open is not asked about it again. Message boxes the handler
// does not take are closed (with their default button) and their texts recorded, so a refusal
// that the toolkit's own dialog shows never blocks a test.
class RealModals {
 public:
  // handler: true when it takes the window. It runs from a timer, which does not fire again
  // until the handler returns: a handler that opens further windows (as pressing Open may) does
  // so in a call it queues with QTimer::singleShot.
  explicit RealModals(std::function<bool(QWidget*)> handler) : handler_(std::move(handler)) {
    ui::SetDialogs(nullptr);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  RealModals(const RealModals&) = delete;
  RealModals& operator=(const RealModals&) = delete;

  std::vector<std::string> boxes;  // texts of the message boxes closed unanswered

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    for (const QPointer<QWidget>& seen : seen_) {
      if (seen == modal) return;
    }
    seen_.push_back(modal);
    if (handler_(modal)) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      boxes.push_back(box->text().toStdString());
      QPointer<QMessageBox> guard(box);
      QTimer::singleShot(0, box, [guard] {
        if (guard) guard->done(QMessageBox::Ok);
      });
    } else {
      seen_.pop_back();  // not yet for this test: ask again later
    }
  }

  std::function<bool(QWidget*)> handler_;
  std::vector<QPointer<QWidget>> seen_;
  QTimer timer_;
};

// Types `name` into the file dialog's name box and presses Open. False when the dialog refused
// the name (it stayed open); it is then cancelled.
inline bool TypeNameAndOpen(QFileDialog* dialog, const QString& name) {
  dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
  static_cast<QDialog*>(dialog)->accept();  // what Open does
  if (!dialog->isVisible()) return true;
  dialog->reject();
  return false;
}

}  // namespace quelvaris::testing
