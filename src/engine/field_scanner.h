#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_buffer.h"

namespace quelvaris {

// How the fields of a line are separated: one delimiter character, or runs of blanks (spaces
// and tabs) for whitespace-aligned files, where blanks at the start and end of a line separate
// nothing.
struct Dialect {
  char delimiter = '\t';  // ' ' for runs of blanks
  bool decimal_comma = false;
  bool Blanks() const { return delimiter == ' '; }
};

// How a field ended.
enum class FieldEnd { Delimiter, Line, File };

// One field as read: its text with the quotes of a quoted field removed and doubled quotes
// undone, blanks around it kept for the caller to trim. `too_long` is set (and the text cut)
// when the field held more than kMaxFieldText characters.
struct Field {
  std::string_view text;
  bool quoted = false;
  bool too_long = false;
  FieldEnd end = FieldEnd::File;
};

// A field of a data file longer than this is no number and no name: a line costs bounded
// memory however long it is.
inline constexpr std::size_t kMaxFieldText = 4096;

// Raised for a data file that cannot be read as text: a failed read, a NUL byte. Carries the
// whole message for the user.
struct ScanFailure {
  std::string message;
};

// Reads the fields of a delimited text file one at a time from a descriptor, through a buffer
// of its own: RFC 4180 quoting (a quoted field may hold the delimiter, line breaks and doubled
// quotes), line ends LF, CRLF and CR, a UTF-8 byte order mark at the start skipped. Memory is
// bounded by the buffer and the longest field kept, never by the length of a line.
class FieldScanner {
 public:
  // `fd` stays open and owned by the caller; `name` is the data file as the user gave it, for
  // messages.
  FieldScanner(int fd, std::string name);
  // Goes on reading a file whose bytes before the descriptor's position were read already: the
  // position is the start of line `line`, no byte order mark is looked for.
  FieldScanner(int fd, std::string name, std::int64_t line);

  // The first bytes of the file (at least `bytes` of them unless the file is shorter), for
  // detecting its dialect before the first field is read. Valid until the next call.
  std::string_view Peek(std::size_t bytes);

  void SetDialect(const Dialect& dialect) { dialect_ = dialect; }

  // Skips empty lines and lines of blanks only. False at the end of the file. Afterwards
  // line() is the line the next record starts on.
  bool NextRecord();

  // The next field of the current record. Call only while the record has fields left (the
  // previous field ended at a delimiter, or NextRecord returned true).
  Field NextField();

  // Skips what is left of the current record (the fields beyond the columns of the file).
  void SkipRecord();

  // The line (from 1) where the current record starts.
  std::int64_t line() const { return record_line_; }
  // The line of the next unread byte, and where that byte stands in the file.
  std::int64_t next_line() const { return line_; }
  std::int64_t offset() const { return consumed_ - static_cast<std::int64_t>(end_ - begin_); }

 private:
  bool Fill();  // more bytes into the buffer; false at the end of the file
  int PeekByte();
  void EndLine(char c);  // after the CR or LF that ends a line: counts it, takes a CRLF's LF
  void Keep(Field& f);   // copies a field's text out of the buffer before the buffer moves
  [[noreturn]] void Binary() const;

  int fd_;
  std::string name_;
  Dialect dialect_;
  ByteBuffer buffer_;
  std::size_t begin_ = 0;  // next unread byte
  std::size_t end_ = 0;    // end of the bytes read
  bool eof_ = false;
  bool started_ = false;   // the byte order mark has been looked for
  std::int64_t line_ = 1;  // the line of the next unread byte
  std::int64_t record_line_ = 1;
  std::int64_t consumed_ = 0;  // bytes read from the descriptor
  std::string field_;          // the text of a field that straddles the buffer or had quotes undone
};

}  // namespace quelvaris
