#include "engine/time_column.h"

#include "platform/visible_text.h"

namespace quelvaris {

TimeStampError::TimeStampError(std::string file, std::int64_t line, std::string text,
                               std::string message)
    : std::runtime_error(std::move(message)),
      file_(std::move(file)),
      line_(line),
      text_(std::move(text)) {}

std::vector<TimeStamp> TimeColumnOf(std::span<const std::string> texts,
                                    std::span<const std::int64_t> lines, TimeStampReader& reader,
                                    const std::string& file) {
  std::vector<TimeStamp> stamps;
  stamps.reserve(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::int64_t line = i < lines.size() ? lines[i] : static_cast<std::int64_t>(i) + 1;
    // Where the stamp stands, for a message: only a faulty stamp needs it.
    const auto where = [&] {
      const std::string_view text = texts[i];
      const std::string shown =
          text.size() > 40 ? QuotedText(text.substr(0, 40)) + "..." : QuotedText(text);
      return file + ": line " + std::to_string(line) + ": \"" + shown + "\"";
    };
    const std::optional<TimeStamp> t = reader.Read(texts[i]);
    if (!t) {
      throw TimeStampError(
          file, line, texts[i],
          where() + " is not a time stamp" +
              (reader.layout().empty() ? " (ISO 8601 date or date-time)."
                                       : " in the layout " + reader.layout() + "."));
    }
    if (!stamps.empty() && *t <= stamps.back()) {
      const std::int64_t before =
          i - 1 < lines.size() ? lines[i - 1] : static_cast<std::int64_t>(i);
      throw TimeStampError(file, line, texts[i],
                           where() + (*t == stamps.back() ? " repeats" : " is earlier than") +
                               " the time stamp on line " + std::to_string(before) +
                               ": time stamps must increase.");
    }
    stamps.push_back(*t);
  }
  return stamps;
}

}  // namespace quelvaris
