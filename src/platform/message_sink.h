#pragma once

#include <string>

namespace quelvaris {

enum class MessageIcon { Error, Information, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A modal message box. The desktop program shows a QMessageBox, the batch command writes to
// standard error, tests record the call and give a scripted answer. Texts keep the line breaks
// they are given (a lone CR in the run's messages, CRLF in the error reporter's).
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                                    MessageIcon icon, MessageButtons buttons) = 0;
};

// The box every rejected entry and every run-time error uses: "Error Message", error icon, OK.
inline void ShowErrorMessage(MessageSink& sink, const std::string& text) {
  sink.ShowMessage("Error Message", text, MessageIcon::Error, MessageButtons::Ok);
}

}  // namespace quelvaris
