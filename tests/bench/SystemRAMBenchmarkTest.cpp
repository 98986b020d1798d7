#include "SystemRAMBenchmark.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "MemoryTestFixtures.h"
#include "RecordingReporter.h"

namespace {

using Lines = std::vector<std::string>;

const TSystemMemory Memory;  // the real source of blocks

TEST(SystemRAMTest, ReproducesTheWorkedReadExample) {
  TReplay Replay{{26.9371, 23.5212, 23.4861}, {}};
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMReadTest, Settings(268435456, 3), Reporter, Memory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "Allocated system memory: 256.00 MB",
                                "Running system RAM read test...",
                                "Read from system memory: 256.00 MB 26.94 ms (9503.62MB/s)",
                                "Read from system memory: 256.00 MB 23.52 ms (10883.8MB/s)",
                                "Read from system memory: 256.00 MB 23.49 ms (10900.1MB/s)",
                                "Freed system memory: 256.00 MB",
                                "Average system RAM read: 256.00 MB 24.65 ms (10386.2MB/s)",
                                "Peak system RAM read: 256.00 MB 23.49 ms (10900.1MB/s)",
                            }));
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, "10.64 GB/s");
  EXPECT_EQ(Reporter.Results[0].BenchmarkType, bmSystemRAMRead);
  EXPECT_FALSE(Reporter.Results[0].Finished);
  EXPECT_EQ(Reporter.Results[0].LinesBefore, 8u);  // the result follows the last line
}

TEST(SystemRAMTest, WriteTestUsesItsOwnTextsAndTheFirstPassCanBeThePeak) {
  TReplay Replay{{40.0, 80.0}, {}};
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMWriteTest, Settings(536870912, 2), Reporter, Memory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "Allocated system memory: 512.00 MB",
                                "Running system RAM write test...",
                                "Write to system memory: 512.00 MB 40.00 ms (12800MB/s)",
                                "Write to system memory: 512.00 MB 80.00 ms (6400MB/s)",
                                "Freed system memory: 512.00 MB",
                                "Average system RAM write: 512.00 MB 60.00 ms (8533.33MB/s)",
                                "Peak system RAM write: 512.00 MB 40.00 ms (12800MB/s)",
                            }));
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, "12.50 GB/s");
  EXPECT_EQ(Reporter.Results[0].BenchmarkType, bmSystemRAMWrite);
}

TEST(SystemRAMTest, WriteFillsEveryWordOfAFreshBlock) {
  constexpr std::int64_t Size = 4 << 20;
  std::vector<std::string> Problems;
  int Calls = 0;
  auto CheckedWrite = [&](void* Block, std::uint64_t Bytes) {
    const auto* Words = static_cast<const std::uint64_t*>(Block);
    if (Bytes != Size) Problems.push_back("walked " + std::to_string(Bytes) + " bytes");
    if (Calls++ == 0)
      for (std::uint64_t Index = 0; Index < Bytes / 8; ++Index)
        if (Words[Index] != 0) Problems.push_back("fresh block not zero at word " + std::to_string(Index));
    const double Time = WriteTest(Block, Bytes);
    for (std::uint64_t Index = 0; Index < Bytes / 8; ++Index)
      if (Words[Index] != WritePattern) {
        Problems.push_back("word " + std::to_string(Index) + " not written");
        break;
      }
    return Time;
  };
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMWriteTest, Settings(Size, 2), Reporter, Memory, CheckedWrite);
  EXPECT_EQ(Calls, 2);
  EXPECT_TRUE(Problems.empty()) << Problems.front();
  EXPECT_EQ(Reporter.Results.size(), 1u);
}

TEST(SystemRAMTest, ReadLeavesTheLastWordInTheFirstOfAFreshBlock) {
  constexpr std::int64_t Size = 4 << 20;
  std::vector<std::uint64_t> FirstWords;
  auto CheckedRead = [&](void* Block, std::uint64_t Bytes) {
    auto* Words = static_cast<std::uint64_t*>(Block);
    Words[Bytes / 8 - 1] = 0xABCDEF;  // the last word, so that its value is seen to land in word 0
    const double Time = ReadTest(Block, Bytes);
    FirstWords.push_back(Words[0]);
    return Time;
  };
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMReadTest, Settings(Size, 2), Reporter, Memory, CheckedRead);
  EXPECT_EQ(FirstWords, (std::vector<std::uint64_t>{0xABCDEF, 0xABCDEF}));
}

