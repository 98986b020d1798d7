// A run the user stops: each kind of test ends after its current pass (the OpenCL test after its
// current launch) with its clean-up done, one line that says so and no result, and the run starts
// no further test. The stop arrives as the user's would, while a given line is being reported.

#include <gtest/gtest.h>

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "BenchmarkRun.h"
#include "ExecutableFolder.h"
#include "FakeGraphicsDevice.h"
#include "FakeOpenCLLoader.h"
#include "GFXRAMBenchmark.h"
#include "MemoryTestFixtures.h"
#include "OpenCLBenchmark.h"
#include "OpenCLTransferBenchmark.h"
#include "RecordingReporter.h"
#include "SystemRAMBenchmark.h"

namespace {

using Lines = std::vector<std::string>;
constexpr std::int64_t MB = 1 << 20;

// Records every line and stops the run when it sees the Count-th line that starts with Prefix.
class TStoppingReporter : public TRecordingReporter {
 public:
  TStoppingReporter(std::string Prefix, int Count) : FPrefix(std::move(Prefix)), FCount(Count) {}
  void Log(const std::string& Text) override {
    TRecordingReporter::Log(Text);
    if (Text.rfind(FPrefix, 0) == 0 && ++FSeen == FCount) FStop.request_stop();
  }
  // Settings of Passes passes over MemorySize bytes that this reporter can stop.
  TBenchmarkSettings StoppableSettings(std::int64_t MemorySize, std::int32_t Passes) const {
    TBenchmarkSettings Result = Settings(MemorySize, Passes);
    Result.StopToken = FStop.get_token();
    return Result;
  }

 private:
  std::string FPrefix;
  int FCount;
  int FSeen = 0;
  std::stop_source FStop;
};

TEST(StoppedRun, AMemoryTestEndsAfterTheCurrentPassWithItsBlockGivenBack) {
  struct TCase {
    const char* StopAt;  // the line during which the user stops
    int Count;
    std::size_t Walked;
    Lines Ending;  // the lines after the last pass
  };
  const TCase SystemCases[] = {
      {"Write to system memory: ", 2, 2, {"Freed system memory: 4.00 MB", "Stopped by the user after 2 of 10 passes."}},
      // While the block is still being taken: no pass walks it.
      {"Allocated system memory: ", 1, 0, {"Freed system memory: 4.00 MB", "Stopped by the user after 0 of 10 passes."}},
  };
  for (const TCase& Case : SystemCases) {
    TReplay Replay{std::vector<double>(10, 1.0), {}};
    TStoppingReporter Reporter(Case.StopAt, Case.Count);
    RunSystemRAMTest(SystemRAMWriteTest, Reporter.StoppableSettings(4 * MB, 10), Reporter, TSystemMemory(),
                     Replay.Timer());
    EXPECT_EQ(Replay.Walked.size(), Case.Walked) << Case.StopAt;
    ASSERT_GE(Reporter.Lines.size(), 2u);
    EXPECT_EQ(Lines(Reporter.Lines.end() - 2, Reporter.Lines.end()), Case.Ending) << Case.StopAt;
    EXPECT_TRUE(Reporter.Results.empty()) << Case.StopAt;
  }

  TFakeGraphics Fake;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TReplay Replay{std::vector<double>(10, 1.0), {}};
  TStoppingReporter Reporter("Read from GFX memory: ", 3);
  RunGFXRAMTest(GFXRAMReadTest, Reporter.StoppableSettings(4 * MB, 10), Reporter, &VideoMemory, Replay.Timer());
  EXPECT_EQ(Replay.Walked.size(), 3u);
  EXPECT_EQ(Fake.Events, (Lines{"create 4194304", "map", "release 4194304"}));
  EXPECT_EQ(Lines(Reporter.Lines.end() - 3, Reporter.Lines.end()),
            (Lines{"Read from GFX memory: 4.00 MB 1.00 ms (4000MB/s)", "Free texture memory: 1.00 GB",
                   "Stopped by the user after 3 of 10 passes."}));
  EXPECT_TRUE(Reporter.Results.empty());
}

TEST(StoppedRun, TheOpenCLTestEndsAfterTheCurrentLaunchWithEveryObjectReleased) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Devices = {TFakeDevice{}};
  Fake.Timings = std::vector<TFakeTiming>(10, {0, 1000});
  TStoppingReporter Reporter("OpenCL: Pass 2...", 1);
  TBenchmarkSettings Settings = Reporter.StoppableSettings(MB, 10);
  Settings.OpenCLPlatform = 0;
  Settings.OpenCLDevice = 0;
  Settings.OpenCLComputeCoreCount = 1920;
  RunOpenCLTest(Settings, Reporter, {.KernelFolder = ExecutableFolder()});

