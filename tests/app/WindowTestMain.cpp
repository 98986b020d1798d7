// The window tests run on Qt's offscreen platform, one QApplication per test process.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication Application(argc, argv);
  return RUN_ALL_TESTS();
}
