#include "cli/cli_host.h"

#include <utility>

namespace quelvaris::cli {

CliHost::CliHost(RunInputs inputs, std::FILE* err, bool quiet)
    : inputs_(std::move(inputs)), err_(err), quiet_(quiet) {}

std::string CliHost::BoxText(RunBox box) const {
  auto it = inputs_.boxes.find(box);
  return it == inputs_.boxes.end() ? std::string() : it->second;
}

bool CliHost::SwitchOn(RunSwitch which) const {
  auto it = inputs_.switches.find(which);
  return it != inputs_.switches.end() && it->second;
}

MessageAnswer CliHost::ShowMessage(const std::string& title, const std::string& text,
                                   MessageIcon icon, MessageButtons buttons) {
  if (icon == MessageIcon::Error) ++error_boxes_;
  if (!(quiet_ && icon == MessageIcon::Information)) {
    const std::string line = MessageAsText(title, text);
    std::fwrite(line.data(), 1, line.size(), err_);
    std::fflush(err_);
  }
  // Nobody is there to answer a question; the batch command never asks one.
  return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

std::string MessageAsText(const std::string& title, const std::string& text) {
  std::string out = title + ": ";
  out.reserve(out.size() + text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  out += '\n';
  return out;
}

}  // namespace quelvaris::cli
