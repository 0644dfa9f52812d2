#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/time_stamp.h"

namespace quelvaris {

// A time column that cannot be used: a stamp that does not read, or one that is not later than
// the one before it. Carries what the user needs to find it.
class TimeStampError : public std::runtime_error {
 public:
  TimeStampError(std::string file, std::int64_t line, std::string text, std::string message);

  const std::string& file() const { return file_; }
  std::int64_t line() const { return line_; }
  const std::string& text() const { return text_; }

 private:
  std::string file_;
  std::int64_t line_;
  std::string text_;
};

// The stamps of a time column, one per row: `texts` the column's fields, `lines` the file line
// of each row. Stamps must increase strictly (gaps in time are allowed); the first one that
// does not read, repeats or goes back raises TimeStampError naming the file, line and text.
std::vector<TimeStamp> TimeColumnOf(std::span<const std::string> texts,
                                    std::span<const std::int64_t> lines, TimeStampReader& reader,
                                    const std::string& file);

}  // namespace quelvaris
