// The window tests run on Qt's offscreen platform, one QApplication per test process.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeOpenCLLoader.h"

namespace {

// Each test starts as it does in a process of its own under CTest: no OpenCL library loaded, so
// that the window loads the real runtime unless the test loads a fake first.
class TFreshOpenCLState : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { ForgetOpenCLLibrary(); }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication Application(argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TFreshOpenCLState);
  return RUN_ALL_TESTS();
}
