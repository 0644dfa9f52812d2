#pragma once

#include <functional>

#include <QLineEdit>

namespace quelvaris::ui {

// A box the user types a value into. Its check runs whenever the focus leaves it for another
// control of the window; Enter moves on to the next control as Tab would, which runs the check.
// Focus that goes to another window (a message box, the results window) is no leaving: the
// box is still the one being typed in.
class TypedBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit TypedBox(const QString& object_name, QWidget* parent = nullptr);

  void SetCheck(std::function<void()> check) { check_ = std::move(check); }
  // Runs the check now, unless it is already running (its message box can move the focus).
  void RunCheck();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void()> check_;
  bool checking_ = false;
};

}  // namespace quelvaris::ui
