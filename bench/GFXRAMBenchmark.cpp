#include "GFXRAMBenchmark.h"

#include <stdexcept>

#include "ExceptionLine.h"
#include "GFXBlockPlan.h"
#include "HelperQuobix.h"

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

namespace {

// What the record keeps of the block a test walks: where it lives, how much of it a pass walks
// when that is less than asked for, and what the processor can reach of the adapter.
TGFXBlockRecord DescribeBlock(const TVraxItem& Item, std::int64_t Requested, const TAdapterMemory& Memory) {
  TGFXBlockRecord Block;
  Block.Adapter = Item.Owner->Owner->D3DADAPTER_ID.Description;
  Block.DriverVersion = Item.Owner->Owner->D3DADAPTER_ID.DriverVersion;
  if (Item.Buffer) Block.MemoryType = Item.Buffer->MemoryType();
  if (Item.Size < Requested) Block.WalkedBlockSize = static_cast<std::uint64_t>(Item.Size);
  if (Memory.Reachable > 0) Block.ReachableWindow = Memory.Reachable;
  if (Memory.Link) Block.PCIeLink = PciLinkText(*Memory.Link);
  return Block;
}

// Block 0 of the program's allocator: added at the start, looked up before every pass, deleted at
// the end of the pass phase.
class TGFXBlockSource final : public TMemoryBlockSource {
 public:
  TGFXBlockSource(TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory)
      : FReporter(Reporter), FVideoMemory(VideoMemory) {}

  std::int64_t Acquire(std::int64_t MemorySize) override {
    if (!FVideoMemory) throw std::runtime_error("No GFX memory: the graphics adapter could not be opened");
    // A block the card holds but the processor cannot map whole is walked at the size it can.
    const TAdapterMemory Memory = FVideoMemory->AdapterMemory();
    const TGFXBlockPlan Plan = PlanGFXBlock(MemorySize, Memory);
    if (!Plan.Line.empty()) LogReason(FReporter, Plan.Line);
    // A block that cannot be had is reported here and then by the first pass, which finds no
    // block 0.
    GFXRAMAllocate(*FVideoMemory, Plan.Size, FReporter);
    if (FVideoMemory->Items.Count() > 0)
      FReporter.GFXBlockUsed(DescribeBlock(*FVideoMemory->Items.GetItem(0), MemorySize, Memory));
    return Plan.Size;
  }
  TMemorySpan PassBlock() override {
    const TVraxItem* Item = FVideoMemory->Items.GetItem(0);
    // A block whose buffer was released or unmapped has no address to walk.
    if (!Item->PMemory) throw std::runtime_error("GFX memory block is not mapped");
    return {Item->PMemory, static_cast<std::uint64_t>(Item->Size)};
  }
  // Where there is no block this fails the same way as the pass did, and that error is the one
  // reported.
  void Release() override { GFXRAMFree(*FVideoMemory, FReporter); }

 private:
  TBenchmarkReporter& FReporter;
  TVraxDirect3D9* FVideoMemory;
};

}  // namespace

void RunGFXRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                   TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory, const TPassTimer& PassTimer) {
  TGFXBlockSource Source(Reporter, VideoMemory);
  RunMemoryWalkTest(Test, BenchmarkSettings, Reporter, Source, PassTimer);
}

void BenchmarkGFXRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                          TVraxDirect3D9* VideoMemory) {
  RunGFXRAMTest(GFXRAMWriteTest, BenchmarkSettings, Reporter, VideoMemory, GFXRAMWriteTest.Loop);
}

void BenchmarkGFXRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                         TVraxDirect3D9* VideoMemory) {
  RunGFXRAMTest(GFXRAMReadTest, BenchmarkSettings, Reporter, VideoMemory, GFXRAMReadTest.Loop);
}
