#include "engine/range_reader.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <iterator>
#include <thread>

#include "engine/line_windows.h"
#include "platform/large_pages.h"
#include "platform/number_text.h"
#include "platform/strided_threads.h"

namespace quelvaris {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

struct Range {
  std::int64_t begin = 0;
  std::int64_t end = 0;
  // From the counting pass.
  bool plain = false;  // no quote, no NUL, every line shorter than a window
  std::int64_t lines = 0;
  std::int64_t records = 0;
  // Placed by the counts of the ranges before it.
  std::int64_t first_line = 0;
  std::int64_t first_row = 0;
  // From the reading pass.
  bool whole = false;  // every row read and placed
  std::int64_t wide_line = 0;
  std::vector<std::string> times;
  std::vector<std::int64_t> time_lines;
};

// Counts the lines and records (lines that are not blanks only) of a range, and whether it can
// be read on its own.
void Count(int fd, Range& r) {
  LineWindows windows(fd, r.begin, r.end);
  std::string_view run;
  for (;;) {
    if (!windows.Next(run)) return;
    if (run.empty()) break;
    if (std::memchr(run.data(), '"', run.size()) != nullptr ||
        std::memchr(run.data(), '\0', run.size()) != nullptr) {
      return;
    }
    const char* p = run.data();
    const char* const end = p + run.size();
    LineEndFinder ends(end);
    while (p < end) {
      const char* q = p;
      while (q < end && IsBlank(*q)) ++q;
      const char* line_end = q < end && IsLineEnd(*q) ? q : ends.From(q);
      r.records += line_end != q;
      if (line_end == end) break;
      ++r.lines;
      p = PastLineEnd(line_end, end);
    }
  }
  r.plain = true;
}

// Reads the rows of one range into their places.
class RangeRows {
 public:
  RangeRows(const RangePlan& plan, const std::vector<std::vector<double*>>& into, Range& r)
      : plan_(plan), into_(into), r_(r), line_(r.first_line) {
    for (std::size_t c = 0; c < into.size(); ++c) {
      plain_.push_back(!into[c].empty() && plan.values->PlainIsNumber() &&
                       static_cast<std::int64_t>(c) + 1 != plan.time_column);
    }
    if (plan.time_column > 0) {
      r.times.reserve(static_cast<std::size_t>(r.records));
      r.time_lines.reserve(static_cast<std::size_t>(r.records));
    }
  }

  // False at the first line it does not take as it stands, or once `stop` says a range before
  // this one did not.
  bool Read(int fd, const std::atomic<std::size_t>& stop, std::size_t index) {
    LineWindows windows(fd, r_.begin, r_.end);
    std::string_view run;
    for (;;) {
      if (stop.load(std::memory_order_relaxed) < index) return false;
      if (!windows.Next(run)) return false;
      if (run.empty()) return rows_ == r_.records;
      if (!Lines(run.data(), run.data() + run.size())) return false;
    }
  }

 private:
  bool Lines(const char* p, const char* const end) {
    LineEndFinder ends(end);
    const bool blanks = plan_.dialect.Blanks();
    const char delimiter = plan_.dialect.delimiter;
    const auto last_used = static_cast<std::int64_t>(into_.size());
    while (p < end) {
      const char* q = p;
      while (q < end && IsBlank(*q)) ++q;
      if (q == end) return true;
      if (IsLineEnd(*q)) {
        p = PastLineEnd(q, end);
        ++line_;
        continue;
      }
      if (rows_ == r_.records) return false;  // the file changed since it was counted
      const std::size_t row = static_cast<std::size_t>(r_.first_row + rows_);
      std::int64_t c = 0;
      const char* f = blanks ? q : p;
      for (;;) {
        ++c;
        const bool used = c <= last_used;
        double v = 0;
        const char* e =
            used && plain_[static_cast<std::size_t>(c - 1)] ? ReadPlainDecimal(f, end, v) : nullptr;
        if (e != nullptr &&
            (e == end || IsLineEnd(*e) || (blanks ? IsBlank(*e) : *e == delimiter))) {
          // Nearly every field: a plain decimal, read in the one pass over its text.
          for (double* series : into_[static_cast<std::size_t>(c - 1)]) series[row] = v;
        } else {
          e = f;
          if (blanks) {
            while (e < end && !IsBlank(*e) && !IsLineEnd(*e)) ++e;
          } else {
            while (e < end && *e != delimiter && !IsLineEnd(*e)) ++e;
          }
          if (used && !Take(c, {f, static_cast<std::size_t>(e - f)}, row)) return false;
        }
        bool more = false;
        if (blanks) {
          while (e < end && IsBlank(*e)) ++e;
          more = e < end && !IsLineEnd(*e);
        } else if (e < end && *e == delimiter) {
          more = true;
          ++e;
        }
        if (!more) {
          p = e;
          break;
        }
        if (c == plan_.columns) {
          if (r_.wide_line == 0) r_.wide_line = line_;
          p = ends.From(e);
          break;
        }
        f = e;
      }
      if (c < plan_.columns) return false;
      ++rows_;
      if (p < end) {
        p = PastLineEnd(p, end);
        ++line_;
      }
    }
    return true;
  }

  bool Take(std::int64_t column, std::string_view text, std::size_t row) {
    const std::vector<double*>& into = into_[static_cast<std::size_t>(column - 1)];
    const bool time = column == plan_.time_column;
    if (into.empty() && !time) return true;
    // A field cut short is said (or kept cut) by the line-at-a-time reader.
    if (text.size() > kMaxFieldText) return false;
    if (time) {
      r_.times.emplace_back(TrimmedField(text));
      r_.time_lines.push_back(line_);
    }
    if (into.empty()) return true;
    const std::optional<double> v = plan_.values->ValueOf(text);
    if (!v) return false;
    for (double* series : into) series[row] = *v;
    return true;
  }