// The real tests over a small block: the lines have the shapes of the log.
TEST(SystemRAMTest, RealRunsLogEveryLineInOrder) {
  struct TCase {
    void (*Benchmark)(const TBenchmarkSettings&, TBenchmarkReporter&);
    const char* Start;
    const char* Pass;
    const char* Average;
    const char* Peak;
    TBenchmarkType Type;
  };
  const TCase Cases[] = {
      {BenchmarkSystemRAMWrite, "Running system RAM write test...", "Write to system memory: ",
       "Average system RAM write: ", "Peak system RAM write: ", bmSystemRAMWrite},
      {BenchmarkSystemRAMRead, "Running system RAM read test...", "Read from system memory: ",
       "Average system RAM read: ", "Peak system RAM read: ", bmSystemRAMRead},
  };
  // The captions hold no regular-expression characters.
  const std::string Figures = R"(4\.00 MB [0-9]+\.[0-9]{2} ms \([0-9.E]+MB/s\))";
  for (const TCase& Case : Cases) {
    TRecordingReporter Reporter;
    Case.Benchmark(Settings(4 << 20, 2), Reporter);
    ASSERT_EQ(Reporter.Lines.size(), 7u);
    EXPECT_EQ(Reporter.Lines[0], "Allocated system memory: 4.00 MB");
    EXPECT_EQ(Reporter.Lines[1], Case.Start);
    EXPECT_TRUE(std::regex_match(Reporter.Lines[2], std::regex(Case.Pass + Figures))) << Reporter.Lines[2];
    EXPECT_TRUE(std::regex_match(Reporter.Lines[3], std::regex(Case.Pass + Figures))) << Reporter.Lines[3];
    EXPECT_EQ(Reporter.Lines[4], "Freed system memory: 4.00 MB");
    EXPECT_TRUE(std::regex_match(Reporter.Lines[5], std::regex(Case.Average + Figures))) << Reporter.Lines[5];
    EXPECT_TRUE(std::regex_match(Reporter.Lines[6], std::regex(Case.Peak + Figures))) << Reporter.Lines[6];
    ASSERT_EQ(Reporter.Results.size(), 1u);
    EXPECT_EQ(Reporter.Results[0].BenchmarkType, Case.Type);
    EXPECT_TRUE(std::regex_match(Reporter.Results[0].Text, std::regex(R"([0-9]+\.[0-9]{2} [KMGT]B/s)")))
        << Reporter.Results[0].Text;
  }
}

TEST(SystemRAMTest, RefusesABlockTheMachineCannotBackBeforeTouchingIt) {
  const TSystemMemory OneGigabyteFree([] { return std::optional<std::uint64_t>(std::uint64_t{1} << 30); });
  bool Walked = false;
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMWriteTest, Settings(std::int64_t{2} << 30, 2), Reporter, OneGigabyteFree,
                   [&](void*, std::uint64_t) { return Walked = true, 1.0; });
  EXPECT_FALSE(Walked);
  EXPECT_EQ(Reporter.Lines,
            (Lines{"Exception: Not enough free system memory for a block of 2.00 GB (1.00 GB available)"}));
  EXPECT_TRUE(Reporter.Results.empty());
}

TEST(SystemRAMTest, RefusesATerabyteOnThisMachine) {
  TRecordingReporter Reporter;
  BenchmarkSystemRAMRead(Settings(std::int64_t{1} << 40, 2), Reporter);
  ASSERT_EQ(Reporter.Lines.size(), 1u);
  EXPECT_EQ(Reporter.Lines[0].rfind("Exception: ", 0), 0u);
  EXPECT_NE(Reporter.Lines[0].find("1.00 TB"), std::string::npos) << Reporter.Lines[0];
  EXPECT_TRUE(Reporter.Results.empty());
}

TEST(SystemRAMTest, AnErrorInAPassFreesTheBlockBeforeItIsLogged) {
  int Calls = 0;
  auto FailingSecondPass = [&](void*, std::uint64_t) -> double {
    if (++Calls == 2) throw std::runtime_error("pass failed");
    return 10.0;
  };
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMReadTest, Settings(268435456, 3), Reporter, Memory, FailingSecondPass);
  EXPECT_EQ(Reporter.Lines, (Lines{
                                "Allocated system memory: 256.00 MB",
                                "Running system RAM read test...",
                                "Read from system memory: 256.00 MB 10.00 ms (25600MB/s)",
                                "Freed system memory: 256.00 MB",
                                "Exception: pass failed",
                            }));
  EXPECT_TRUE(Reporter.Results.empty());
}

TEST(SystemRAMTest, RefusesAPassCountWithNothingToAverage) {
  TReplay Replay;
  TRecordingReporter Reporter;
  RunSystemRAMTest(SystemRAMReadTest, Settings(268435456, 0), Reporter, Memory, Replay.Timer());
  EXPECT_EQ(Reporter.Lines, (Lines{"Exception: The number of passes must be at least 1, not 0"}));
  EXPECT_TRUE(Reporter.Results.empty());
}

}  // namespace
