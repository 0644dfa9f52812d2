#include "settings/interval_settings.h"

#include <cmath>
#include <exception>
#include <optional>

#include "platform/ini_file.h"
#include "platform/number_text.h"

namespace quelvaris {

namespace {

constexpr std::string_view kSection = "Quelvaris";
constexpr std::string_view kResamplesKey = "IntervalResamples";
constexpr std::string_view kConfidenceKey = "IntervalConfidence";

std::optional<double> ReadNumber(const std::string& path, std::string_view key) {
  try {
    const std::string text = ReadIniValue(path, kSection, key, "");
    if (text.empty()) return std::nullopt;
    return ParseNumber(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

bool ResamplesInRange(double resamples) {
  return resamples >= 1 && resamples <= kMaxIntervalResamples && std::floor(resamples) == resamples;
}

bool ConfidenceInRange(double confidence) {
  return confidence > 0 && confidence < 1;
}

IntervalSettings LoadIntervalSettings(const std::string& path) {
  IntervalSettings s;
  if (const auto n = ReadNumber(path, kResamplesKey); n && ResamplesInRange(*n)) {
    s.resamples = static_cast<int>(*n);
  }
  if (const auto c = ReadNumber(path, kConfidenceKey); c && ConfidenceInRange(*c)) {
    s.confidence = *c;
  }
  return s;
}

bool SaveIntervalSettings(const std::string& path, const IntervalSettings& settings) {
  try {
    return WriteIniValues(path, kSection,
                          {{std::string(kResamplesKey), std::to_string(settings.resamples)},
                           {std::string(kConfidenceKey), FormatGeneral(settings.confidence)}});
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quelvaris
