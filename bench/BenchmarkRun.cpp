#include "BenchmarkRun.h"

#include "BenchmarkTests.h"

std::vector<TBenchmarkType> TestsOfRun(TBenchmarkType BenchmarkType) {
  std::vector<TBenchmarkType> Types;
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (BenchmarkType == bmAll || BenchmarkType == Test.Type) Types.push_back(Test.Type);
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
