// The record of a run as the tests fill it through the reporter: every pass with the figures the
// log shows, how each test ended, and the adapter or device it ran on.

#include "RunRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AllCoreWalker.h"
#include "ExecutableFolder.h"
#include "FakeGraphicsDevice.h"
#include "FakeOpenCLLoader.h"
#include "GFXRAMBenchmark.h"
#include "LogNumbers.h"
#include "MemoryTestFixtures.h"
#include "OpenCLBenchmark.h"
#include "PassFigures.h"
#include "RecordingReporter.h"
#include "SystemRAMBenchmark.h"

namespace {

constexpr std::int64_t MB = 1 << 20;

std::vector<std::uint64_t> Nanoseconds(const TTestRecord& Test) {
  std::vector<std::uint64_t> Times;
  for (const TPassRecord& Pass : Test.Passes) Times.push_back(Pass.Nanoseconds);
  return Times;
}

TEST(RunRecord, KeepsEveryPassOfTheWorkedReadExampleWithTheLogsFigures) {
  TRecordingReporter Window;
  TRunRecorder Recorder({}, {{bmSystemRAMRead}, Settings(256 * MB, 3)}, &Window);
  TReplay Replay{{26.9371, 23.5212, 23.4861}, {}};
  RunSystemRAMTest(SystemRAMReadTest, Settings(256 * MB, 3), Recorder, TSystemMemory(), Replay.Timer());

  // The lines and the result went on unchanged.
  EXPECT_EQ(Window.Lines.size(), 8u);
  ASSERT_EQ(Window.Results.size(), 1u);
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 1u);
  const TTestRecord& Test = Record.Tests[0];
  EXPECT_EQ(Test.Type, bmSystemRAMRead);
  EXPECT_EQ(Test.Status, TTestStatus::Completed);
  EXPECT_EQ(Test.Message, "");
  EXPECT_EQ(Test.BlockSize, 256 * MB);
  EXPECT_EQ(Nanoseconds(Test), (std::vector<std::uint64_t>{26937100, 23521200, 23486100}));
  for (const TPassRecord& Pass : Test.Passes) EXPECT_EQ(Pass.Bytes, std::uint64_t{256 * MB});

  // The average and peak lines of the log, in MB/s: 10386.2 and 10900.1 (pass 3).
  const std::optional<TTestFigures> Figures = TestFigures(Test);
  ASSERT_TRUE(Figures);
  EXPECT_EQ(FormatRateFigure(Figures->AverageRate / MB), "10386.2");
  EXPECT_EQ(FormatRateFigure(Figures->PeakRate / MB), "10900.1");
  EXPECT_EQ(Figures->PeakPass, 3u);
  EXPECT_EQ(Figures->PeakNanoseconds, 23486100u);
  EXPECT_EQ(FormatRateFigure(*Figures->FirstPassRate / MB), "9503.62");
  ASSERT_TRUE(Figures->Warm);
  EXPECT_EQ(Figures->Warm->Count, 2u);
}

TEST(RunRecord, AFailedTestKeepsItsMessageAndThePassesItHadMade) {
  struct TCase {
    const char* Name;
    std::function<void(TBenchmarkReporter&)> Run;
    std::size_t Passes;
  };
  TFakeGraphics Small;
  Small.TotalMemory = 8 * MB;
  TVraxDirect3D9 SmallAdapter(false, FakeGraphicsInterface(Small));
  const TCase Cases[] = {
      {"system block beyond memory",
       [](TBenchmarkReporter& Reporter) {
         const TSystemMemory Tiny([] { return std::optional<std::uint64_t>(MB); });
         TReplay Replay{{1.0, 1.0}, {}};
         RunSystemRAMTest(SystemRAMWriteTest, Settings(256 * MB, 2), Reporter, Tiny, Replay.Timer());
       },
       0},
      {"no GFX allocator",
       [](TBenchmarkReporter& Reporter) { BenchmarkGFXRAMRead(Settings(256 * MB, 2), Reporter, nullptr); }, 0},
      {"GFX block larger than the adapter",
       [&](TBenchmarkReporter& Reporter) {
         TReplay Replay{{1.0, 1.0}, {}};
         RunGFXRAMTest(GFXRAMWriteTest, Settings(256 * MB, 2), Reporter, &SmallAdapter, Replay.Timer());
       },
       0},
      {"a pass that fails",
       [](TBenchmarkReporter& Reporter) {
         int Pass = 0;
         const TPassTimer FailsSecond = [&Pass](void*, std::uint64_t) -> double {
           if (++Pass == 2) throw std::runtime_error("The pass could not be timed");
           return 10.0;
         };
         RunSystemRAMTest(SystemRAMReadTest, Settings(4 * MB, 3), Reporter, TSystemMemory(), FailsSecond);
       },
       1},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TRecordingReporter Window;
    TRunRecorder Recorder({}, {}, &Window);
    Case.Run(Recorder);
    const TRunRecord Record = Recorder.TakeRecord();
    ASSERT_EQ(Record.Tests.size(), 1u);
    const TTestRecord& Test = Record.Tests[0];
    EXPECT_EQ(Test.Status, TTestStatus::Failed);
    // The message is the one the log's last line gives.
    EXPECT_EQ("Exception: " + Test.Message, Window.Lines.back());
    EXPECT_EQ(Test.Passes.size(), Case.Passes);
    EXPECT_FALSE(TestFigures(Test));
  }
}

