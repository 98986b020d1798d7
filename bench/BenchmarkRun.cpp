#include "BenchmarkRun.h"

#include "GFXRAMBenchmark.h"
#include "OpenCLBenchmark.h"
#include "SystemRAMBenchmark.h"

std::vector<TBenchmarkType> TestsOfRun(TBenchmarkType BenchmarkType) {
  if (BenchmarkType != bmAll) return {BenchmarkType};
  return {bmGFXRAMWrite, bmGFXRAMRead, bmOpenCLRAMReadWrite, bmSystemRAMWrite, bmSystemRAMRead};
}

void RunBenchmarkTests(TBenchmarkType BenchmarkType, const TBenchmarkSettings& BenchmarkSettings,
                       TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory) {
  for (const TBenchmarkType Test : TestsOfRun(BenchmarkType)) {
    const TBenchmarkSettings Settings = BenchmarkSettings;
    switch (Test) {
      case bmGFXRAMWrite:
        BenchmarkGFXRAMWrite(Settings, Reporter, VideoMemory);
        break;
      case bmGFXRAMRead:
        BenchmarkGFXRAMRead(Settings, Reporter, VideoMemory);
        break;
      case bmOpenCLRAMReadWrite:
        BenchmarkOpenCLGFXRAMReadWrite(Settings, Reporter);
        break;
      case bmSystemRAMWrite:
        BenchmarkSystemRAMWrite(Settings, Reporter);
        break;
      case bmSystemRAMRead:
        BenchmarkSystemRAMRead(Settings, Reporter);
        break;
      case bmAll:
        break;
    }
  }
}
