#include "platform/visible_text.h"

namespace quelvaris {

namespace {

std::string Escaped(std::string_view text, bool escape_backslash) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != 0x7f && !(escape_backslash && c == '\\')) {
      out += ch;
      continue;
    }
    out += '\\';
    switch (c) {
      case '\\':
        out += '\\';
        break;
      case '\0':
        out += '0';
        break;
      case '\t':
        out += 't';
        break;
      case '\n':
        out += 'n';
        break;
      case '\r':
        out += 'r';
        break;
      default:
        out += 'x';
        out += kHex[c >> 4];
        out += kHex[c & 0xf];
    }
  }
  return out;
}

}  // namespace

std::string VisibleText(std::string_view text) {
  return Escaped(text, false);
}

std::string QuotedText(std::string_view text) {
  return Escaped(text, true);
}

}  // namespace quelvaris
