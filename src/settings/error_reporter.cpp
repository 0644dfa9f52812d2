#include "settings/error_reporter.h"

#include "platform/visible_text.h"

namespace quelvaris {

namespace {

const char* SpecificText(int number) {
  switch (number) {
    case 5:
      return "Overflow in calculation.";
    case 6:
      return "Overflow has occurred.";
    case 9:
      return "File too large for program to handle.";
    case 11:
      return "Division by zero.";
    case 53:
      return "File not found.";
    case 55:
      return "File already open.";
    case 58:
      return "File already exists.";
    case 61:
      return "Disk full.";
    case 62:
      return "Input past end of file.";
    case 68:
      return "Drive is unavailable.";
    case 70:
      return "Permission denied - file could be open.";
    case 71:
      return "Disk not ready.";
    case 75:
      return "Unable to write to drive.\r\nPlease check default directory settings.";
    case 76:
      return "A file could not be found.";
    case 1306:
      return "Matrix is singular and cannot be inverted.";
    default:
      return "";
  }
}

}  // namespace

std::string ComposeErrorMessage(int number, const std::string& detail) {
  std::string text = "Sorry - an error has occurred - please check all selections and try again.";
  text += "\r\n";
  text += SpecificText(number);
  text += "\r\n";
  // A detail names a path or quotes a file; neither may put a raw control byte on a terminal.
  text += VisibleText(detail);
  return text;
}

void ErrorReporter(MessageSink& sink, int number, const std::string& detail) {
  ShowErrorMessage(sink, ComposeErrorMessage(number, detail));
}

}  // namespace quelvaris
