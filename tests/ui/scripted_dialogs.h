#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "support/test_support.h"
#include "ui/common/dialogs.h"

namespace quelvaris::testing {

// Answers the windows' dialogs from a script and records every message box. Installed for the
// life of the object.
class ScriptedDialogs : public ui::Dialogs {
 public:
  ScriptedDialogs() { ui::SetDialogs(this); }
  ~ScriptedDialogs() override { ui::SetDialogs(nullptr); }

  MessageAnswer Message(QWidget*, const std::string& title, const std::string& text,
                        MessageIcon icon, MessageButtons buttons) override {
    if (on_message) on_message();
    return messages.ShowMessage(title, text, icon, buttons);
  }
  std::optional<QString> OpenFileName(QWidget*, const QString& start_dir,
                                      const QStringList& filters, ui::FilePick pick) override {
    last_start_dir = start_dir;
    last_filters = filters;
    last_pick = pick;
    if (files.empty()) return std::nullopt;
    // Swapped out rather than copied: g++ 12 at -O2 wrongly warns that a copied optional
    // QString may be used uninitialized.
    std::optional<QString> f;
    f.swap(files.front());
    files.pop_front();
    return f;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString& start_path,
                                      const QStringList& filters) override {
    last_save_start = start_path;
    last_filters = filters;
    if (save_files.empty()) return std::nullopt;
    std::optional<QString> f;
    f.swap(save_files.front());
    save_files.pop_front();
    return f;
  }
  bool SetUpPrinter(QWidget*, QPrinter& printer) override {
    ++printer_dialogs;
    return printer_setup ? printer_setup(printer) : false;
  }

  RecordingSink messages;                         // boxes shown, answers scripted
  std::deque<std::optional<QString>> files;       // picker answers; nothing = cancel
  std::deque<std::optional<QString>> save_files;  // save-dialog answers; nothing = cancel
  std::function<bool(QPrinter&)> printer_setup;
  std::function<void()> on_message;  // e.g. to look at a window while its box is "open"
  QString last_start_dir;
  QString last_save_start;
  QStringList last_filters;
  ui::FilePick last_pick = ui::FilePick::ExistingFile;
  int printer_dialogs = 0;
};

}  // namespace quelvaris::testing
