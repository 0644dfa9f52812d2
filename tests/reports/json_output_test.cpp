#include "reports/json_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelvaris {
namespace {

TEST(JsonOutput, StringsAreAlwaysValidJson) {
  struct Case {
    std::string text;
    std::string json;
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const std::vector<Case> cases = {
      {"Mod  2", R"("Mod  2")"},
      {R"(a "b" \ c)", R"("a \"b\" \\ c")"},
      {"line\nnext\ttab\rcr", R"("line\nnext\ttab\rcr")"},
      {std::string("nul\0bell\x07"
                   "del\x7f",
                   13),
       R"("nul\u0000bell\u0007del\u007f")"},
      {"D\xC3\xA9"
       "bit \xE2\x82\xAC \xF0\x9F\x8C\x8A",
       "\"D\xC3\xA9"
       "bit \xE2\x82\xAC \xF0\x9F\x8C\x8A\""},
      {"latin1 \xE9t\xE9", "\"latin1 " + fffd + "t" + fffd + "\""},
      {"overlong \xC0\xAF", "\"overlong " + fffd + fffd + "\""},
      {"cut \xE2\x82", "\"cut " + fffd + fffd + "\""},
      {"surrogate \xED\xA0\x80", "\"surrogate " + fffd + fffd + fffd + "\""},
      {"beyond \xF4\x90\x80\x80", "\"beyond " + fffd + fffd + fffd + fffd + "\""},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendJsonString(c.text, out);
    EXPECT_EQ(out, c.json) << c.text;
  }
}

}  // namespace
}  // namespace quelvaris
