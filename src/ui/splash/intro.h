#pragma once

#include <functional>

#include <QWidget>

#include "settings/global_settings.h"

class QCheckBox;
class QPushButton;

namespace quelvaris::ui {

// The splash window: the program's picture, version and date, Start and Exit, and the offer
// never to show it again.
class Intro : public QWidget {
  Q_OBJECT

 public:
  // show_main: creates the main window if needed and shows it. exit_program: ends the program.
  Intro(GlobalSettings& settings, std::function<void()> show_main,
        std::function<void()> exit_program, QWidget* parent = nullptr);

  // StartButton: with SplashCheck checked the settings file is told not to show the splash
  // again (whether that write worked is not checked: at worst the splash shows next time);
  // then the main window is shown and the splash window closes for good.
  void Start();
  // ExitButton: ends the program at once. Nothing is written, whatever SplashCheck says.
  void Exit();

 private:
  GlobalSettings& settings_;
  std::function<void()> show_main_;
  std::function<void()> exit_program_;
  QCheckBox* splash_check_ = nullptr;
};

}  // namespace quelvaris::ui
