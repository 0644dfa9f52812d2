#include "engine/time_stamp.h"

#include <date/date.h>

#include <algorithm>
#include <cctype>

namespace quelvaris {

namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool Digits(std::string_view s, std::size_t at, std::size_t count) {
  if (s.size() < at + count) return false;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  }
  return true;
}

// The ISO layout a text has, by its shape: the calendar library then reads and checks it. The
// shape is checked first since the library takes a year of any width ("90-1-1" would be the
// year 90).
const char* IsoLayoutOf(std::string_view s) {
  if (!(Digits(s, 0, 4) && s.size() >= 10 && s[4] == '-' && Digits(s, 5, 2) && s[7] == '-' &&
        Digits(s, 8, 2))) {
    return nullptr;
  }
  if (s.size() == 10) return "%Y-%m-%d";
  if (s[10] != 'T' && s[10] != ' ') return nullptr;
  std::string_view time = s.substr(11);
  if (!time.empty() && time.back() == 'Z') time.remove_suffix(1);
  const bool t = s[10] == 'T';
  if (time.size() == 5 && Digits(time, 0, 2) && time[2] == ':' && Digits(time, 3, 2)) {
    return t ? "%Y-%m-%dT%H:%M" : "%Y-%m-%d %H:%M";
  }
  if (time.size() == 8 && Digits(time, 0, 2) && time[2] == ':' && Digits(time, 3, 2) &&
      time[5] == ':' && Digits(time, 6, 2)) {
    return t ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S";
  }
  return nullptr;
}

bool LayoutHasTimeOfDay(std::string_view layout) {
  for (std::size_t i = 0; i + 1 < layout.size(); ++i) {
    if (layout[i] != '%') continue;
    std::size_t k = i + 1;
    while (k < layout.size() && (std::isdigit(static_cast<unsigned char>(layout[k])) ||
                                 layout[k] == 'E' || layout[k] == 'O')) {
      ++k;
    }
    if (k < layout.size() &&
        std::string_view("HIMSTRrcXps").find(layout[k]) != std::string_view::npos) {
      return true;
    }
    i = k;
  }
  return false;
}

}  // namespace

TimeStampReader::TimeStampReader(std::string layout) : layout_(std::move(layout)) {
  in_.imbue(std::locale::classic());
}

std::optional<TimeStamp> TimeStampReader::ReadIn(std::string_view text, const char* layout) {
  in_.clear();
  in_.str(std::string(text));
  TimeStamp t{};
  in_ >> date::parse(layout, t);
  if (in_.fail() || in_.peek() != std::char_traits<char>::eof()) return std::nullopt;
  return t;
}

std::optional<TimeStamp> TimeStampReader::Read(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  if (!layout_.empty()) return ReadIn(text, layout_.c_str());
  const char* iso = IsoLayoutOf(text);
  if (iso == nullptr) return std::nullopt;
  // A plain date, the common case of a long daily record, straight from its digits: a day that
  // exists is what the calendar library reads too (its stream costs some microseconds a
  // stamp); any other goes to the library.
  if (text.size() == 10) {
    const auto number = [text](std::size_t at, std::size_t count) {
      unsigned value = 0;
      for (std::size_t i = at; i < at + count; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
      }
      return value;
    };
    const date::year_month_day day{date::year{static_cast<int>(number(0, 4))},
                                   date::month{number(5, 2)}, date::day{number(8, 2)}};
    if (day.ok()) return TimeStamp{date::sys_days{day}};
  }
  if (text.back() == 'Z') text.remove_suffix(1);
  return ReadIn(text, iso);
}

bool TimeStampReader::DateOnly(std::string_view text) const {
  if (!layout_.empty()) return !LayoutHasTimeOfDay(layout_);
  return Trimmed(text).size() == 10;
}

std::string TimeStampText(TimeStamp t, bool date_only) {
  // A year of four digits from its fields (a table of months writes two stamps a period, and
  // the general formatting costs thousands of instructions each); any other year as the
  // general formatting writes it.
  const date::sys_days day = date::floor<date::days>(t);
  const date::year_month_day ymd{day};
  const int year = static_cast<int>(ymd.year());
  if (year < 1000 || year > 9999) {
    return date_only ? date::format("%F", day) : date::format("%FT%T", t);
  }
  char text[19];
  const auto two = [&text](int at, unsigned value) {
    text[at] = static_cast<char>('0' + value / 10);
    text[at + 1] = static_cast<char>('0' + value % 10);
  };
  two(0, static_cast<unsigned>(year / 100));
  two(2, static_cast<unsigned>(year % 100));
  text[4] = '-';
  two(5, static_cast<unsigned>(ymd.month()));
  text[7] = '-';
  two(8, static_cast<unsigned>(ymd.day()));
  if (date_only) return std::string(text, 10);
  const date::hh_mm_ss<std::chrono::seconds> time{t - day};
  text[10] = 'T';
  two(11, static_cast<unsigned>(time.hours().count()));
  text[13] = ':';
  two(14, static_cast<unsigned>(time.minutes().count()));
  text[16] = ':';
  two(17, static_cast<unsigned>(time.seconds().count()));
  return std::string(text, 19);
}

bool AtMidnight(TimeStamp t) {
  return date::floor<date::days>(t) == t;
}

bool AllAtMidnight(std::span<const TimeStamp> stamps) {
  return std::all_of(stamps.begin(), stamps.end(), AtMidnight);
}

}  // namespace quelvaris
