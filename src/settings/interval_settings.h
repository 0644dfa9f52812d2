#pragma once

#include <string>

namespace quelvaris {

// The most resamples an interval may take.
inline constexpr int kMaxIntervalResamples = 100000;

// The Extended window's interval settings, kept in the settings file beside the described keys
// under keys of their own ("IntervalResamples", "IntervalConfidence" in the same section), so
// that a file written by an earlier version reads as before and keeps its layout.
struct IntervalSettings {
  int resamples = 1000;      // 1 .. 100,000
  double confidence = 0.90;  // within (0, 1)
};

// The values in the file at `path`; a key that is absent, not a number or out of range keeps its
// default. Never fails: an unreadable file is no file.
IntervalSettings LoadIntervalSettings(const std::string& path);

// Writes both keys (every other line of the file stays); false when the file could not be
// written.
bool SaveIntervalSettings(const std::string& path, const IntervalSettings& settings);

// Whether a resample count and a confidence can be used.
bool ResamplesInRange(double resamples);
bool ConfidenceInRange(double confidence);

}  // namespace quelvaris
