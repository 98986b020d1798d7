#include "BenchmarkRun.h"

#include "TestTable.h"

namespace {

bool IsTestOfRun(const TBenchmarkTest& Test, TBenchmarkType BenchmarkType) {
  return BenchmarkType == Test.Type || (BenchmarkType == bmAll && Test.InFullRun);
}

}  // namespace

std::vector<TBenchmarkType> TestsOfRun(TBenchmarkType BenchmarkType) {
  std::vector<TBenchmarkType> Types;
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (IsTestOfRun(Test, BenchmarkType)) Types.push_back(Test.Type);
  return Types;
}

std::vector<TBenchmarkType> RunBenchmarkTests(TBenchmarkType BenchmarkType, const TBenchmarkSettings& BenchmarkSettings,
                                              TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory) {
  std::vector<TBenchmarkType> Started;
  for (const TBenchmarkType Type : TestsOfRun(BenchmarkType)) {
    if (BenchmarkSettings.StopToken.stop_requested()) {
      // Not started, but in the run's record all the same.
      Reporter.TestStarted(Type, BenchmarkSettings.MemorySize);
      Reporter.TestEnded(TTestStatus::Skipped, "The run was stopped before this test");
      continue;
    }
    const TBenchmarkSettings Settings = BenchmarkSettings;
    FindBenchmarkTest(Type)->Operation(Settings, Reporter, VideoMemory);
    Started.push_back(Type);
  }
  return Started;
}
