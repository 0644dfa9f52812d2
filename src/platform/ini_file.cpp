#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <optional>
#include <vector>

#include "platform/file_slot.h"
#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// Settings files hold a few hundred bytes. A file beyond this size is none (a log or a disk
// image named by mistake) and reads as one that cannot be read, so no settings read ever takes
// more memory or time than reading a megabyte.
constexpr std::size_t kMaxSettingsFileSize = std::size_t{1} << 20;

enum class FileState {
  Absent,      // nothing at the path
  Read,        // a regular file, read whole
  NotRegular,  // a device, a pipe, a folder: never opened for reading
  Unreadable,  // a regular file that could not be read (permissions, an I/O error, too large)
};

// What is at the path and, for a regular file, its content. A device or a pipe is never read:
// /dev/zero has no end, and a pipe without a writer would block for ever.
FileState ReadWhole(const std::string& path, std::string& content) {
  content.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? FileState::Absent : FileState::Unreadable;
  }
  if (!S_ISREG(st.st_mode)) return FileState::NotRegular;
  // Non-blocking, in case the path was swapped for a pipe since the look above.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileState::Unreadable;
  FileState state = FileState::Read;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    state = FileState::NotRegular;
  } else {
    // The size in the file's entry is not trusted: files of /proc say 0 and a file may grow.
    char chunk[16 * 1024];
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 || content.size() + static_cast<std::size_t>(n) > kMaxSettingsFileSize) {
        state = FileState::Unreadable;
        break;
      }
      if (n == 0) break;
      content.append(chunk, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  if (state != FileState::Read) content.clear();
  return state;
}

// Editors on some systems start a text file with a byte order mark; it is not part of the
// first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, stop - start));
    start = stop + 1;
    if (text[stop] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key name of a "key=value" line; nothing for blank lines, comments and other text.
std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string ReadIniValue(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view default_value) {
  std::string content;
  if (ReadWhole(path, content) != FileState::Read) return std::string(default_value);
  bool in_section = false;
  for (std::string_view line : SplitLines(WithoutMark(content))) {
    if (auto name = SectionName(line)) {
      in_section = EqualNoCase(*name, section);
      continue;
    }
    if (!in_section) continue;
    auto name = KeyName(line);
    if (name && EqualNoCase(*name, key)) return std::string(line.substr(line.find('=') + 1));
  }
  return std::string(default_value);
}

namespace {

bool UsableEntry(std::string_view section, std::string_view key, std::string_view value) {
  // A line break in any part would write lines of its own into the file.
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  return !Trim(key).empty() && key.find('=') == std::string_view::npos &&
         section.find(']') == std::string_view::npos;
}

// Replaces key's line in the first section named `section`, or adds it after the section's last
// non-blank line, or appends the section.
void ApplyKey(std::vector<std::string>& lines, std::string_view section, std::string_view key,
              std::string_view value) {
  std::string new_line = std::string(key) + "=" + std::string(value);
  std::optional<std::size_t> insert_after;
  bool in_section = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i])) {
      if (in_section) break;  // only the first matching section is ever read
      in_section = EqualNoCase(*name, section);
      if (in_section) insert_after = i;
      continue;
    }
    if (!in_section) continue;
    if (auto name = KeyName(lines[i]); name && EqualNoCase(*name, key)) {
      lines[i] = std::move(new_line);
      return;
    }
    if (!Trim(lines[i]).empty()) insert_after = i;
  }
  if (insert_after) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insert_after) + 1,
                 std::move(new_line));
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(std::move(new_line));
  }
}

}  // namespace

bool WriteIniValues(const std::string& path, std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& keys) {
  for (const auto& [key, value] : keys) {
    if (!UsableEntry(section, key, value)) return false;
  }
  try {
    std::string content;
    // There but unreadable: rewriting it would lose its other lines. A device or a pipe has no
    // lines to lose; the file slot writes it directly.
    if (ReadWhole(path, content) == FileState::Unreadable) return false;

    // New lines follow the line ends the file already uses.
    std::string eol = "\r\n";
    if (const std::size_t first = content.find_first_of("\r\n"); first != std::string::npos) {
      if (content[first] == '\n') {
        eol = "\n";
      } else if (first + 1 >= content.size() || content[first + 1] != '\n') {
        eol = "\r";
      }
    }

    const std::string_view body = WithoutMark(content);
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(body)) lines.emplace_back(line);
    for (const auto& [key, value] : keys) ApplyKey(lines, section, key, value);

    std::string out(content.substr(0, content.size() - body.size()));
    out.reserve(content.size() + 256);
    for (const auto& line : lines) {
      out += line;
      out += eol;
    }
    FileSlot slot;
    slot.OpenForOutput(path);
    slot.Write(out);
    slot.CommitOutput();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value) {
  return WriteIniValues(path, section, {{std::string(key), std::string(value)}});
}

}  // namespace quelvaris
