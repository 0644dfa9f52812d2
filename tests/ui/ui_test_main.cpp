#include <cstring>

#include <QApplication>
#include <gtest/gtest.h>

// gtest_discover_tests lists the tests at build time without the test environment, where no
// QApplication can be created: answer the listing before making one.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0) return RUN_ALL_TESTS();
  }
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
