#include "ui/splash/start_up.h"

#include <utility>

#include <QCoreApplication>

#include "settings/settings_store.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"
#include "ui/splash/intro.h"

namespace quelvaris::ui {

Program::Program(GlobalSettings& settings)
    : settings_(settings), quit_([] { QCoreApplication::exit(0); }) {}

Program::~Program() {
  delete intro_.data();
  delete main_.data();
}

void Program::SetQuit(std::function<void()> quit) {
  quit_ = std::move(quit);
}

void Program::SetMainSetUp(std::function<void(Main&)> set_up) {
  set_up_main_ = std::move(set_up);
}

FirstWindow Program::StartUp() {
  SetDefaultSettings(settings_);
  WindowMessageSink sink(nullptr);
  LoadSettingsAtStart(settings_, sink);

  intro_ = new Intro(
      settings_, [this] { ShowMain(); }, [this] { quit_(); });
  if (!settings_.Splash) {
    intro_->Start();
    return FirstWindow::Main;
  }
  intro_->show();
  return FirstWindow::Splash;
}

Intro* Program::intro() const {
  return intro_;
}

Main* Program::main_window() const {
  return main_;
}

void Program::ShowMain() {
  if (!main_) {
    main_ = new Main(settings_);
    main_->SetExitHandler([this] { quit_(); });
    if (set_up_main_) set_up_main_(*main_);
  }
  main_->show();
}

}  // namespace quelvaris::ui
