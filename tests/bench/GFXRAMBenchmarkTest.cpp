#include "GFXRAMBenchmark.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchmarkRun.h"
#include "FakeGraphicsDevice.h"
#include "GFXBlockPlan.h"
#include "MemoryTestFixtures.h"
#include "RecordingReporter.h"

namespace {

using Lines = std::vector<std::string>;
constexpr std::int64_t MB = 1 << 20;

// An adapter with 3.87 GB free.
TFakeGraphics WorkedExampleAdapter() {
  TFakeGraphics Fake;
  Fake.TotalMemory = static_cast<std::uint64_t>(3.87 * 1073741824.0);
  return Fake;
}

TEST(GFXRAMTest, ReproducesTheWorkedReadExample) {
  TFakeGraphics Fake = WorkedExampleAdapter();
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TReplay Replay{{181.0, 180.4}, {}};
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMReadTest, Settings(512 * MB, 2), Reporter, &VideoMemory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "Free texture memory: 3.37 GB",
                                "Running GFX RAM read test...",
                                "Read from GFX memory: 512.00 MB 181.00 ms (2828.73MB/s)",
                                "Read from GFX memory: 512.00 MB 180.40 ms (2838.14MB/s)",
                                "Free texture memory: 3.87 GB",
                                "Average GFX RAM read: 512.00 MB 180.70 ms (2833.43MB/s)",
                                "Peak GFX RAM read: 512.00 MB 180.40 ms (2838.14MB/s)",
                            }));
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, "2.77 GB/s");
  EXPECT_EQ(Reporter.Results[0].BenchmarkType, bmGFXRAMRead);
  EXPECT_FALSE(Reporter.Results[0].Finished);
  EXPECT_EQ(Reporter.Results[0].LinesBefore, 7u);
  // Both passes walked the one mapped block, whole; it is gone afterwards.
  ASSERT_EQ(Replay.Walked.size(), 2u);
  EXPECT_NE(Replay.Walked[0].first, nullptr);
  EXPECT_EQ(Replay.Walked[1], Replay.Walked[0]);
  EXPECT_EQ(Replay.Walked[0].second, std::uint64_t(512 * MB));
  EXPECT_EQ(VideoMemory.Items.Count(), 0);
  EXPECT_EQ(Fake.Events, (Lines{"create 536870912", "map", "release 536870912"}));
}

TEST(GFXRAMTest, WriteTestUsesItsOwnTextsAndTheFirstPassCanBeThePeak) {
  TFakeGraphics Fake = WorkedExampleAdapter();
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TReplay Replay{{40.0, 80.0}, {}};
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMWriteTest, Settings(512 * MB, 2), Reporter, &VideoMemory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "Free texture memory: 3.37 GB",
                                "Running GFX RAM write test...",
                                "Write to GFX memory: 512.00 MB 40.00 ms (12800MB/s)",
                                "Write to GFX memory: 512.00 MB 80.00 ms (6400MB/s)",
                                "Free texture memory: 3.87 GB",
                                "Average GFX RAM write: 512.00 MB 60.00 ms (8533.33MB/s)",
                                "Peak GFX RAM write: 512.00 MB 40.00 ms (12800MB/s)",
                            }));
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, "12.50 GB/s");
  EXPECT_EQ(Reporter.Results[0].BenchmarkType, bmGFXRAMWrite);
}

TEST(GFXRAMTest, ABlockTheAdapterCannotHoldSaysWhyThenGivesTheFourLinesAndNoResult) {
  for (const TMemoryWalkTest* Test : {&GFXRAMReadTest, &GFXRAMWriteTest}) {
    TFakeGraphics Fake;
    Fake.TotalMemory = 256 * MB;
    TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
    TReplay Replay;
    TRecordingReporter Reporter;
    RunGFXRAMTest(*Test, Settings(512 * MB, 2), Reporter, &VideoMemory, Replay.Timer());
    EXPECT_EQ(Reporter.Lines, (Lines{
                                  "GFX RAM block of 512.00 MB does not fit: this adapter has only 256.00 MB of free memory",
                                  "Error: Could not allocate GFX memory!",
                                  "Free texture memory: 256.00 MB",
                                  Test->StartLine,
                                  "Exception: List index out of bounds (0).  TList is empty",
                              }));
    EXPECT_TRUE(Reporter.Results.empty());
    EXPECT_TRUE(Replay.Walked.empty());
  }
}

