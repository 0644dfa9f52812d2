#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace quelvaris::cli {

// The parser reads "--name=" as "--name" without a value, and so takes the next word as the
// value, and it reads "--switch=word" as a setting of the switch. On this command line a value
// is either written after "=" or as the next word, and a switch has none. This pass goes over
// the words (without the program name) before the parser sees them: a value given to a switch
// is refused (the message is returned), and an empty value after "=" is handed on as an empty
// word of its own, which the option's own check then rejects. The next word after an option
// that takes a value, and every word after "--", are values and are left alone.
std::optional<std::string> SeparateExplicitValues(const CLI::App& app,
                                                  std::vector<std::string>& words);

}  // namespace quelvaris::cli
