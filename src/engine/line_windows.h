#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quelvaris {

inline bool IsLineEnd(char c) {
  return c == '\n' || c == '\r';
}

// The first CR or LF from `p` on, or `end`. Remembers where it found each, so that a run of
// lines is looked through once for each character whatever its line ends.
class LineEndFinder {
 public:
  explicit LineEndFinder(const char* end) : end_(end) {}
  const char* From(const char* p);

 private:
  const char* end_;
  const char* lf_ = nullptr;
  const char* cr_ = nullptr;
};

// Past the line end at `p` (a CR, an LF or a CRLF).
inline const char* PastLineEnd(const char* p, const char* end) {
  return *p == '\r' && p + 1 < end && p[1] == '\n' ? p + 2 : p + 1;
}

// Reads a byte range of a file with positioned reads through a buffer of its own, whole lines
// at a time: a CRLF is never split between two runs. Used by one thread.
class LineWindows {
 public:
  // The buffer starts small enough to stay in the processor's cache and doubles for a line
  // that does not fit, up to kMaxBytes.
  static constexpr std::size_t kBytes = std::size_t{1} << 18;
  static constexpr std::size_t kMaxBytes = std::size_t{1} << 22;

  LineWindows(int fd, std::int64_t begin, std::int64_t end);

  // The next run of whole lines in `out` (the last run of the range may end without a line
  // end); empty at the end of the range. False for a line longer than kMaxBytes, or a range
  // the file no longer holds in full, or a failed read.
  bool Next(std::string_view& out);

 private:
  int fd_;
  std::int64_t next_;  // the file offset of the next byte to read
  std::int64_t end_;
  std::vector<char> buffer_;
  std::size_t held_ = 0;   // bytes in the buffer
  std::size_t taken_ = 0;  // of them handed out
};

// The offset of the first line start at or after `at` in [at, size), found in the bytes from
// `at` on; -1 when a short look finds no line end (the cut is given up).
std::int64_t LineStartFrom(int fd, std::int64_t at, std::int64_t size);

}  // namespace quelvaris
