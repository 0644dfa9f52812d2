#pragma once

#include <string>

#include "platform/message_sink.h"
#include "settings/global_settings.h"

namespace quelvaris {

// What LoadSavedSettings tells the settings window about each value it took, so the window
// shows it. The batch command and tests may ignore these.
class SettingsListener {
 public:
  virtual ~SettingsListener() = default;
  virtual void DefaultDirLoaded(const std::string& dir) = 0;
  virtual void MissingCodeLoaded(double code) = 0;
  virtual void DecimalsLoaded(int decimals) = 0;
};

// Reads "GlobalMissingCode", "DecimalsReq", "INIFile" (which redirects the keys after it),
// "DefaultDir" and "Splash" from the file named by settings.INIFile. Unusable keys are ignored
// silently; a run-time error (a "DecimalsReq" beyond 16 bits) goes to the error reporter and
// skips the remaining keys.
void LoadSettingsAtStart(GlobalSettings& settings, MessageSink& sink);

// The settings window's Load command, with its three messages. Returns false when a run-time
// error was reported (the window then resets its values).
bool LoadSavedSettings(GlobalSettings& settings, MessageSink& sink, SettingsListener& listener);

// The settings window's Save command (after the window's own check of its decimals box):
// writes "GlobalMissingCode", "DefaultDir", "DecimalsReq" and says the outcome. Returns true
// when every key was written.
bool SaveSettings(const GlobalSettings& settings, MessageSink& sink);

// Writes "Splash"="False" to the settings file; the outcome is not reported.
void TurnSplashOff(const GlobalSettings& settings);

}  // namespace quelvaris
