#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

namespace quelvaris {

// A moment of a time column, to the second, in the file's own clock (no time zone is applied:
// a trailing `Z` is accepted and read as the same clock).
using TimeStamp = std::chrono::sys_seconds;

// Reads time stamps through the calendar library, one layout for a whole column. Without a
// layout it takes the ISO 8601 forms `1990-10-01`, `1990-10-01T06:00`, `1990-10-01T06:00:00`
// (a blank instead of the `T`, a trailing `Z` after a time); with one, the strftime-style
// layout (`%d/%m/%Y`). Blanks (spaces, tabs) around the text are dropped. A text that does
// not fill the layout exactly, or names a day that does not exist, is no time stamp.
class TimeStampReader {
 public:
  explicit TimeStampReader(std::string layout = {});

  std::optional<TimeStamp> Read(std::string_view text);

  // Whether a stamp read by this reader names a whole day (the layout has no time of day),
  // so that a period's end given as a date means the end of that day.
  bool DateOnly(std::string_view text) const;

  const std::string& layout() const { return layout_; }

 private:
  std::optional<TimeStamp> ReadIn(std::string_view text, const char* layout);

  std::string layout_;
  std::istringstream in_;
};

// A stamp as ISO 8601 text: `1990-10-01` when `date_only`, else `1990-10-01T06:00:00`.
std::string TimeStampText(TimeStamp t, bool date_only);

// Whether every stamp falls on midnight, so that they are written back as dates.
bool AtMidnight(TimeStamp t);
bool AllAtMidnight(std::span<const TimeStamp> stamps);

}  // namespace quelvaris