TEST(RunRecord, AGFXTestNamesTheAdapterItsBlockCameFrom) {
  TFakeGraphics Fake;
  Fake.Description = "NVIDIA GeForce RTX 3080";
  Fake.TotalMemory = std::uint64_t{10} << 30;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TRunRecorder Recorder({}, {});
  TReplay Replay{{20.0, 20.0}, {}};
  RunGFXRAMTest(GFXRAMWriteTest, Settings(256 * MB, 2), Recorder, &VideoMemory, Replay.Timer());
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 1u);
  EXPECT_EQ(Record.Tests[0].Status, TTestStatus::Completed);
  ASSERT_TRUE(Record.Tests[0].GFX);
  EXPECT_EQ(Record.Tests[0].GFX->Adapter, "NVIDIA GeForce RTX 3080");
  EXPECT_FALSE(Record.Tests[0].OpenCL);
}

// The error of a block no card can give names neither size: the record keeps the line before it that
// does, as the failure's reason; a block walked smaller than asked for is no failure and has none.
TEST(RunRecord, AFailedGFXTestKeepsTheLineThatSaysWhy) {
  TFakeGraphics Fake;
  Fake.TotalMemory = std::uint64_t{256} << 20;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TRecordingReporter Window;
  TRunRecorder Recorder({}, {}, &Window);
  TReplay Replay{{20.0, 20.0}, {}};
  RunGFXRAMTest(GFXRAMWriteTest, Settings(512 * MB, 2), Recorder, &VideoMemory, Replay.Timer());
  Fake.Window = std::uint64_t{128} << 20;  // the block now fits the card but not what the processor reaches
  RunGFXRAMTest(GFXRAMWriteTest, Settings(256 * MB, 2), Recorder, &VideoMemory, Replay.Timer());
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 2u);
  const TTestRecord& Failed = Record.Tests[0];
  EXPECT_EQ(Failed.Status, TTestStatus::Failed);
  EXPECT_EQ(Failed.Message, "List index out of bounds (0).  TList is empty");
  EXPECT_EQ(Failed.Reason, "GFX RAM block of 512.00 MB does not fit: this adapter has only 256.00 MB of free memory");
  EXPECT_NE(std::find(Window.Lines.begin(), Window.Lines.end(), Failed.Reason), Window.Lines.end());
  EXPECT_EQ(Record.Tests[1].Status, TTestStatus::Completed);
  EXPECT_EQ(Record.Tests[1].Reason, "");
}

