#include "settings/settings_checks.h"

#include <string>

#include "platform/number_text.h"

namespace quelvaris {

SettingCheck CheckDecimals(const std::string& text, GlobalSettings& settings) {
  SettingCheck result;
  const auto value = ParseNumber(text);
  if (!value) {
    result.message = "Required decimals must be an integer value.";
    result.box_text = std::to_string(settings.DecimalsReq);
    return result;
  }
  // Below 0 is rejected before rounding, so -0.5 does not slip in as -1 nor -0 fail as "-0".
  const double decimals = RoundDown(*value);
  if (*value < 0 || decimals > 6) {
    result.message = "Required decimals must be an integer value between 0 and 6.";
    result.box_text = std::to_string(settings.DecimalsReq);
    return result;
  }
  settings.DecimalsReq = static_cast<std::int16_t>(decimals);
  settings.ResultFormat = FormatForDecimals(settings.DecimalsReq, settings.ResultFormat);
  result.accepted = true;
  result.box_text = text;
  return result;
}

SettingCheck CheckMissingCode(const std::string& text, GlobalSettings& settings) {
  SettingCheck result;
  const auto value = ParseNumber(text);
  if (!value) {
    result.message = "Missing data identifier must be a number.";
    result.box_text = FormatGeneral(settings.GlobalMissingCode);
    return result;
  }
  settings.GlobalMissingCode = *value;
  result.accepted = true;
  result.box_text = text;
  return result;
}

}  // namespace quelvaris
