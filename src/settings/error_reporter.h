#pragma once

#include <string>

#include "platform/message_sink.h"

namespace quelvaris {

// "Sorry - an error has occurred - please check all selections and try again." CRLF, the
// number's specific text (nothing for a number outside the table), CRLF, the detail with its
// control characters escaped.
std::string ComposeErrorMessage(int number, const std::string& detail);

// Shows the composed message in a box titled "Error Message" with the error icon and OK.
void ErrorReporter(MessageSink& sink, int number, const std::string& detail);

}  // namespace quelvaris