// A card without resizable BAR: 8 GB of its own, of which the processor maps a window of 214 MB.
TEST(GFXRAMTest, ABlockBeyondTheWindowIsWalkedAtTheSizeTheWindowAllowsAndSaysSo) {
  TFakeGraphics Fake;
  Fake.TotalMemory = std::uint64_t{8} << 30;
  Fake.Window = 214 * MB + 512 * 1024;  // the whole megabytes of it are walked
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TReplay Replay{{20.0, 25.0}, {}};
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMReadTest, Settings(512 * MB, 2), Reporter, &VideoMemory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "GFX RAM block reduced to 214.00 MB: the processor can reach only 214.50 MB of this "
                                "adapter's memory (resizable BAR is off)",
                                "Free texture memory: 7.79 GB",
                                "Running GFX RAM read test...",
                                "Read from GFX memory: 214.00 MB 20.00 ms (10700MB/s)",
                                "Read from GFX memory: 214.00 MB 25.00 ms (8560MB/s)",
                                "Free texture memory: 8.00 GB",
                                "Average GFX RAM read: 214.00 MB 22.50 ms (9511.11MB/s)",
                                "Peak GFX RAM read: 214.00 MB 20.00 ms (10700MB/s)",
                            }));
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, "10.45 GB/s");
  ASSERT_EQ(Replay.Walked.size(), 2u);
  EXPECT_EQ(Replay.Walked[0].second, std::uint64_t(214 * MB));
  EXPECT_EQ(Fake.Events, (Lines{"create 224395264", "map", "release 224395264"}));
}

TEST(GFXRAMTest, TheBlockAskedForIsChosenByWhatTheCardHoldsAndWhatTheProcessorReaches) {
  constexpr std::uint64_t GB = std::uint64_t{1} << 30;
  TAdapterMemory SmallBar;  // 7.08 GB free of 8 GB; 192 MB free of a 214 MB window
  SmallBar.DeviceLocal = 8 * GB;
  SmallBar.DeviceLocalFree = 7250 * MB;
  SmallBar.Reachable = 214 * MB;
  SmallBar.ReachableFree = 192 * MB;
  TAdapterMemory NoWindow = SmallBar;
  NoWindow.Reachable = NoWindow.ReachableFree = 0;
  TAdapterMemory FullWindow = SmallBar;
  FullWindow.ReachableFree = 512 * 1024;
  TAdapterMemory ResizableBar = SmallBar;
  ResizableBar.Reachable = ResizableBar.ReachableFree = 7250 * MB;
  ResizableBar.Bar = TBarState::On;
  TAdapterMemory Shared;  // an integrated GPU: 11 GB of its 12 GB heap free, 492 MB left to the process
  Shared.DeviceLocal = Shared.Reachable = 12 * GB;
  Shared.DeviceLocalFree = Shared.ReachableFree = 11 * GB;
  Shared.Bar = TBarState::Shared;
  Shared.SystemAvailable = 492 * MB;
  struct TCase {
    const char* Name;
    std::int64_t MemorySize;
    const TAdapterMemory& Memory;
    std::int64_t Size;
    std::string Line;
  };
  const TCase Cases[] = {
      {"fits the window", 192 * MB, SmallBar, 192 * MB, ""},
      {"resizable BAR", 4096 * MB, ResizableBar, 4096 * MB, ""},
      {"reduced", 256 * MB, SmallBar, 192 * MB,
       "GFX RAM block reduced to 192.00 MB: the processor can reach only 214.00 MB of this adapter's memory "
       "(resizable BAR is off)"},
      {"beyond the card", 10000 * MB, SmallBar, 10000 * MB,
       "GFX RAM block of 9.77 GB does not fit: this adapter has only 7.08 GB of free memory"},
      {"beyond the card with resizable BAR", 8192 * MB, ResizableBar, 8192 * MB,
       "GFX RAM block of 8.00 GB does not fit: this adapter has only 7.08 GB of free memory"},
      {"no mappable memory", 256 * MB, NoWindow, 256 * MB,
       "GFX RAM block of 256.00 MB does not fit: the processor can reach only 0 Byte of this adapter's memory "
       "(resizable BAR is off)"},
      {"less than a megabyte left in the window", 256 * MB, FullWindow, 256 * MB,
       "GFX RAM block of 256.00 MB does not fit: the processor can reach only 214.00 MB of this adapter's memory "
       "(resizable BAR is off)"},
      {"shared memory within what the process may use", 256 * MB, Shared, 256 * MB, ""},
      // A container's limit, not the heap, is what the kernel enforces at the first touch.
      {"shared memory beyond what the process may use", 1024 * MB, Shared, 1024 * MB,
       "GFX RAM block of 1.00 GB does not fit: this adapter's memory is system memory, of which only 492.00 MB is "
       "available"},
  };
  for (const TCase& Case : Cases) {
    const TGFXBlockPlan Plan = PlanGFXBlock(Case.MemorySize, Case.Memory);
    EXPECT_EQ(Plan.Size, Case.Size) << Case.Name;
    EXPECT_EQ(Plan.Line, Case.Line) << Case.Name;
  }
}

