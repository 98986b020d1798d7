// The window's chart fills from a copy of the record that the worker's recorder feeds by handing
// every record-keeping call on: the copy must end up the very record the worker keeps.

#include <gtest/gtest.h>

#include "MemoryTestFixtures.h"
#include "RunRecorder.h"
#include "SystemRAMBenchmark.h"
#include "TestRecordChecks.h"

namespace {

TEST(LiveRecord, ARecorderHandsEveryCallOnSoThatACopyKeepsTheSameRecord) {
  TRunRecorder Copy({}, {});
  TRunRecorder Recorder({}, {{bmSystemRAMWrite, bmSystemRAMRead}, Settings(4 << 20, 3)}, &Copy);
  BenchmarkSystemRAMWrite(Settings(4 << 20, 3), Recorder);
  EXPECT_TRUE(Copy.TestUnderWay() == Recorder.TestUnderWay());
  BenchmarkSystemRAMRead(Settings(4 << 20, 3), Recorder);
  // A test that never said how it ended is closed by taking the record; the copy hears of it too.
  Recorder.TestStarted(bmSystemRAMReadAll, 4 << 20);
  EXPECT_TRUE(Copy.TestUnderWay());
  const TRunRecord Original = Recorder.TakeRecord();
  EXPECT_FALSE(Copy.TestUnderWay());
  const TRunRecord Kept = Copy.TakeRecord();

  ASSERT_EQ(Kept.Tests.size(), 3u);
  ASSERT_EQ(Original.Tests.size(), 3u);
  for (std::size_t Index = 0; Index < 3; ++Index) ExpectSameTestAndPasses(Original.Tests[Index], Kept.Tests[Index]);
  EXPECT_EQ(Kept.Tests[0].Passes.size(), 3u);
  EXPECT_EQ(Kept.Tests[1].Status, TTestStatus::Completed);
  EXPECT_EQ(Kept.Tests[2].Status, TTestStatus::Failed);
}

}  // namespace
