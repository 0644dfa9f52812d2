#include "ui/plot/date_ticks.h"

#include <cmath>
#include <cstdint>

#include <QDateTime>

namespace quelvaris::ui {
namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;

QDateTime AtSeconds(std::int64_t s) {
  return QDateTime::fromSecsSinceEpoch(s, Qt::UTC);
}

std::int64_t SecondsOf(int year, int month) {
  return QDateTime(QDate(year, month, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
}

// Ticks on the first of every `months`-th month (months of a year counted from January).
std::vector<DateTick> MonthTicks(std::int64_t from, std::int64_t to, int months,
                                 const QString& format) {
  std::vector<DateTick> ticks;
  const QDate first = AtSeconds(from).date();
  int index = first.year() * 12 + first.month() - 1;  // months since year 0
  index -= index % months;
  for (;; index += months) {
    const std::int64_t at = SecondsOf(index / 12, index % 12 + 1);
    if (at > to) break;
    if (at >= from) ticks.push_back({static_cast<double>(at), AtSeconds(at).toString(format)});
  }
  return ticks;
}

// Ticks on the first and the sixteenth of every month.
std::vector<DateTick> HalfMonthTicks(std::int64_t from, std::int64_t to) {
  std::vector<DateTick> ticks;
  const QDate first = AtSeconds(from).date();
  for (QDate month(first.year(), first.month(), 1);; month = month.addMonths(1)) {
    for (const int day : {1, 16}) {
      const std::int64_t at =
          QDateTime(QDate(month.year(), month.month(), day), QTime(0, 0), Qt::UTC)
              .toSecsSinceEpoch();
      if (at > to) return ticks;
      if (at >= from)
        ticks.push_back({static_cast<double>(at), AtSeconds(at).toString("yyyy-MM-dd")});
    }
  }
}

// Ticks on whole multiples of `step` seconds.
std::vector<DateTick> EvenTicks(std::int64_t from, std::int64_t to, std::int64_t step,
                                const QString& format) {
  std::vector<DateTick> ticks;
  std::int64_t at = from / step * step;
  if (at < from) at += step;
  for (; at <= to; at += step) {
    ticks.push_back({static_cast<double>(at), AtSeconds(at).toString(format)});
  }
  return ticks;
}

}  // namespace

std::vector<DateTick> DateTicks(double from, double to, int intervals) {
  // Stamps lie within years 0 to 9999; anything far beyond is no range of a time axis.
  constexpr double kFar = 1e12;
  if (!(to > from) || !(from > -kFar) || !(to < kFar) || intervals < 1) return {};
  const auto lo = static_cast<std::int64_t>(std::ceil(from));
  const auto hi = static_cast<std::int64_t>(std::floor(to));
  const double span = to - from;
  const auto fits = [&](double step) { return span / step <= intervals; };
  for (const std::int64_t minutes : {1, 5, 15, 30, 60, 120, 180, 360, 720}) {
    if (fits(static_cast<double>(minutes * 60))) {
      return EvenTicks(lo, hi, minutes * 60, QStringLiteral("yyyy-MM-dd hh:mm"));
    }
  }
  for (const std::int64_t days : {1, 2}) {
    if (fits(static_cast<double>(days * kDay))) {
      return EvenTicks(lo, hi, days * kDay, QStringLiteral("yyyy-MM-dd"));
    }
  }
  // Months and years are no fixed number of seconds: their mean length decides the step.
  constexpr double kMonth = 365.2425 * kDay / 12;
  if (fits(kMonth / 2)) return HalfMonthTicks(lo, hi);
  for (const int months : {1, 2, 3, 6}) {
    if (fits(months * kMonth)) return MonthTicks(lo, hi, months, QStringLiteral("yyyy-MM"));
  }
  for (int years = 1;; years *= 10) {
    for (const int m : {1, 2, 5}) {
      if (fits(m * years * 12 * kMonth)) {
        return MonthTicks(lo, hi, m * years * 12, QStringLiteral("yyyy"));
      }
    }
  }
}

}  // namespace quelvaris::ui