  EXPECT_EQ(Fake.Commands.size(), 2u);  // the launch under way when the user stopped still ran
  EXPECT_EQ(Lines(Reporter.Lines.end() - 4, Reporter.Lines.end()),
            (Lines{"OpenCL: Execution time: 1000 ns.", "OpenCL: Speed: 1.79 PB/s", "OpenCL: Freeing...",
                   "Stopped by the user after 2 of 10 passes."}));
  EXPECT_TRUE(Reporter.Results.empty());
  for (const TFakeHandle& Handle : Fake.Handles) EXPECT_EQ(Handle.Releases, 1);
}

TEST(StoppedRun, ATransferTestEndsAfterTheCurrentCopyWithItsPinnedMemoryUnmappedAndReleased) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Devices = {TFakeDevice{}};
  Fake.Timings = std::vector<TFakeTiming>(11, {0, 1'000'000});
  TStoppingReporter Reporter("Device to host into pinned memory: ", 2);
  TBenchmarkSettings Settings = Reporter.StoppableSettings(MB, 10);
  Settings.OpenCLPlatform = 0;
  Settings.OpenCLDevice = 0;
  RunOpenCLTransferTest(DeviceToHostPinnedTest, Settings, Reporter, {});

  std::vector<std::string> Functions;
  for (const TFakeCommand& Command : Fake.Commands) Functions.push_back(Command.Function);
  // The copy under way when the user stopped still ran, and its time stands.
  EXPECT_EQ(Functions, (std::vector<std::string>{"clEnqueueMapBuffer", "clEnqueueWriteBuffer", "clEnqueueReadBuffer",
                                                 "clEnqueueReadBuffer", "clEnqueueUnmapMemObject"}));
  EXPECT_EQ(Lines(Reporter.Lines.end() - 3, Reporter.Lines.end()),
            (Lines{"Device to host into pinned memory: 1.00 MB 1.00 ms (1000MB/s)", "OpenCL: Freeing...",
                   "Stopped by the user after 2 of 10 passes."}));
  EXPECT_TRUE(Reporter.Results.empty());
  EXPECT_EQ(Fake.ReleasesWhileMapped, 0);
  for (const TFakeHandle& Handle : Fake.Handles) EXPECT_EQ(Handle.Releases, 1);
}

TEST(StoppedRun, StartsNoFurtherTest) {
  TFakeGraphics Fake;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TStoppingReporter Reporter("Read from GFX memory: ", 1);
  const std::vector<TBenchmarkType> Started =
      RunBenchmarkTests(bmAll, Reporter.StoppableSettings(4 * MB, 100), Reporter, &VideoMemory);
  EXPECT_EQ(Started, (std::vector<TBenchmarkType>{bmGFXRAMWrite, bmGFXRAMRead}));
  EXPECT_EQ(Reporter.Lines.back(), "Stopped by the user after 1 of 100 passes.");
  for (const std::string& Line : Reporter.Lines) EXPECT_EQ(Line.find("OpenCL"), std::string::npos) << Line;
  ASSERT_EQ(Reporter.Results.size(), 1u);  // the write test had finished
  EXPECT_EQ(Reporter.Results[0].BenchmarkType, bmGFXRAMWrite);
}

}  // namespace
