#include "cli/explicit_values.h"

#include <CLI/CLI.hpp>

namespace quelvaris::cli {

std::optional<std::string> SeparateExplicitValues(const CLI::App& app,
                                                  std::vector<std::string>& words) {
  std::vector<std::string> out;
  out.reserve(words.size() + 1);
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--") {
      out.insert(out.end(), words.begin() + static_cast<long>(i), words.end());
      break;
    }
    out.push_back(word);
    if (word.rfind("--", 0) != 0) continue;
    const std::size_t eq = word.find('=');
    const std::string name = word.substr(0, eq);
    const CLI::Option* option = app.get_option_no_throw(name);
    if (option == nullptr) continue;  // the parser says it is unknown
    const bool is_switch = option->get_items_expected_max() == 0;
    if (eq == std::string::npos) {
      if (!is_switch && i + 1 < words.size()) out.push_back(words[++i]);
      continue;
    }
    if (is_switch) return name + " is a switch and takes no value: " + word;
    if (eq + 1 == word.size()) {
      out.back() = name;
      out.emplace_back();
    }
  }
  words = std::move(out);
  return std::nullopt;
}

}  // namespace quelvaris::cli
