#include "engine/field_scanner.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/visible_text.h"

namespace quelvaris {

namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

FieldScanner::FieldScanner(int fd, std::string name)
    : fd_(fd), name_(std::move(name)), buffer_(kBufferBytes) {}

FieldScanner::FieldScanner(int fd, std::string name, std::int64_t line)
    : FieldScanner(fd, std::move(name)) {
  started_ = true;
  line_ = line;
  record_line_ = line;
}

void FieldScanner::Binary() const {
  throw ScanFailure{VisibleText(name_) + ": line " + std::to_string(line_) +
                    " holds a NUL byte: the file is binary, not text."};
}

bool FieldScanner::Fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      throw ScanFailure{"Cannot read the data file " + VisibleText(name_) + ": " +
                        std::strerror(errno) + "."};
    }
    if (got == 0) {
      eof_ = true;
      return false;
    }
    end_ += static_cast<std::size_t>(got);
    consumed_ += got;
    break;
  }
  if (!started_ && end_ >= 3) {
    started_ = true;
    if (std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) begin_ = 3;
  }
  return true;
}

std::string_view FieldScanner::Peek(std::size_t bytes) {
  while (end_ - begin_ < bytes && !eof_) {
    if (end_ == buffer_.size() && begin_ == 0) buffer_.resize(buffer_.size() * 2);
    if (!Fill()) break;
  }
  if (!started_) {
    // A file of fewer than three bytes has no byte order mark.
    started_ = true;
  }
  return {buffer_.data() + begin_, end_ - begin_};
}

int FieldScanner::PeekByte() {
  if (begin_ == end_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[begin_]);
}

void FieldScanner::EndLine(char c) {
  // CR, LF and CRLF each end one line.
  ++line_;
  if (c == '\r' && PeekByte() == '\n') ++begin_;
}

void FieldScanner::Keep(Field& f) {
  if (f.text.data() != field_.data() && begin_ == end_) {
    field_.assign(f.text);
    f.text = field_;
  }
}

bool FieldScanner::NextRecord() {
  for (;;) {
    if (PeekByte() < 0) return false;
    // A line of blanks only is no record. Looked at without taking it, since in a delimited
    // file a leading tab is a field's end.
    std::size_t at = begin_;
    for (;;) {
      while (at < end_ && IsBlank(buffer_[at])) ++at;
      if (at < end_ || eof_ || at - begin_ >= kBufferBytes) break;
      const std::size_t offset = at - begin_;
      Fill();
      at = begin_ + offset;
    }
    const bool at_end = at == end_;
    const char c = at_end ? '\0' : buffer_[at];
    if ((!at_end && c != '\n' && c != '\r') || (at_end && !eof_)) {
      record_line_ = line_;  // a very long run of blanks is read as fields
      return true;
    }
    begin_ = at;
    if (at_end) return false;
    ++begin_;
    EndLine(c);
  }
}

Field FieldScanner::NextField() {
  Field f;
  const bool blanks = dialect_.Blanks();
  const char delimiter = dialect_.delimiter;
  bool copied = false;
  field_.clear();
  // Keeps at most one character beyond the limit, which is enough to say the field is too long.
  const auto keep = [&](const char* from, std::size_t n) {
    const std::size_t room = kMaxFieldText + 1 - std::min(field_.size(), kMaxFieldText + 1);
    field_.append(from, std::min(n, room));
  };
  const auto finish = [&](std::string_view text) {
    if (text.size() > kMaxFieldText) {
      f.too_long = true;
      text = text.substr(0, kMaxFieldText);
    }
    f.text = text;
  };

  if (blanks) {
    while (PeekByte() >= 0 && IsBlank(buffer_[begin_])) ++begin_;
  }

  if (PeekByte() == '"') {
    f.quoted = true;
    copied = true;
    ++begin_;
    bool after_cr = false;  // the LF of a CRLF inside quotes ends no further line
    for (;;) {
      const int b = PeekByte();
      if (b < 0) break;  // an unclosed quote ends with the file
      const char c = static_cast<char>(b);
      ++begin_;
      if (c == '"') {
        if (PeekByte() == '"') {
          ++begin_;
          keep("\"", 1);
          continue;
        }
        break;
      }
      if (c == '\0') Binary();
      if ((c == '\n' && !after_cr) || c == '\r') ++line_;
      after_cr = c == '\r';
      keep(&c, 1);
    }
    // Blanks after the closing quote are dropped; anything else up to the field's end is kept.
    while (PeekByte() >= 0 && buffer_[begin_] == ' ' && delimiter != ' ') ++begin_;
  }

  for (;;) {
    const char* p = buffer_.data() + begin_;
    const char* e = buffer_.data() + end_;
    if (blanks) {
      while (p < e && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r' && *p != '\0') ++p;
    } else {
      while (p < e && *p != delimiter && *p != '\n' && *p != '\r' && *p != '\0') ++p;
    }
    const auto n = static_cast<std::size_t>(p - (buffer_.data() + begin_));
    if (p == e) {
      keep(buffer_.data() + begin_, n);
      copied = true;
      begin_ = end_;
      if (Fill()) continue;
      finish(field_);
      f.end = FieldEnd::File;
      return f;
    }
    const char c = *p;
    if (c == '\0') {
      begin_ += n;
      Binary();
    }
    if (copied) {
      keep(buffer_.data() + begin_, n);
      begin_ += n;
      finish(field_);
    } else {
      const std::string_view text(buffer_.data() + begin_, n);
      begin_ += n;
      finish(text);
    }
    ++begin_;
    if (c == '\n' || c == '\r') {
      Keep(f);
      EndLine(c);
      f.end = FieldEnd::Line;
      return f;
    }
    if (blanks) {
      // A run of blanks is one delimiter; blanks before the line's end separate nothing.
      for (;;) {
        Keep(f);
        const int next = PeekByte();
        if (next < 0) {
          f.end = FieldEnd::File;
          return f;
        }
        if (next == '\n' || next == '\r') {
          ++begin_;
          Keep(f);
          EndLine(static_cast<char>(next));
          f.end = FieldEnd::Line;
          return f;
        }
        if (!IsBlank(static_cast<char>(next))) break;
        ++begin_;
      }
    }
    f.end = FieldEnd::Delimiter;
    return f;
  }
}

void FieldScanner::SkipRecord() {
  Field f;
  do {
    f = NextField();
  } while (f.end == FieldEnd::Delimiter);
}

}  // namespace quelvaris