TEST(GFXRAMTest, WithoutAnAllocatorEachTestLogsOneExceptionAndNoResult) {
  for (auto* Benchmark : {BenchmarkGFXRAMWrite, BenchmarkGFXRAMRead}) {
    TRecordingReporter Reporter;
    Benchmark(Settings(512 * MB, 2), Reporter, nullptr);
    EXPECT_EQ(Reporter.Lines, (Lines{"Exception: No GFX memory: the graphics adapter could not be opened"}));
    EXPECT_TRUE(Reporter.Results.empty());
  }
}

TEST(GFXRAMTest, AnErrorInAPassGivesTheBlockBackBeforeItIsLogged) {
  TFakeGraphics Fake = WorkedExampleAdapter();
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  int Calls = 0;
  auto FailingSecondPass = [&](void*, std::uint64_t) -> double {
    if (++Calls == 2) throw std::runtime_error("pass failed");
    return 10.0;
  };
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMReadTest, Settings(256 * MB, 3), Reporter, &VideoMemory, FailingSecondPass);
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "Free texture memory: 3.62 GB",
                                "Running GFX RAM read test...",
                                "Read from GFX memory: 256.00 MB 10.00 ms (25600MB/s)",
                                "Free texture memory: 3.87 GB",
                                "Exception: pass failed",
                            }));
  EXPECT_TRUE(Reporter.Results.empty());
  EXPECT_EQ(VideoMemory.Items.Count(), 0);
}

TEST(GFXRAMTest, RefusesAPassCountWithNothingToAverageBeforeTakingABlock) {
  TFakeGraphics Fake;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TReplay Replay;
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMReadTest, Settings(256 * MB, 0), Reporter, &VideoMemory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{"Exception: The number of passes must be at least 1, not 0"}));
  EXPECT_TRUE(Fake.Events.empty());
}

TEST(GFXRAMTest, AFourGigabyteBlockIsWalkedWhole) {
  TFakeGraphics Fake;
  Fake.TotalMemory = std::uint64_t{6} << 30;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TReplay Replay{{400.0, 500.0}, {}};
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMWriteTest, Settings(4096 * MB, 2), Reporter, &VideoMemory, Replay.Timer());
  ASSERT_EQ(Replay.Walked.size(), 2u);
  EXPECT_EQ(Replay.Walked[0].second, std::uint64_t{4} << 30);
  EXPECT_EQ(Reporter.Lines.at(0), "Free texture memory: 2.00 GB");
  EXPECT_EQ(Reporter.Lines.at(2), "Write to GFX memory: 4.00 GB 400.00 ms (10240MB/s)");
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, "10.00 GB/s");
}

TEST(GFXRAMTest, AFullRunCallsTheGFXTestsFirstEachWithItsOwnBlock) {
  TFakeGraphics Fake;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TRecordingReporter Reporter;
  RunBenchmarkTests(bmAll, Settings(4 * MB, 2), Reporter, &VideoMemory);
  Lines Starts;
  for (const std::string& Line : Reporter.Lines)
    if (Line.rfind("Running ", 0) == 0) Starts.push_back(Line);
  // The OpenCL test runs third; with no OpenCL library loaded in this process it sends no result.
  EXPECT_EQ(Starts, (Lines{"Running GFX RAM write test...", "Running GFX RAM read test...",
                           "Running OpenCL GFX RAM read & write test...", "Running system RAM write test...",
                           "Running system RAM read test..."}));
  EXPECT_EQ(Fake.Events, (Lines{"create 4194304", "map", "release 4194304", "create 4194304", "map",
                                "release 4194304"}));
  std::vector<TBenchmarkType> Types;
  for (const TRecordedResult& Result : Reporter.Results) Types.push_back(Result.BenchmarkType);
  EXPECT_EQ(Types, (std::vector<TBenchmarkType>{bmGFXRAMWrite, bmGFXRAMRead, bmSystemRAMWrite, bmSystemRAMRead}));
}

