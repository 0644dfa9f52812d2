#include "settings/interval_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// The interval keys come and go beside the described keys, whose lines stay byte for byte.
TEST(IntervalSettings, OwnKeysBesideTheDescribedOnes) {
  TempDir dir;
  const std::string described =
      "[Quelvaris]\r\nGlobalMissingCode=-999\r\nDefaultDir=/data\r\nDecimalsReq=3\r\n";
  const std::string path = dir.Write("Quelvaris.INI", described);
  const IntervalSettings defaults = LoadIntervalSettings(path);
  EXPECT_EQ(defaults.resamples, 1000);
  EXPECT_EQ(defaults.confidence, 0.9);

  ASSERT_TRUE(SaveIntervalSettings(path, {2500, 0.95}));
  const std::string written = ReadFileBytes(path);
  EXPECT_EQ(written.rfind(described, 0), 0u) << written;
  EXPECT_NE(written.find("IntervalResamples=2500"), std::string::npos);
  EXPECT_NE(written.find("IntervalConfidence=0.95"), std::string::npos);
  const IntervalSettings loaded = LoadIntervalSettings(path);
  EXPECT_EQ(loaded.resamples, 2500);
  EXPECT_EQ(loaded.confidence, 0.95);

  // Values that cannot be used keep the defaults, each on its own.
  struct Case {
    const char* resamples;
    const char* confidence;
    int want_resamples;
    double want_confidence;
  };
  for (const Case& c :
       {Case{"0", "1", 1000, 0.9}, Case{"100001", "0", 1000, 0.9}, Case{"12.5", "-0.5", 1000, 0.9},
        Case{"abc", "0.5", 1000, 0.5}, Case{"100000", "0.999", 100000, 0.999}}) {
    const std::string file =
        dir.Write("case.INI", std::string("[Quelvaris]\nIntervalResamples=") + c.resamples +
                                  "\nIntervalConfidence=" + c.confidence + "\n");
    const IntervalSettings s = LoadIntervalSettings(file);
    EXPECT_EQ(s.resamples, c.want_resamples) << c.resamples;
    EXPECT_EQ(s.confidence, c.want_confidence) << c.confidence;
  }
  EXPECT_FALSE(SaveIntervalSettings((dir.path() / "no/such/folder/q.ini").string(), {}));
}

}  // namespace
}  // namespace quelvaris
