#include "SystemRAMBenchmark.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AllCoreWalker.h"
#include "ExceptionLine.h"
#include "HelperQuobix.h"

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

const TMemoryWalkTest SystemRAMWriteAllTest{bmSystemRAMWriteAll,
                                            WriteTest,
                                            false,
                                            "Running system RAM write test (all cores)...",
                                            "Write to system memory (all cores): ",
                                            "Average system RAM write (all cores): ",
                                            "Peak system RAM write (all cores): "};
const TMemoryWalkTest SystemRAMReadAllTest{bmSystemRAMReadAll,
                                           ReadTest,
                                           true,
                                           "Running system RAM read test (all cores)...",
                                           "Read from system memory (all cores): ",
                                           "Average system RAM read (all cores): ",
                                           "Peak system RAM read (all cores): "};

namespace {

// "All cores: 2 threads, pinned to processors 0, 1"
std::string ThreadsLine(const std::vector<int>& Processors) {
  std::string Line = "All cores: " + std::to_string(Processors.size()) +
                     (Processors.size() == 1 ? " thread" : " threads") + ", pinned to processor" +
                     (Processors.size() == 1 ? " " : "s ");
  for (std::size_t Index = 0; Index < Processors.size(); ++Index)
    Line += (Index ? ", " : "") + std::to_string(Processors[Index]);
  return Line;
}

// A fresh block straight from the kernel, unmapped again at the end of the pass phase.
class TSystemBlockSource final : public TMemoryBlockSource {
 public:
  TSystemBlockSource(TBenchmarkReporter& Reporter, const TSystemMemory& Memory, TBlockBacking Backing)
      : FReporter(Reporter), FMemory(Memory), FBacking(Backing) {}

  std::int64_t Acquire(std::int64_t MemorySize) override {
    FBlock = FMemory.Allocate(MemorySize, FBacking);
    FMemorySize = MemorySize;
    FReporter.Log("Allocated system memory: " + FormatByteSize(MemorySize));
    return MemorySize;
  }
  TMemorySpan PassBlock() override { return {FBlock->Address(), FBlock->Size()}; }
  void Release() override {
    FBlock.reset();
    FReporter.Log("Freed system memory: " + FormatByteSize(FMemorySize));
  }

 private:
  TBenchmarkReporter& FReporter;
  const TSystemMemory& FMemory;
  TBlockBacking FBacking;
  std::unique_ptr<TSystemMemoryBlock> FBlock;
  std::int64_t FMemorySize = 0;
};

// The system block walked by every thread of an all-core test, which first says which threads.
class TAllCoreBlockSource final : public TMemoryBlockSource {
 public:
  TAllCoreBlockSource(TBenchmarkReporter& Reporter, TMemoryBlockSource& Blocks, const std::vector<int>& Processors)
      : FReporter(Reporter), FBlocks(Blocks), FProcessors(Processors) {}

  std::int64_t Acquire(std::int64_t MemorySize) override {
    FReporter.Log(ThreadsLine(FProcessors));
    FReporter.ThreadsUsed({FProcessors});
    return FBlocks.Acquire(MemorySize);
  }
  TMemorySpan PassBlock() override { return FBlocks.PassBlock(); }
  void Release() override { FBlocks.Release(); }

 private:
  TBenchmarkReporter& FReporter;
  TMemoryBlockSource& FBlocks;
  const std::vector<int>& FProcessors;
};

// Pages nobody wrote are all mapped to the kernel's one zero page, which sits in the cache:
// reading them would time the cache, not the memory. A read test's block is therefore backed by
// real zeroed pages before its first pass; a write test's first pass is its first touch.
TBlockBacking Backing(const TMemoryWalkTest& Test) {
  return Test.ReadsBlock ? TBlockBacking::Populated : TBlockBacking::OnFirstTouch;
}

}  // namespace

void RunSystemRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                      TBenchmarkReporter& Reporter, const TSystemMemory& Memory, const TPassTimer& PassTimer) {
  TSystemBlockSource Source(Reporter, Memory, Backing(Test));
  RunMemoryWalkTest(Test, BenchmarkSettings, Reporter, Source, PassTimer);
}

void BenchmarkSystemRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunSystemRAMTest(SystemRAMWriteTest, BenchmarkSettings, Reporter, TSystemMemory(), SystemRAMWriteTest.Loop);
}

void BenchmarkSystemRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunSystemRAMTest(SystemRAMReadTest, BenchmarkSettings, Reporter, TSystemMemory(), SystemRAMReadTest.Loop);
}

void RunAllCoreSystemRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                             TBenchmarkReporter& Reporter, const TSystemMemory& Memory) {
  std::unique_ptr<TAllCoreWalker> Walker;
  try {
    Walker = std::make_unique<TAllCoreWalker>(Test.Loop, UsableProcessors(BenchmarkSettings.Threads));
  } catch (...) {
    Reporter.TestStarted(Test.Type, BenchmarkSettings.MemorySize);
    Reporter.Log(Test.StartLine);
    ReportTestException(Reporter, std::current_exception());
    return;
  }
  TSystemBlockSource Blocks(Reporter, Memory, Backing(Test));
  TAllCoreBlockSource Source(Reporter, Blocks, Walker->Processors());
  RunMemoryWalkTest(Test, BenchmarkSettings, Reporter, Source, std::ref(*Walker));
}

void BenchmarkSystemRAMWriteAll(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunAllCoreSystemRAMTest(SystemRAMWriteAllTest, BenchmarkSettings, Reporter, TSystemMemory());
}

void BenchmarkSystemRAMReadAll(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunAllCoreSystemRAMTest(SystemRAMReadAllTest, BenchmarkSettings, Reporter, TSystemMemory());
}