// For real, over the Vulkan device of this machine.
class RealGFXRAMTest : public ::testing::Test {
 protected:
  TVraxDirect3D9 FVideoMemory{false};
};

TEST_F(RealGFXRAMTest, BothTestsLogEveryLineInOrder) {
  const std::string Figures = R"(4\.00 MB [0-9]+\.[0-9]{2} ms \([0-9.E]+MB/s\))";
  const std::string FreeLine = R"(Free texture memory: [0-9]+\.[0-9]{2} [KMGT]?B)";
  for (const TMemoryWalkTest* Test : {&GFXRAMWriteTest, &GFXRAMReadTest}) {
    TRecordingReporter Reporter;
    (Test == &GFXRAMWriteTest ? BenchmarkGFXRAMWrite : BenchmarkGFXRAMRead)(Settings(4 * MB, 2), Reporter,
                                                                            &FVideoMemory);
    ASSERT_EQ(Reporter.Lines.size(), 7u) << Reporter.Lines.at(0);
    EXPECT_TRUE(std::regex_match(Reporter.Lines[0], std::regex(FreeLine))) << Reporter.Lines[0];
    EXPECT_EQ(Reporter.Lines[1], Test->StartLine);
    EXPECT_TRUE(std::regex_match(Reporter.Lines[2], std::regex(Test->PassCaption + Figures))) << Reporter.Lines[2];
    EXPECT_TRUE(std::regex_match(Reporter.Lines[3], std::regex(Test->PassCaption + Figures))) << Reporter.Lines[3];
    EXPECT_TRUE(std::regex_match(Reporter.Lines[4], std::regex(FreeLine))) << Reporter.Lines[4];
    EXPECT_TRUE(std::regex_match(Reporter.Lines[5], std::regex(Test->AverageCaption + Figures)))
        << Reporter.Lines[5];
    EXPECT_TRUE(std::regex_match(Reporter.Lines[6], std::regex(Test->PeakCaption + Figures))) << Reporter.Lines[6];
    ASSERT_EQ(Reporter.Results.size(), 1u);
    EXPECT_EQ(Reporter.Results[0].BenchmarkType, Test->Type);
    EXPECT_EQ(FVideoMemory.Items.Count(), 0);
  }
}

TEST_F(RealGFXRAMTest, WriteFillsEveryWordAndReadBringsTheLastWordToTheFirst) {
  constexpr std::int64_t Size = 4 * MB;
  std::vector<std::string> Problems;
  auto CheckedWrite = [&](void* Block, std::uint64_t Bytes) {
    const double Time = WriteTest(Block, Bytes);
    const auto* Words = static_cast<const volatile std::uint64_t*>(Block);
    for (std::uint64_t Index = 0; Index < Bytes / 8; ++Index)
      if (Words[Index] != WritePattern) {
        Problems.push_back("word " + std::to_string(Index) + " not written");
        break;
      }
    return Time;
  };
  std::vector<std::uint64_t> FirstWords;
  auto CheckedRead = [&](void* Block, std::uint64_t Bytes) {
    auto* Words = static_cast<volatile std::uint64_t*>(Block);
    Words[Bytes / 8 - 1] = 0xABCDEF;
    const double Time = ReadTest(Block, Bytes);
    FirstWords.push_back(std::uint64_t{Words[0]});
    return Time;
  };
  TRecordingReporter Reporter;
  RunGFXRAMTest(GFXRAMWriteTest, Settings(Size, 2), Reporter, &FVideoMemory, CheckedWrite);
  RunGFXRAMTest(GFXRAMReadTest, Settings(Size, 2), Reporter, &FVideoMemory, CheckedRead);
  EXPECT_TRUE(Problems.empty()) << Problems.front();
  EXPECT_EQ(FirstWords, (std::vector<std::uint64_t>{0xABCDEF, 0xABCDEF}));
  EXPECT_EQ(Reporter.Results.size(), 2u);
}

}  // namespace
