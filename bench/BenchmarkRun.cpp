#include "BenchmarkRun.h"

#include "BenchmarkTests.h"

std::vector<TBenchmarkType> TestsOfRun(TBenchmarkType BenchmarkType) {
  std::vector<TBenchmarkType> Types;
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (BenchmarkType == bmAll || BenchmarkType == Test.Type) Types.push_back(Test.Type);
  return Types;
}

void RunBenchmarkTests(TBenchmarkType BenchmarkType, const TBenchmarkSettings& BenchmarkSettings,
                       TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory) {
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (BenchmarkType == bmAll || BenchmarkType == Test.Type) {
      const TBenchmarkSettings Settings = BenchmarkSettings;
      Test.Operation(Settings, Reporter, VideoMemory);
    }
}
