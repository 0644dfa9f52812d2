#include "settings/settings_store.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/ini_file.h"
#include "platform/int16.h"
#include "platform/number_text.h"
#include "platform/run_time_error.h"
#include "platform/visible_text.h"
#include "settings/error_reporter.h"

namespace quelvaris {

namespace {

constexpr std::string_view kSection = "Quelvaris";
// What an absent key reads as; a value the user wrote beginning with it counts as absent too.
constexpr std::string_view kMissing = "Missing";

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

// The key's text when it is usable, nothing otherwise. Values are read whole.
std::optional<std::string> ReadText(const GlobalSettings& settings, std::string_view key) {
  std::string text = ReadIniValue(settings.INIFile, kSection, key, kMissing);
  if (text.compare(0, kMissing.size(), kMissing) == 0) return std::nullopt;
  return text;
}

std::optional<double> ReadNumber(const GlobalSettings& settings, std::string_view key) {
  const auto text = ReadText(settings, key);
  if (!text) return std::nullopt;
  return ParseNumber(*text);
}

// Decimals are rounded down and must fit 16 bits (70000 raises error 6); no range check, so
// 9 is kept as 9 and the pattern stays as it was.
void TakeDecimals(GlobalSettings& settings, double value) {
  settings.DecimalsReq = ToInt16(RoundDown(value));
  settings.ResultFormat = FormatForDecimals(settings.DecimalsReq, settings.ResultFormat);
}

// A directory path that is blank after trimming names nothing and is not taken.
std::optional<std::string> ReadPath(const GlobalSettings& settings, std::string_view key) {
  const auto text = ReadText(settings, key);
  if (!text) return std::nullopt;
  std::string path = Trimmed(*text);
  if (path.empty()) return std::nullopt;
  return path;
}

// The program's own configuration folder may not exist yet on a fresh account; a settings file
// the user named elsewhere is never given folders.
void PrepareFolder(const std::string& path) {
  if (path != DefaultSettingsFilePath()) return;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
}

void ReportFailure(MessageSink& sink, const std::exception& e, const std::string& path) {
  ErrorReporter(sink, ErrorNumberOf(e), "Settings file: " + path);
}

}  // namespace

void LoadSettingsAtStart(GlobalSettings& settings, MessageSink& sink) {
  try {
    if (auto code = ReadNumber(settings, "GlobalMissingCode")) settings.GlobalMissingCode = *code;
    if (auto decimals = ReadNumber(settings, "DecimalsReq")) TakeDecimals(settings, *decimals);
    // From here on every read and write goes to the named file.
    if (auto file = ReadPath(settings, "INIFile")) settings.INIFile = *file;
    if (auto dir = ReadPath(settings, "DefaultDir")) {
      settings.DefaultDir = *dir;
      settings.LoadedDefaultDir = *dir;
    }
    if (auto splash = ReadText(settings, "Splash")) settings.Splash = splash->rfind("True", 0) == 0;
  } catch (const std::exception& e) {
    ReportFailure(sink, e, settings.INIFile);
  }
}

bool LoadSavedSettings(GlobalSettings& settings, MessageSink& sink, SettingsListener& listener) {
  const std::string& path = settings.INIFile;
  try {
    if (auto dir = ReadPath(settings, "DefaultDir")) {
      settings.DefaultDir = *dir;
      settings.LoadedDefaultDir = *dir;
      listener.DefaultDirLoaded(*dir);
    } else {
      ShowErrorMessage(sink,
                       "Sorry - unable to load default directory from " + VisibleText(path) + ".");
    }
    if (auto code = ReadNumber(settings, "GlobalMissingCode")) {
      settings.GlobalMissingCode = *code;
      listener.MissingCodeLoaded(*code);
    } else {
      ShowErrorMessage(
          sink, "Sorry - unable to load 'Missing Data Identifier' from " + VisibleText(path) + ".");
    }
    if (auto decimals = ReadNumber(settings, "DecimalsReq")) {
      settings.DecimalsReq = ToInt16(RoundDown(*decimals));
      listener.DecimalsLoaded(settings.DecimalsReq);
      settings.ResultFormat = FormatForDecimals(settings.DecimalsReq, settings.ResultFormat);
    } else {
      ShowErrorMessage(
          sink, "Sorry - unable to load 'Decimals Required' from " + VisibleText(path) + ".");
    }
  } catch (const std::exception& e) {
    ReportFailure(sink, e, path);
    return false;
  }
  return true;
}

bool SaveSettings(const GlobalSettings& settings, MessageSink& sink) {
  const std::string& path = settings.INIFile;
  try {
    PrepareFolder(path);
    // All three keys go in one replacement of the file, so a failure leaves it as it was and
    // success is reported only when every key is in it.
    const bool saved =
        WriteIniValues(path, kSection,
                       {{"GlobalMissingCode", FormatGeneral(settings.GlobalMissingCode)},
                        {"DefaultDir", settings.DefaultDir},
                        {"DecimalsReq", std::to_string(settings.DecimalsReq)}});
    if (!saved) {
      ShowErrorMessage(sink, "Sorry, unable to save data to " + VisibleText(path) + ".");
      return false;
    }
    sink.ShowMessage("Settings Saved", "Settings saved to " + VisibleText(path) + ".",
                     MessageIcon::Information, MessageButtons::Ok);
  } catch (const std::exception& e) {
    ReportFailure(sink, e, path);
    return false;
  }
  return true;
}

void TurnSplashOff(const GlobalSettings& settings) {
  try {
    PrepareFolder(settings.INIFile);
    WriteIniValue(settings.INIFile, kSection, "Splash", "False");
  } catch (const std::exception&) {
    // Not seeing the splash again is a convenience; failing to record it is not worth a box.
  }
}

}  // namespace quelvaris
