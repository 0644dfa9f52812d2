#include "platform/file_slot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void ThrowErrno(int errno_value, const std::string& path) {
  throw RunTimeError(ErrorNumberForErrno(errno_value, path));
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Where the symbolic link at `path` points, relative targets made whole; nothing when the path
// is not a link or the link cannot be read.
std::optional<std::string> LinkTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::nullopt;
  std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
  const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return std::nullopt;
  std::string next(target.data(), static_cast<std::size_t>(n));
  return next.front() == '/' ? next : DirectoryOf(path) + "/" + next;
}

// The file a chain of symbolic links ends at (the path itself when it is not a link). A chain
// too long to follow is returned as it stands; opening it then fails with ELOOP.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    std::optional<std::string> next = LinkTarget(path);
    if (!next) return path;
    path = std::move(*next);
  }
  return path;
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// True for the folder that lists this process's open descriptors under any of its names
// (/proc/self/fd, /proc/thread-self/fd, /dev/fd, /proc/<our pid>/fd).
bool IsOwnDescriptorFolder(const std::string& folder) {
  char* resolved = ::realpath(folder.c_str(), nullptr);
  if (resolved == nullptr) return false;
  const std::string real(resolved);
  std::free(resolved);
  if (real == "/dev/fd") return true;  // systems where it is a folder of its own
  const std::string own = "/proc/" + std::to_string(::getpid());
  if (real == own + "/fd") return true;
  const std::string task = own + "/task/";
  return real.size() > task.size() + 3 && real.compare(0, task.size(), task) == 0 &&
         real.compare(real.size() - 3, 3, "/fd") == 0 &&
         AllDigits(std::string_view(real).substr(task.size(), real.size() - 3 - task.size()));
}

// The descriptor a path names when it (or a link on the way) is one of this process's own,
// such as /dev/stdout, /dev/fd/1 or /proc/self/fd/1; -1 for any other path. Such a name must
// not be opened again: for a regular file that gives a second file offset (and a truncating
// open would wipe what was printed there), and a pipe has no file to open at all.
int DescriptorNamed(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && AllDigits(std::string_view(path).substr(slash + 1)) &&
        IsOwnDescriptorFolder(DirectoryOf(path))) {
      return std::atoi(path.c_str() + slash + 1);
    }
    std::optional<std::string> next = LinkTarget(path);
    if (!next) return -1;
    path = std::move(*next);
  }
  return -1;
}

// The first CR or LF from p on, or stop when there is none before it.
const char* FindLineEnd(const char* p, const char* stop) {
  for (; p != stop; ++p) {
    // Nearly every character lies above both line ends: one comparison tells.
    if (static_cast<unsigned char>(*p) <= '\r' && (*p == '\n' || *p == '\r')) break;
  }
  return p;
}

bool WriteAll(int fd, const char* data, std::size_t size, int& error) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int ErrorNumberForErrno(int errno_value, const std::string& path) {
  switch (errno_value) {
    case ENOENT: {
      // A missing folder on the way is a path that cannot be found, not a missing file.
      std::error_code ec;
      const std::filesystem::path parent = std::filesystem::path(path).parent_path();
      if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
        return err::kPathNotFound;
      }
      return err::kFileNotFound;
    }
    case ENOTDIR:
      return err::kPathNotFound;
    case EACCES:
    case EPERM:
      return err::kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return err::kDiskFull;
    case ENOMEM:
      return err::kOutOfMemory;
    default:  // EROFS, EISDIR, EIO and the rest
      return err::kPathFileAccess;
  }
}

struct FileSlot::Impl {
  enum class Mode { Closed, Input, Output };
  Mode mode = Mode::Closed;
  int fd = -1;
  std::string path;  // as given, for error mapping

  // Input.
  std::vector<char> buffer;
  std::size_t pos = 0;
  std::size_t end = 0;
  bool eof = false;
  bool skip_lf = false;   // the last line ended at a CR that was the last byte of the buffer
  bool mid_line = false;  // ReadLine kept only the start of the line; the rest is still unread
  std::string spanning;   // a line that did not fit in what was buffered

  // Output.
  std::string target;  // the file that is replaced (links followed)
  std::string temp;    // empty when the target is written directly
  std::string pending;

