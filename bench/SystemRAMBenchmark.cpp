#include "SystemRAMBenchmark.h"

#include <exception>
#include <vector>

#include "HelperQuobix.h"
#include "LogNumbers.h"

const TMemoryWalkTest SystemRAMWriteTest{bmSystemRAMWrite,
                                         WriteTest,
                                         false,
                                         "Running system RAM write test...",
                                         "Write to system memory: ",
                                         "Average system RAM write: ",
                                         "Peak system RAM write: "};
const TMemoryWalkTest SystemRAMReadTest{bmSystemRAMRead,
                                        ReadTest,
                                        true,
                                        "Running system RAM read test...",
                                        "Read from system memory: ",
                                        "Average system RAM read: ",
                                        "Peak system RAM read: "};

void RunSystemRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                      TBenchmarkReporter& Reporter, const TSystemMemory& Memory, const TPassTimer& PassTimer) {
  try {
    const std::int64_t MemorySize = BenchmarkSettings.MemorySize;
    const std::int32_t Passes = BenchmarkSettings.Passes;
    CheckPassCount(Passes);
    // Pages nobody wrote are all mapped to the kernel's one zero page, which sits in the cache:
    // reading them would time the cache, not the memory. The read test's block is therefore
    // backed by real zeroed pages before its first pass; the write test's first pass is its
    // first touch.
    std::unique_ptr<TSystemMemoryBlock> Block =
        Memory.Allocate(MemorySize, Test.ReadsBlock ? TBlockBacking::Populated : TBlockBacking::OnFirstTouch);
    Reporter.Log("Allocated system memory: " + FormatByteSize(MemorySize));

    // The block goes back, and says so, however the pass phase ends.
    auto EndPassPhase = [&] {
      Block.reset();
      Reporter.Log("Freed system memory: " + FormatByteSize(MemorySize));
    };
    std::vector<double> PassTimes;
    try {
      PassTimes.assign(static_cast<std::size_t>(Passes), 0.0);
      Reporter.Log(Test.StartLine);
      for (std::size_t Pass = 0; Pass < PassTimes.size(); ++Pass) {
        PassTimes[Pass] = PassTimer(Block->Address(), static_cast<std::uint64_t>(MemorySize));
        Reporter.Log(TimedLine(Test.PassCaption, MemorySize, PassTimes[Pass]));
      }
    } catch (...) {
      EndPassPhase();
      throw;
    }
    EndPassPhase();
    ReportPassSummary(Test, MemorySize, PassTimes, Reporter);
  } catch (...) {
    Reporter.Log(ExceptionLine(std::current_exception()));
  }
}

void BenchmarkSystemRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunSystemRAMTest(SystemRAMWriteTest, BenchmarkSettings, Reporter, TSystemMemory(), SystemRAMWriteTest.Loop);
}

void BenchmarkSystemRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunSystemRAMTest(SystemRAMReadTest, BenchmarkSettings, Reporter, TSystemMemory(), SystemRAMReadTest.Loop);
}