// A GeForce RTX 3080 as its OpenCL runtime names itself, with the device's own kernel times.
TEST(RunRecord, TheOpenCLTestRecordsItsDeviceAndEveryLaunchIncludingOneWithoutATime) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Name = "NVIDIA CUDA";
  TFakeDevice Card;
  Card.Name = "NVIDIA GeForce RTX 3080";
  Card.DriverVersion = "535.104.05";
  Fake.Platforms[0].Devices = {Card};
  Fake.Timings = {{0, 0}, {0, 2'000'000}, {0, 1'000'000}};
  TRunRecorder Recorder({}, {});
  TBenchmarkSettings OpenCLSettings = Settings(MB, 3);
  OpenCLSettings.OpenCLPlatform = 0;
  OpenCLSettings.OpenCLDevice = 0;
  OpenCLSettings.OpenCLComputeCoreCount = 1920;
  RunOpenCLTest(OpenCLSettings, Recorder, {.KernelFolder = ExecutableFolder()});
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 1u);
  const TTestRecord& Test = Record.Tests[0];
  EXPECT_EQ(Test.Status, TTestStatus::Completed);
  ASSERT_TRUE(Test.OpenCL);
  EXPECT_EQ(Test.OpenCL->Platform, "NVIDIA CUDA");
  EXPECT_EQ(Test.OpenCL->Device, "NVIDIA GeForce RTX 3080");
  EXPECT_EQ(Test.OpenCL->DriverVersion, "535.104.05");
  EXPECT_EQ(Test.OpenCL->WorkItems, 1920u);
  EXPECT_EQ(Test.OpenCL->LaunchesPerPass, 1u);
  EXPECT_EQ(Nanoseconds(Test), (std::vector<std::uint64_t>{0, 2'000'000, 1'000'000}));
  for (const TPassRecord& Pass : Test.Passes) EXPECT_EQ(Pass.Bytes, std::uint64_t{1920} * MB);

  // Only the timed passes count: the peak is pass 3, the first pass has no rate, and both timed
  // passes are after the first.
  const std::optional<TTestFigures> Figures = TestFigures(Test);
  ASSERT_TRUE(Figures);
  EXPECT_EQ(Figures->PeakPass, 3u);
  EXPECT_FALSE(Figures->FirstPassRate);
  ASSERT_TRUE(Figures->Warm);
  EXPECT_EQ(Figures->Warm->Count, 2u);
  // 1920 MB in 1.5 ms on average, as the log's average line.
  EXPECT_DOUBLE_EQ(Figures->AverageRate, 1920.0 * MB / 0.0015);
}

TEST(RunRecord, AMissingKernelFileIsAFailureWithItsPath) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Devices = {TFakeDevice{}};
  TRunRecorder Recorder({}, {});
  TBenchmarkSettings OpenCLSettings = Settings(MB, 2);
  OpenCLSettings.OpenCLPlatform = 0;
  OpenCLSettings.OpenCLDevice = 0;
  OpenCLSettings.OpenCLComputeCoreCount = 2;
  RunOpenCLTest(OpenCLSettings, Recorder, {.KernelFolder = "/nonexistent/"});
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 1u);
  EXPECT_EQ(Record.Tests[0].Status, TTestStatus::Failed);
  EXPECT_EQ(Record.Tests[0].Message, std::string("File not found: /nonexistent/") + KernelFileName);
}

TEST(RunRecord, AnAllCoreTestNamesTheProcessorsOfItsThreads) {
  TRecordingReporter Window;
  TRunRecorder Recorder({}, {{bmSystemRAMReadAll}, Settings(4 * MB, 2)}, &Window);
  RunAllCoreSystemRAMTest(SystemRAMReadAllTest, Settings(4 * MB, 2), Recorder, TSystemMemory());
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 1u);
  EXPECT_EQ(Record.Tests[0].Status, TTestStatus::Completed);
  ASSERT_TRUE(Record.Tests[0].Threads);
  EXPECT_EQ(Record.Tests[0].Threads->Processors, UsableProcessors());
  EXPECT_EQ(Record.Tests[0].Passes.size(), 2u);
}

TEST(RunRecorder, ATestThatNeverSaysHowItEndedCountsAsFailed) {
  TRunRecorder Recorder({}, {});
  Recorder.PassTimed({5, 5});  // before any test: belongs to none
  Recorder.TestStarted(bmSystemRAMWrite, MB);
  Recorder.PassTimed({10, MB});
  Recorder.TestStarted(bmSystemRAMRead, MB);  // the write test never ended
  Recorder.TestEnded(TTestStatus::Stopped, "");
  Recorder.TestEnded(TTestStatus::Completed, "");  // nothing open: ignored
  Recorder.TestStarted(bmGFXRAMRead, MB);
  const TRunRecord Record = Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 3u);
  EXPECT_EQ(Record.Tests[0].Status, TTestStatus::Failed);
  EXPECT_EQ(Record.Tests[0].Message, "The test ended without reporting how");
  EXPECT_EQ(Record.Tests[0].Passes.size(), 1u);
  EXPECT_EQ(Record.Tests[1].Status, TTestStatus::Stopped);
  EXPECT_EQ(Record.Tests[2].Status, TTestStatus::Failed);
}

}  // namespace
