#include "settings/global_settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace quelvaris {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

}  // namespace

std::string HomeDirectory() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) home = entry->pw_dir;
  }
  return home.empty() ? "/" : home;
}

std::string DefaultSettingsFilePath() {
  // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') {
    const std::string home = HomeDirectory();
    config = home == "/" ? "/.config" : home + "/.config";
  }
  while (config.size() > 1 && config.back() == '/') config.pop_back();
  return config + "/Quelvaris.INI";
}

void SetDefaultSettings(GlobalSettings& settings) {
  settings.INIFile = DefaultSettingsFilePath();
  settings.GlobalMissingCode = -999;
  settings.DecimalsReq = 2;
  settings.ResultFormat = "0.00";
  settings.DefaultDir = HomeDirectory();
  settings.LoadedDefaultDir = settings.DefaultDir;
  settings.Splash = true;
}

std::string FormatForDecimals(int decimals, const std::string& current) {
  if (decimals < 0 || decimals > 6) return current;
  if (decimals == 0) return "0";
  return "0." + std::string(static_cast<std::size_t>(decimals), '0');
}

int DecimalsInUse(const GlobalSettings& settings) {
  const std::string& pattern = settings.ResultFormat;
  const std::size_t point = pattern.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
}

}  // namespace quelvaris