  void Reset() noexcept {
    if (fd >= 0) ::close(fd);
    fd = -1;
    if (!temp.empty()) ::unlink(temp.c_str());
    temp.clear();
    mode = Mode::Closed;
    pending.clear();
    pending.shrink_to_fit();
    spanning.clear();
    pos = end = 0;
    eof = skip_lf = mid_line = false;
  }

  [[noreturn]] void Fail(int errno_value) {
    const std::string where = path;
    Reset();
    ThrowErrno(errno_value, where);
  }

  // Refills the buffer when it is used up; true while input remains. Swallows the LF of a
  // CRLF that was split across two reads.
  bool EnsureInput() {
    for (;;) {
      if (pos == end && !eof) {
        ssize_t n;
        do {
          n = ::read(fd, buffer.data(), buffer.size());
        } while (n < 0 && errno == EINTR);
        if (n < 0) Fail(errno);
        pos = 0;
        end = static_cast<std::size_t>(n);
        if (n == 0) eof = true;
      }
      if (pos == end) return false;
      if (skip_lf) {
        skip_lf = false;
        if (buffer[pos] == '\n') {
          ++pos;
          continue;
        }
      }
      return true;
    }
  }

  // Steps over the line end at pos (CR, LF or CRLF, the LF possibly in the next read).
  void ConsumeLineEnd() {
    const char c = buffer[pos++];
    if (c != '\r') return;
    if (pos < end) {
      if (buffer[pos] == '\n') ++pos;
    } else {
      skip_lf = true;
    }
  }

  // Reads past the part of a line that ReadLine did not keep, holding none of it.
  void SkipRestOfLine() {
    while (mid_line && EnsureInput()) {
      const char* stop = buffer.data() + end;
      const char* p = FindLineEnd(buffer.data() + pos, stop);
      pos = static_cast<std::size_t>(p - buffer.data());
      if (p != stop) {
        ConsumeLineEnd();
        mid_line = false;
      }
    }
    mid_line = false;
  }

  void Flush() {
    int error = 0;
    if (!pending.empty() && !WriteAll(fd, pending.data(), pending.size(), error)) Fail(error);
    pending.clear();
  }
};

FileSlot::FileSlot() : impl_(std::make_unique<Impl>()) {}
FileSlot::~FileSlot() {
  Close();
}

bool FileSlot::IsOpen() const noexcept {
  return impl_->mode != Impl::Mode::Closed;
}

void FileSlot::OpenForInput(const std::string& path) {
  if (IsOpen()) throw RunTimeError(err::kFileAlreadyOpen);
  // A named pipe without a writer would block the open for ever; opened without waiting it
  // reads as an empty file instead. Regular files ignore the flag.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) ThrowErrno(errno, path);
  if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    ThrowErrno(error, path);
  }
  impl_->fd = fd;
  impl_->path = path;
  impl_->mode = Impl::Mode::Input;
  impl_->buffer.resize(kBufferSize);
  impl_->pos = impl_->end = 0;
  impl_->eof = impl_->skip_lf = impl_->mid_line = false;
}

std::string_view FileSlot::ReadLine(std::size_t keep) {
  Impl& s = *impl_;
  if (s.mode != Impl::Mode::Input) throw RunTimeError(err::kBadFileNumber);
  s.SkipRestOfLine();
  if (!s.EnsureInput()) throw RunTimeError(err::kInputPastEnd);
  s.spanning.clear();
  bool spans = false;
  for (;;) {
    const char* begin = s.buffer.data() + s.pos;
    const std::size_t wanted = keep - s.spanning.size();
    // Only as far as the line is kept: what lies beyond is not needed yet, and may never end.
    const char* stop = begin + std::min(s.end - s.pos, wanted);
    const char* p = FindLineEnd(begin, stop);
    const std::size_t length = static_cast<std::size_t>(p - begin);
    const bool ended = p != stop;
    const bool full = !ended && length == wanted;
    if (ended || full) {
      std::string_view line(begin, length);
      s.pos = static_cast<std::size_t>(p - s.buffer.data());
      if (ended) {
        s.ConsumeLineEnd();
      } else {
        s.mid_line = true;
      }
      if (!spans) return line;
      s.spanning.append(line);
      return s.spanning;
    }
    // No line end in what is buffered: keep the piece and read on.
    s.spanning.append(begin, length);
    spans = true;
    s.pos = s.end;
    if (!s.EnsureInput()) return s.spanning;  // the last line has no line end
  }
}

