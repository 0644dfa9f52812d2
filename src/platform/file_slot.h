#pragma once

#include <memory>
#include <string>
#include <string_view>

// The single sequential file of a run ("file number 1"): the data file while it is read, the
// results file while it is written. One object per session; CloseFiles closes it.
//
// OS failures map onto run-time errors: ENOENT -> 53 (76 when a directory of the path is
// missing), EACCES/EPERM -> 70, ENOSPC -> 61, EROFS -> 75, EISDIR -> 75, other I/O -> 75.
// Opening while a file is open raises 55.

namespace quelvaris {

class FileSlot {
 public:
  FileSlot();
  ~FileSlot();
  FileSlot(const FileSlot&) = delete;
  FileSlot& operator=(const FileSlot&) = delete;

  bool IsOpen() const noexcept;

  // Reading. Lines end at CR, LF or CRLF; the last line needs no line end. ReadLine returns
  // the first `keep` characters of the next line (all of it by default) as a view that stays
  // valid until the next call; the rest of the line is read past, without being kept, by the
  // next ReadLine or AtEnd, so a line of any length costs no more memory than `keep`, and what
  // is beyond it is never read when the caller stops at its start. ReadLine raises 62 when
  // there is no line left.
  void OpenForInput(const std::string& path);
  std::string_view ReadLine(std::size_t keep = std::string_view::npos);
  bool AtEnd();

  // Writing. The text goes to a temporary file beside the target, which CommitOutput renames
  // into place; Close without a commit removes the temporary file and leaves the target as it
  // was. A target that exists and is not a regular file (a device, a pipe) is written directly.
  // A symbolic link is followed: the file it names is replaced, never the link. A name of one
  // of the program's own open descriptors (/dev/stdout, /dev/fd/N, /proc/self/fd/N) is written
  // through that descriptor, after what the program has printed there, and leaves it open.
  void OpenForOutput(const std::string& path);
  void Write(std::string_view text);
  void CommitOutput();

  // Closes whatever is open; does nothing when nothing is. Never throws.
  void Close() noexcept;

 private:
  void OpenDescriptorForOutput(int named, const std::string& path);

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Maps an errno value onto a run-time error number, as above. `path` decides between
// 53 and 76 for ENOENT.
int ErrorNumberForErrno(int errno_value, const std::string& path);

}  // namespace quelvaris
