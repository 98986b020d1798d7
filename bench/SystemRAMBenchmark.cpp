#include "SystemRAMBenchmark.h"

#include <memory>

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

namespace {

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

}  // namespace

void RunSystemRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                      TBenchmarkReporter& Reporter, const TSystemMemory& Memory, const TPassTimer& PassTimer) {
  // Pages nobody wrote are all mapped to the kernel's one zero page, which sits in the cache:
  // reading them would time the cache, not the memory. The read test's block is therefore backed
  // by real zeroed pages before its first pass; the write test's first pass is its first touch.
  TSystemBlockSource Source(Reporter, Memory, Test.ReadsBlock ? TBlockBacking::Populated : TBlockBacking::OnFirstTouch);
  RunMemoryWalkTest(Test, BenchmarkSettings, Reporter, Source, PassTimer);
}

void BenchmarkSystemRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunSystemRAMTest(SystemRAMWriteTest, BenchmarkSettings, Reporter, TSystemMemory(), SystemRAMWriteTest.Loop);
}

void BenchmarkSystemRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunSystemRAMTest(SystemRAMReadTest, BenchmarkSettings, Reporter, TSystemMemory(), SystemRAMReadTest.Loop);
}
