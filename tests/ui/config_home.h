#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace quelvaris::testing {

// Points the user's configuration folder (and, when asked, the home folder) at temporary
// folders for the life of the object, so nothing a test does reads or writes the user's own.
class ConfigHome {
 public:
  explicit ConfigHome(const std::filesystem::path& config,
                      const std::optional<std::filesystem::path>& home = std::nullopt)
      : config_("XDG_CONFIG_HOME", config.string()) {
    if (home) home_.emplace("HOME", home->string());
  }

 private:
  // One environment variable set for the life of the object, then put back.
  class Variable {
   public:
    Variable(const char* name, const std::string& value) : name_(name) {
      if (const char* old = std::getenv(name)) old_ = old;
      setenv(name, value.c_str(), 1);
    }
    ~Variable() {
      if (old_) {
        setenv(name_, old_->c_str(), 1);
      } else {
        unsetenv(name_);
      }
    }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

   private:
    const char* name_;
    std::optional<std::string> old_;
  };

  Variable config_;
  std::optional<Variable> home_;
};

}  // namespace quelvaris::testing
