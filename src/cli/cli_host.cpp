#include "cli/cli_host.h"

#include <utility>

namespace quelvaris::cli {

namespace {

// The run joins the lines of its boxes with a lone CR, the error reporter with CRLF.
std::string WithNewlines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

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
  boxes_.push_back({title, WithNewlines(text), icon == MessageIcon::Error});
  if (!(quiet_ && icon == MessageIcon::Information)) {
    std::string line = title + ": " + boxes_.back().text + "\n";
    if (!heading_.empty()) line.insert(0, std::exchange(heading_, {}) + "\n");
    std::fwrite(line.data(), 1, line.size(), err_);
    std::fflush(err_);
  }
  // Nobody is there to answer a question; the batch command never asks one.
  return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void CliHost::BeginFile(std::string heading) {
  heading_ = std::move(heading);
  boxes_.clear();
}

std::vector<ShownBox> CliHost::TakeBoxes() {
  return std::exchange(boxes_, {});
}

}  // namespace quelvaris::cli
