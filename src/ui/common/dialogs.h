#pragma once

#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "platform/message_sink.h"

class QWidget;
class QPrinter;

namespace quelvaris::ui {

// What a file picker takes.
enum class FilePick {
  ExistingFile,  // a file that is there: a file to read
  // Any name: a file that is there, a new one, or one in a folder not made yet. It never asks
  // before replacing a file: a file picked so is written whole, or not at all, when used.
  AnyName,
};

// Every modal dialog the windows open goes through this interface, so window tests answer
// message boxes, file pickers and the printer dialog instead of blocking on them.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  virtual MessageAnswer Message(QWidget* parent, const std::string& title, const std::string& text,
                                MessageIcon icon, MessageButtons buttons) = 0;

  // An open-file dialog starting in start_dir with the given filters (the first selected),
  // taking what `pick` says. A filter's "*.*" stands for every file, a name without a dot
  // included. Nothing when the user cancels.
  virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& start_dir,
                                              const QStringList& filters, FilePick pick) = 0;

  // A save-file dialog starting at start_path with the given filters (the first selected),
  // asking before it replaces an existing file. Nothing when the user cancels. Not pure, so
  // that dialogs written before it (tools, tests) need not answer it: they cancel.
  virtual std::optional<QString> SaveFileName(QWidget* /*parent*/, const QString& /*start_path*/,
                                              const QStringList& /*filters*/) {
    return std::nullopt;
  }

  // The printer dialog: the user picks printer, copies and orientation into `printer`.
  // False when the user cancels.
  virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer) = 0;
};

// The dialogs in use: real Qt dialogs unless a test installed others.
Dialogs& CurrentDialogs();
// Installs `dialogs` (not owned); nullptr goes back to the real Qt dialogs.
void SetDialogs(Dialogs* dialogs);

// A MessageSink for the core's messages, shown over `parent` through CurrentDialogs().
class WindowMessageSink : public MessageSink {
 public:
  explicit WindowMessageSink(QWidget* parent) : parent_(parent) {}
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    return CurrentDialogs().Message(parent_, title, text, icon, buttons);
  }

 private:
  QWidget* parent_;
};

}  // namespace quelvaris::ui
