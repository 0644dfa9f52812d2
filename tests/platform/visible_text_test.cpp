#include "platform/visible_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quelvaris {
namespace {

using namespace std::string_literals;

TEST(VisibleText, ControlCharactersBecomeEscapesAndQuotesDoubleTheBackslash) {
  struct Case {
    std::string text;
    std::string visible;
    std::string quoted;
  };
  const Case cases[] = {
      {"12.5", "12.5", "12.5"},
      {"a\0b"s, "a\\0b", "a\\0b"},
      {"\t1\r\n", "\\t1\\r\\n", "\\t1\\r\\n"},
      {"\x1b[31mred", "\\x1b[31mred", "\\x1b[31mred"},
      {"\x01\x1f\x7f", "\\x01\\x1f\\x7f", "\\x01\\x1f\\x7f"},
      {"C:\\data", "C:\\data", "C:\\\\data"},
      {"\\t", "\\t", "\\\\t"},  // a backslash and a t, told apart from a tab only when quoted
      {"d\xc3\xa9"
       "bit \x80\xff",
       "d\xc3\xa9"
       "bit \x80\xff",
       "d\xc3\xa9"
       "bit \x80\xff"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.visible);
    EXPECT_EQ(VisibleText(c.text), c.visible);
    EXPECT_EQ(QuotedText(c.text), c.quoted);
  }
}

}  // namespace
}  // namespace quelvaris