  const RangePlan& plan_;
  const std::vector<std::vector<double*>>& into_;
  Range& r_;
  std::vector<unsigned char> plain_;  // columns whose plain decimals need no other look
  std::int64_t line_;
  std::int64_t rows_ = 0;
};

// Runs work(0) to work(count - 1) at once, one on this thread. A thread the system refuses
// leaves its share to this one; the first failure of any share is raised once all are done.
template <typename Work>
void OnThreads(std::size_t count, const Work& work) {
  std::vector<std::exception_ptr> failures(count);
  const auto share = [&](std::size_t i) {
    try {
      work(i);
    } catch (...) {
      failures[i] = std::current_exception();
    }
  };
  {
    HelperThreads pool;  // waited for at the end of this block
    const std::vector<std::size_t> here = StartThreads(1, count, share, pool);
    if (count > 0) share(0);
    for (const std::size_t i : here) share(i);
  }
  for (const std::exception_ptr& f : failures) {
    if (f) std::rethrow_exception(f);
  }
}

std::vector<Range> Cut(int fd, std::int64_t start, std::int64_t size, int threads) {
  std::vector<Range> ranges;
  std::int64_t begin = start;
  for (int t = 1; t < threads; ++t) {
    const std::int64_t at = start + (size - start) / threads * t;
    if (at <= begin) continue;
    const std::int64_t cut = LineStartFrom(fd, at, size);
    if (cut <= begin || cut >= size) continue;
    ranges.emplace_back().begin = begin;
    ranges.back().end = cut;
    begin = cut;
  }
  ranges.emplace_back().begin = begin;
  ranges.back().end = size;
  return ranges;
}

}  // namespace

RangeOutcome ReadRanges(int fd, std::int64_t start, std::int64_t size, std::int64_t line,
                        const RangePlan& plan, int threads) {
  std::vector<Range> ranges = Cut(fd, start, size, std::max(threads, 1));
  OnThreads(ranges.size(), [&](std::size_t i) { Count(fd, ranges[i]); });

  // The ranges read on their own: those before the first that cannot be, or that holds a row
  // beyond the rows left.
  std::size_t usable = 0;
  std::int64_t rows = 0;
  for (Range& r : ranges) {
    if (!r.plain || rows + r.records > plan.rows_left) break;
    r.first_line = line;
    r.first_row = rows;
    line += r.lines;
    rows += r.records;
    ++usable;
  }

  // Every series of the plan, each once, sized for the rows counted.
  std::vector<std::vector<double>*> series;
  for (const auto& into : plan.into) series.insert(series.end(), into.begin(), into.end());
  std::sort(series.begin(), series.end());
  series.erase(std::unique(series.begin(), series.end()), series.end());
  std::vector<std::size_t> before;
  for (const std::vector<double>* s : series) before.push_back(s->size());
  for (std::size_t i = 0; i < series.size(); ++i) {
    const std::size_t wanted = before[i] + static_cast<std::size_t>(rows);
    series[i]->reserve(wanted);
    PreferLargePages(series[i]->data() + before[i],
                     static_cast<std::size_t>(rows) * sizeof(double));
  }
  const std::size_t workers = std::max<std::size_t>(usable, 1);
  // Sized on the threads that fill them, so that the pages are first met in parallel.
  OnThreads(workers, [&](std::size_t w) {
    for (std::size_t i = w; i < series.size(); i += workers) {
      series[i]->resize(before[i] + static_cast<std::size_t>(rows));
    }
  });
  std::vector<std::vector<double*>> into;
  for (const auto& columns : plan.into) {
    std::vector<double*>& to = into.emplace_back();
    for (std::vector<double>* s : columns) {
      const auto at =
          static_cast<std::size_t>(std::find(series.begin(), series.end(), s) - series.begin());
      to.push_back(s->data() + before[at]);
    }
  }

  std::atomic<std::size_t> stop{usable};
  OnThreads(usable, [&](std::size_t i) {
    RangeRows reader(plan, into, ranges[i]);
    ranges[i].whole = reader.Read(fd, stop, i);
    if (ranges[i].whole) return;
    std::size_t seen = stop.load();
    while (i < seen && !stop.compare_exchange_weak(seen, i)) {
    }
  });

  RangeOutcome out;
  const std::size_t read = stop.load();
  std::size_t time_rows = 0;
  for (std::size_t i = 0; i < read; ++i) time_rows += ranges[i].times.size();
  out.times.reserve(time_rows);
  out.time_lines.reserve(time_rows);
  out.offset = read < ranges.size() ? ranges[read].begin : size;
  out.line = read < usable ? ranges[read].first_line : line;
  for (std::size_t i = 0; i < read; ++i) {
    Range& r = ranges[i];
    out.rows += r.records;
    if (out.wide_line == 0) out.wide_line = r.wide_line;
    std::move(r.times.begin(), r.times.end(), std::back_inserter(out.times));
    out.time_lines.insert(out.time_lines.end(), r.time_lines.begin(), r.time_lines.end());
  }
  for (std::size_t i = 0; i < series.size(); ++i) {
    series[i]->resize(before[i] + static_cast<std::size_t>(out.rows));
  }
  return out;
}

}  // namespace quelvaris
