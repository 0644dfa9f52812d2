#pragma once

#include <functional>

#include <QPointer>

#include "settings/global_settings.h"

namespace quelvaris::ui {

class Intro;
class Main;

// Which window the user sees first.
enum class FirstWindow { Splash, Main };

// The desktop program from its start to its end: settings first, then the splash window or
// straight to the main window, which then runs until the program ends.
class Program {
 public:
  explicit Program(GlobalSettings& settings);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // What ends the program (the splash window's Exit, the main window's exit); by default the
  // application's event loop ends at once, without closing the windows one by one (which could ask
  // again).
  void SetQuit(std::function<void()> quit);
  // Runs on the main window once, right after it is created (the program wires its settings
  // command there).
  void SetMainSetUp(std::function<void(Main&)> set_up);

  // Defaults, then the settings file (its error boxes shown through the dialogs), then the
  // splash window, or with the splash turned off the splash window's Start at once, so the
  // main window is the first the user sees.
  FirstWindow StartUp();

  Intro* intro() const;  // until the splash window has closed
  Main* main_window() const;

 private:
  void ShowMain();

  GlobalSettings& settings_;
  std::function<void()> quit_;
  std::function<void(Main&)> set_up_main_;
  QPointer<Intro> intro_;
  QPointer<Main> main_;
};

}  // namespace quelvaris::ui
