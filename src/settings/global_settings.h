#pragma once

#include <cstdint>
#include <string>

namespace quelvaris {

// The process-wide settings. One record lives for the life of the program (the desktop program
// and the batch command each own theirs and pass it by reference).
struct GlobalSettings {
  std::string INIFile;              // settings file used by every read and write
  double GlobalMissingCode = -999;  // marks a missing value; also the value of an undefined figure
  std::int16_t DecimalsReq = 2;
  std::string ResultFormat = "0.00";  // derived from DecimalsReq by FormatForDecimals
  std::string DefaultDir;             // where the file pickers open
  std::string LoadedDefaultDir;       // DefaultDir as last taken from the settings file
  bool Splash = true;
};

// The user's home directory (the default and fall-back directory).
std::string HomeDirectory();

// "Quelvaris.INI" in the user's configuration directory: $XDG_CONFIG_HOME, else ~/.config.
std::string DefaultSettingsFilePath();

// Puts the built-in defaults into every field.
void SetDefaultSettings(GlobalSettings& settings);

// "0" for 0 decimals, else "0." and that many zeros, for 0 to 6; any other value keeps
// `current`, the pattern the settings had.
std::string FormatForDecimals(int decimals, const std::string& current);

// The decimals the reports write: those of ResultFormat. DecimalsReq may hold a value outside
// 0 to 6 read from a settings file, which leaves the pattern (and so the reports) as it was.
int DecimalsInUse(const GlobalSettings& settings);

}  // namespace quelvaris
