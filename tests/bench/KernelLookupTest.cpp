// Built into a folder of its own without SpeedReadWrite.cl and run from a folder that has one:
// the OpenCL test looks beside the program, never in the current directory.

#include <gtest/gtest.h>

#include <filesystem>

#include "CL.h"
#include "ExecutableFolder.h"
#include "OpenCLBenchmark.h"
#include "RecordingReporter.h"

namespace {

TEST(KernelLookup, AFileOnlyInTheCurrentDirectoryCountsAsMissing) {
  // CTest runs it from such a folder and fails it should it ever skip.
  if (!std::filesystem::exists(KernelFileName)) GTEST_SKIP() << "run from a folder that holds the kernel";
  ASSERT_FALSE(std::filesystem::exists(ExecutableFolder() + KernelFileName));
  EXPECT_EQ(std::filesystem::path(ExecutableFolder()), std::filesystem::path(VELMORA_TEST_OUTPUT_FOLDER "/"));
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  TBenchmarkSettings Settings;
  Settings.MemorySize = 1 << 20;
  Settings.Passes = 2;
  Settings.OpenCLPlatform = 0;
  Settings.OpenCLDevice = 0;
  Settings.OpenCLComputeCoreCount = 2;
  TRecordingReporter Reporter;
  BenchmarkOpenCLGFXRAMReadWrite(Settings, Reporter);
  ASSERT_FALSE(Reporter.Lines.empty());
  EXPECT_EQ(Reporter.Lines.back(), "OpenCL: Error: File not found: " + ExecutableFolder() + KernelFileName);
  EXPECT_EQ(Reporter.Lines.size(), 6u);
  EXPECT_TRUE(Reporter.Results.empty());
}

}  // namespace
