#include <gtest/gtest.h>
#include <QApplication>

// gtest_discover_tests lists the tests at build time without the test environment, where no
// QApplication can be created: answer the listing before making one.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // InitGoogleTest has taken the gtest flags out of argv by now: ask gtest, not argv.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
