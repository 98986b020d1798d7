#include "GFXRAMBenchmark.h"

#include <exception>
#include <stdexcept>
#include <vector>

#include "HelperQuobix.h"
#include "LogNumbers.h"

const TMemoryWalkTest GFXRAMWriteTest{bmGFXRAMWrite,
                                      WriteTest,
                                      false,
                                      "Running GFX RAM write test...",
                                      "Write to GFX memory: ",
                                      "Average GFX RAM write: ",
                                      "Peak GFX RAM write: "};
const TMemoryWalkTest GFXRAMReadTest{bmGFXRAMRead,
                                     ReadTest,
                                     true,
                                     "Running GFX RAM read test...",
                                     "Read from GFX memory: ",
                                     "Average GFX RAM read: ",
                                     "Peak GFX RAM read: "};

void DisplayFreeMemory(const TVraxDirect3D9& VideoMemory, TBenchmarkReporter& Reporter) {
  Reporter.Log("Free texture memory: " + FormatByteSize(static_cast<std::int64_t>(VideoMemory.MemoryAvailable())));
}

void GFXRAMAllocate(TVraxDirect3D9& VideoMemory, std::int64_t MemorySize, TBenchmarkReporter& Reporter) {
  if (!VideoMemory.Items.Add(MemorySize)) Reporter.Log("Error: Could not allocate GFX memory!");
  DisplayFreeMemory(VideoMemory, Reporter);
}

void GFXRAMFree(TVraxDirect3D9& VideoMemory, TBenchmarkReporter& Reporter) {
  VideoMemory.Items.GetItem(0)->Delete();
  DisplayFreeMemory(VideoMemory, Reporter);
}

void RunGFXRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                   TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory, const TPassTimer& PassTimer) {
  try {
    if (!VideoMemory) throw std::runtime_error("No GFX memory: the graphics adapter could not be opened");
    const std::int64_t MemorySize = BenchmarkSettings.MemorySize;
    const std::int32_t Passes = BenchmarkSettings.Passes;
    CheckPassCount(Passes);
    // A block that cannot be had is reported here and then by the first pass, which finds no
    // block 0.
    GFXRAMAllocate(*VideoMemory, MemorySize, Reporter);

    std::vector<double> PassTimes;
    try {
      PassTimes.assign(static_cast<std::size_t>(Passes), 0.0);
      Reporter.Log(Test.StartLine);
      for (std::size_t Pass = 0; Pass < PassTimes.size(); ++Pass) {
        const TVraxItem* Item = VideoMemory->Items.GetItem(0);
        // A block whose buffer was released or unmapped has no address to walk.
        if (!Item->PMemory) throw std::runtime_error("GFX memory block is not mapped");
        PassTimes[Pass] = PassTimer(Item->PMemory, static_cast<std::uint64_t>(Item->Size));
        Reporter.Log(TimedLine(Test.PassCaption, MemorySize, PassTimes[Pass]));
      }
    } catch (...) {
      // The block goes back, and says so, however the pass phase ends. Where there is no block
      // this fails the same way, and that error is the one reported.
      GFXRAMFree(*VideoMemory, Reporter);
      throw;
    }
    GFXRAMFree(*VideoMemory, Reporter);
    ReportPassSummary(Test, MemorySize, PassTimes, Reporter);
  } catch (...) {
    Reporter.Log(ExceptionLine(std::current_exception()));
  }
}

void BenchmarkGFXRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                          TVraxDirect3D9* VideoMemory) {
  RunGFXRAMTest(GFXRAMWriteTest, BenchmarkSettings, Reporter, VideoMemory, GFXRAMWriteTest.Loop);
}

void BenchmarkGFXRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                         TVraxDirect3D9* VideoMemory) {
  RunGFXRAMTest(GFXRAMReadTest, BenchmarkSettings, Reporter, VideoMemory, GFXRAMReadTest.Loop);
}
