#include <gtest/gtest.h>
#include <sched.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <regex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "AllCoreWalker.h"
#include "MemoryTestFixtures.h"
#include "RecordingReporter.h"
#include "SystemRAMBenchmark.h"

namespace {

constexpr std::uint64_t KiB = 1024;

TEST(AllCoreWalker, SharesCoverEveryWordOnceInOrderFromPageBoundaries) {
  struct TCase {
    std::uint64_t Size;
    std::size_t Threads;
  };
  for (const TCase Case : {TCase{4096 * KiB, 2}, TCase{4096 * KiB + 8, 3}, TCase{12 * KiB + 7, 4}, TCase{64, 3},
                           TCase{1000 * 4096 + 4088, 7}, TCase{std::uint64_t{10000} << 20, 64}}) {
    SCOPED_TRACE(std::to_string(Case.Size) + " bytes, " + std::to_string(Case.Threads) + " threads");
    const std::vector<TBlockShare> Shares = SplitBlock(Case.Size, Case.Threads);
    ASSERT_EQ(Shares.size(), Case.Threads);
    std::uint64_t Next = 0;
    for (const TBlockShare& Share : Shares) {
      EXPECT_EQ(Share.Offset, Next);
      EXPECT_EQ(Share.Offset % 4096, 0u);
      EXPECT_EQ(Share.Size % 8, 0u);
      Next = Share.Offset + Share.Size;
    }
    EXPECT_EQ(Next, Case.Size / 8 * 8);  // every whole word, the tail that is no word left out
  }
}

TEST(AllCoreWalker, UsableProcessorsHonoursALimitAndRefusesMoreThanThereAre) {
  const std::vector<int> All = UsableProcessors();
  ASSERT_FALSE(All.empty());
  EXPECT_EQ(UsableProcessors(1), std::vector<int>{All.front()});
  EXPECT_THROW(UsableProcessors(static_cast<int>(All.size()) + 1), std::runtime_error);
}

// Each thread's loop notes the processor it ran on.
std::mutex SeenLock;
std::set<int> SeenProcessors;
double NoteProcessor(void* PMemory, std::uint64_t Size) {
  {
    std::lock_guard<std::mutex> Guard(SeenLock);
    SeenProcessors.insert(sched_getcpu());
  }
  return WriteTest(PMemory, Size);
}

TEST(AllCoreWalker, EveryThreadRunsPinnedOnItsOwnProcessor) {
  const std::vector<int> Processors = UsableProcessors();
  std::vector<std::uint64_t> Block(Processors.size() * 1024, 0);
  SeenProcessors.clear();
  {
    TAllCoreWalker Walker(NoteProcessor, Processors);
    for (int Pass = 0; Pass < 3; ++Pass) Walker(Block.data(), Block.size() * 8);
  }
  EXPECT_EQ(SeenProcessors, std::set<int>(Processors.begin(), Processors.end()));
}

TEST(AllCoreWalker, WriteFillsEveryWordAndReadEndsEachShareInItsFirstWord) {
  const std::vector<int> Processors = UsableProcessors();
  const std::uint64_t Size = 3 * (1 << 20) + 8 * 5;  // 3 MB and five words more
  std::vector<std::uint64_t> Block(Size / 8, 0);
  {
    TAllCoreWalker Writer(WriteTest, Processors);
    EXPECT_GE(Writer(Block.data(), Size), 0.0);
  }
  for (std::size_t Index = 0; Index < Block.size(); ++Index) ASSERT_EQ(Block[Index], WritePattern) << Index;

  for (std::size_t Index = 0; Index < Block.size(); ++Index) Block[Index] = Index;
  {
    TAllCoreWalker Reader(ReadTest, Processors);
    Reader(Block.data(), Size);
  }
  for (const TBlockShare& Share : SplitBlock(Size, Processors.size())) {
    const std::uint64_t First = Share.Offset / 8;
    const std::uint64_t Last = (Share.Offset + Share.Size) / 8 - 1;
    EXPECT_EQ(Block[First], Last) << "share at " << Share.Offset;
  }
}

// The first processor's thread takes 40 ms longer than the others.
double SlowOnFirstProcessor(void* PMemory, std::uint64_t Size) {
  if (sched_getcpu() == UsableProcessors().front()) std::this_thread::sleep_for(std::chrono::milliseconds(40));
  return ReadTest(PMemory, Size);
}

TEST(AllCoreWalker, APassLastsUntilTheLastThreadEnds) {
  std::vector<std::uint64_t> Block(4096, 0);
  TAllCoreWalker Walker(SlowOnFirstProcessor, UsableProcessors());
  EXPECT_GE(Walker(Block.data(), Block.size() * 8), 40.0);
}

TEST(AllCoreSystemRAMTest, LogsTheThreadsAndTheLinesWithTheirCaptions) {
  const std::vector<int> Processors = UsableProcessors();
  std::string Pinned;
  for (const int Processor : Processors) Pinned += (Pinned.empty() ? "" : ", ") + std::to_string(Processor);
  const std::string Figures = R"(4\.00 MB [0-9]+\.[0-9]{2} ms \([0-9.E]+MB/s\))";
  for (const TMemoryWalkTest* Test : {&SystemRAMWriteAllTest, &SystemRAMReadAllTest}) {
    TRecordingReporter Reporter;
    RunAllCoreSystemRAMTest(*Test, Settings(4 << 20, 2), Reporter, TSystemMemory());
    ASSERT_EQ(Reporter.Lines.size(), 8u);
    EXPECT_TRUE(std::regex_match(Reporter.Lines[0], std::regex("All cores: " + std::to_string(Processors.size()) +
                                                               " threads?, pinned to processors? " + Pinned)))
        << Reporter.Lines[0];
    EXPECT_EQ(Reporter.Lines[1], "Allocated system memory: 4.00 MB");
    EXPECT_EQ(Reporter.Lines[2], Test->StartLine);
    EXPECT_TRUE(std::regex_search(Test->StartLine, std::regex(R"(\(all cores\)\.\.\.$)")));
    for (const int Line : {3, 4})
      EXPECT_TRUE(std::regex_match(
          Reporter.Lines[Line],
          std::regex(std::regex_replace(Test->PassCaption, std::regex(R"([()])"), R"(\$&)") + Figures)))
          << Reporter.Lines[Line];
    EXPECT_EQ(Reporter.Lines[5], "Freed system memory: 4.00 MB");
    ASSERT_EQ(Reporter.Results.size(), 1u);
    EXPECT_EQ(Reporter.Results[0].BenchmarkType, Test->Type);
  }
}

TEST(AllCoreSystemRAMTest, MoreThreadsThanProcessorsIsOneExceptionLine) {
  TBenchmarkSettings Asked = Settings(4 << 20, 2);
  Asked.Threads = static_cast<std::int32_t>(UsableProcessors().size()) + 1;
  TRecordingReporter Reporter;
  RunAllCoreSystemRAMTest(SystemRAMReadAllTest, Asked, Reporter, TSystemMemory());
  ASSERT_EQ(Reporter.Lines.size(), 2u);
  EXPECT_EQ(Reporter.Lines[0], SystemRAMReadAllTest.StartLine);
  EXPECT_EQ(Reporter.Lines[1].rfind("Exception: Only ", 0), 0u) << Reporter.Lines[1];
  EXPECT_TRUE(Reporter.Results.empty());
}

}  // namespace