bool FileSlot::AtEnd() {
  if (impl_->mode != Impl::Mode::Input) throw RunTimeError(err::kBadFileNumber);
  impl_->SkipRestOfLine();
  return !impl_->EnsureInput();
}

void FileSlot::OpenForOutput(const std::string& path) {
  if (IsOpen()) throw RunTimeError(err::kFileAlreadyOpen);
  Impl& s = *impl_;
  if (path.empty()) ThrowErrno(ENOENT, path);
  if (const int named = DescriptorNamed(path); named >= 0) {
    OpenDescriptorForOutput(named, path);
    return;
  }
  const std::string target = FollowLinks(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) ThrowErrno(errno, path);

  // The rename below would replace a file the user made read-only; writing it in place would
  // be refused, and so is its replacement.
  if (exists && S_ISREG(st.st_mode) &&
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    ThrowErrno(errno, path);
  }

  int fd = -1;
  std::string temp;
  if (exists && !S_ISREG(st.st_mode)) {
    // Devices and pipes cannot be replaced by a rename; they are written as they are. A pipe
    // without a reader must not hang the program, hence the non-blocking open.
    fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) ThrowErrno(errno, path);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  } else {
    const auto slash = target.find_last_of('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // A short prefix of the name keeps the temporary name within the file system's limit.
    temp = dir + "." + name.substr(0, 64) + ".XXXXXX";
    fd = ::mkstemp(temp.data());
    if (fd < 0) ThrowErrno(errno, target);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // The replacement keeps the permissions of the file it replaces; a new file gets the
    // usual ones.
    mode_t mode = 0666;
    if (exists) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode &= ~mask;
    }
    ::fchmod(fd, mode);
  }
  s.fd = fd;
  s.path = path;
  s.target = target;
  s.temp = temp;
  s.pending.clear();
  s.mode = Impl::Mode::Output;
}

void FileSlot::OpenDescriptorForOutput(int named, const std::string& path) {
  Impl& s = *impl_;
  const int flags = ::fcntl(named, F_GETFL);
  if (flags < 0) ThrowErrno(ENOENT, path);  // not open: nothing by that name
  if ((flags & O_ACCMODE) == O_RDONLY) ThrowErrno(EACCES, path);
  // Written through a copy of the descriptor: the same file offset, nothing truncated, and the
  // descriptor itself stays open when the slot closes. What the program printed there so far
  // goes out first.
  std::fflush(nullptr);
  const int fd = ::fcntl(named, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) ThrowErrno(errno, path);
  s.fd = fd;
  s.path = path;
  s.target = path;
  s.temp.clear();
  s.pending.clear();
  s.mode = Impl::Mode::Output;
}

void FileSlot::Write(std::string_view text) {
  Impl& s = *impl_;
  if (s.mode != Impl::Mode::Output) throw RunTimeError(err::kBadFileNumber);
  s.pending.append(text);
  if (s.pending.size() >= kBufferSize) s.Flush();
}

void FileSlot::CommitOutput() {
  Impl& s = *impl_;
  if (s.mode != Impl::Mode::Output) throw RunTimeError(err::kBadFileNumber);
  s.Flush();
  // Write errors of network and some local file systems surface only at fsync or close.
  if (!s.temp.empty() && ::fsync(s.fd) != 0 && errno != EINVAL && errno != EROFS) s.Fail(errno);
  const int fd = s.fd;
  s.fd = -1;
  if (::close(fd) != 0 && errno != EINTR) s.Fail(errno);
  if (!s.temp.empty()) {
    if (::rename(s.temp.c_str(), s.target.c_str()) != 0) s.Fail(errno);
    s.temp.clear();
  }
  s.Reset();
}

void FileSlot::Close() noexcept {
  impl_->Reset();
}

}  // namespace quelvaris
