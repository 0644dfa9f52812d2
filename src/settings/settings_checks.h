#pragma once

#include <string>

#include "settings/global_settings.h"

namespace quelvaris {

// The settings window's two checks, shared with the batch command's --decimals and
// --missing-code. On acceptance the value is taken into the settings at once (decimals rounded
// down, ResultFormat following); on rejection the settings are unchanged and `message` is set.
struct SettingCheck {
  bool accepted = false;
  std::string message;   // empty when accepted
  std::string box_text;  // what the box shows afterwards (the stored value again on rejection;
                         // the text as typed on acceptance)
};

// "Required decimals must be an integer value." / "... an integer value between 0 and 6."
SettingCheck CheckDecimals(const std::string& text, GlobalSettings& settings);

// "Missing data identifier must be a number."
SettingCheck CheckMissingCode(const std::string& text, GlobalSettings& settings);

}  // namespace quelvaris
