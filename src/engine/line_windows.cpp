#include "engine/line_windows.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quelvaris {

namespace {

// Bytes looked through for a line end where a range is cut.
constexpr std::size_t kCutLook = std::size_t{1} << 16;

const char* Find(const char* p, const char* end, char c) {
  const void* at = std::memchr(p, c, static_cast<std::size_t>(end - p));
  return at == nullptr ? end : static_cast<const char*>(at);
}

// Reads up to `bytes` at `offset`; the count read, or -1 for a failed read.
std::int64_t ReadAt(int fd, char* into, std::size_t bytes, std::int64_t offset) {
  for (;;) {
    const ssize_t got = ::pread(fd, into, bytes, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

}  // namespace

const char* LineEndFinder::From(const char* p) {
  if (lf_ == nullptr || lf_ < p) lf_ = Find(p, end_, '\n');
  if (cr_ == nullptr || cr_ < p) cr_ = Find(p, end_, '\r');
  return std::min(lf_, cr_);
}

LineWindows::LineWindows(int fd, std::int64_t begin, std::int64_t end)
    : fd_(fd), next_(begin), end_(end), buffer_(kBytes) {}

bool LineWindows::Next(std::string_view& out) {
  if (taken_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + taken_, held_ - taken_);
    held_ -= taken_;
    taken_ = 0;
  } else if (held_ == buffer_.size()) {
    if (buffer_.size() >= kMaxBytes) return false;
    buffer_.resize(buffer_.size() * 2);
  }
  while (held_ < buffer_.size() && next_ < end_) {
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(buffer_.size() - held_), end_ - next_));
    const std::int64_t got = ReadAt(fd_, buffer_.data() + held_, want, next_);
    if (got <= 0) return false;
    held_ += static_cast<std::size_t>(got);
    next_ += got;
  }
  std::size_t whole = held_;
  if (next_ < end_) {
    // Up to the last line end; a CR at the very end waits for the byte after it.
    const auto back = [&] {
      while (whole > 0 && !IsLineEnd(buffer_[whole - 1])) --whole;
    };
    back();
    if (whole == held_ && buffer_[whole - 1] == '\r') {
      --whole;
      back();
    }
    if (whole == 0) return Next(out);  // a line longer than the buffer
  }
  out = {buffer_.data(), whole};
  taken_ = whole;
  return true;
}

std::int64_t LineStartFrom(int fd, std::int64_t at, std::int64_t size) {
  std::vector<char> look(kCutLook + 1);
  const auto want = static_cast<std::size_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(look.size()), size - at));
  const std::int64_t got = ReadAt(fd, look.data(), want, at);
  if (got <= 0) return -1;
  const char* begin = look.data();
  const char* end = begin + got;
  const char* p = begin;
  while (p < end && !IsLineEnd(*p)) ++p;
  if (p == end) return -1;
  // A CR as the last byte looked at may be the first half of a CRLF.
  if (*p == '\r' && p + 1 == end && at + got < size) return -1;
  return at + (PastLineEnd(p, end) - begin);
}

}  // namespace quelvaris
