// The kernel itself on PoCL: every work item reads the whole source block (or the whole part of it
// that a launch of a split pass walks), and together they write every destination word, each with
// a value that depends on all the words its work item read.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "CL.h"
#include "DCLDevice.h"
#include "DCLObjects.h"
#include "DCLPlatform.h"
#include "ExecutableFolder.h"
#include "OpenCLBenchmark.h"
#include "OpenCLLaunchPlan.h"

namespace {

class SpeedReadWriteKernel : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
    Platforms = std::make_unique<TDCLPlatforms>();
    ASSERT_GT(Platforms->PlatformCount(), 0u);
    Device = Platforms->GetPlatform(0)->GetDevice(0);
    Program = Device->CreateProgram(ExecutableFolder() + KernelFileName, nullptr);
    Kernel = Program->CreateKernel("speedreadkernel");
    ASSERT_EQ(Kernel->Status(), CL_SUCCESS) << Program->Log();
    Queue = Device->CreateCommandQueue({});
  }

  static std::vector<std::uint32_t> SourceWords(std::uint64_t Count) {
    std::vector<std::uint32_t> Words(Count);
    for (std::uint64_t Index = 0; Index < Count; ++Index)
      Words[Index] = static_cast<std::uint32_t>(Index * 2654435761u + 12345u);
    return Words;
  }

  // One launch over WorkItems work items; the buffers' words are Words.
  void Launch(const TDCLBuffer& Source, const TDCLBuffer& Destination, std::uint64_t Words, std::uint64_t WorkItems) {
    Kernel->SetArg(0, Source);
    Kernel->SetArg(1, Destination);
    Kernel->SetArg(2, sizeof Words, &Words);
    ASSERT_EQ(Kernel->Status(), CL_SUCCESS);
    Queue->Execute(*Kernel, WorkItems);
    ASSERT_EQ(Queue->Status(), CL_SUCCESS);
    EXPECT_GT(Queue->ExecuteTime(), 0u);
  }

  // Declared in the order of making, so that they go in reverse.
  std::unique_ptr<TDCLPlatforms> Platforms;
  const TDCLDevice* Device = nullptr;
  std::unique_ptr<TDCLProgram> Program;
  std::unique_ptr<TDCLKernel> Kernel;
  std::unique_ptr<TDCLCommandQueue> Queue;
};

TEST_F(SpeedReadWriteKernel, WritesEveryDestinationWordFromAWholeReadOfTheSource) {
  struct TCase {
    std::uint64_t Words;
    std::uint64_t WorkItems;
  };
  // Uneven shares, one work item, as many work items as words, more work items than words, and
  // words after the last whole 16 bytes.
  const TCase Cases[] = {{1000, 7}, {4096, 1}, {16, 16}, {8, 16}, {1 << 16, 64}, {1003, 5}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::to_string(Case.Words) + " words, " + std::to_string(Case.WorkItems) + " work items");
    std::vector<std::uint32_t> Source = SourceWords(Case.Words);
    const std::uint32_t All = std::accumulate(Source.begin(), Source.end(), 0u, std::bit_xor<>());
    const std::uint64_t Bytes = Case.Words * 4;
    const auto SourceBuffer = Device->CreateBuffer(Bytes, Source.data(), {mfReadOnly, mfUseHostPtr});
    const auto Destination = Device->CreateBuffer(Bytes, nullptr, {mfWriteOnly});
    const std::vector<std::uint32_t> Sentinel(Case.Words, 0xDEADBEEF);
    Queue->WriteBuffer(*Destination, Bytes, Sentinel.data());
    Launch(*SourceBuffer, *Destination, Case.Words, Case.WorkItems);
    std::vector<std::uint32_t> Written(Case.Words);
    Queue->ReadBuffer(*Destination, Bytes, Written.data());
    for (std::uint64_t Index = 0; Index < Case.Words; ++Index)
      ASSERT_EQ(Written[Index], All ^ static_cast<std::uint32_t>(Index)) << "word " << Index;
  }
}

// A pass split as the test splits it: sub-buffers over uneven parts of the one block, one launch
// each. Every work item reads every word of a part (the XOR of all of them, once each), and every
// destination word of the block is written, once, by the launch over its part.
TEST_F(SpeedReadWriteKernel, ASplitPassReadsEveryWordOncePerWorkItemAndWritesEveryDestinationWord) {
  TOpenCLDeviceShape Shape;
  Shape.BaseAddressAlign = Device->MemBaseAddrAlign() / 8;
  Shape.HasSubBuffers = true;
  struct TCase {
    std::uint64_t Words;
    std::uint32_t WorkItems;
    std::uint32_t Parts;
  };
  // Parts of unequal size, a last part with words after its last 16 bytes, and more work items
  // than a part has words.
  const TCase Cases[] = {{10000, 3, 3}, {1003, 5, 2}, {4100, 16, 4}, {96, 100, 2}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::to_string(Case.Words) + " words, " + std::to_string(Case.WorkItems) + " work items, " +
                 std::to_string(Case.Parts) + " parts");
    const std::uint64_t Bytes = Case.Words * 4;
    const std::vector<TLaunchPart> Parts = PlanLaunchParts(Bytes, Case.WorkItems, Shape, Case.Parts);
    ASSERT_EQ(Parts.size(), Case.Parts);
    ASSERT_NE(Parts.front().Size, Parts.back().Size) << "an even split proves less";
    std::vector<std::uint32_t> Source = SourceWords(Case.Words);
    const auto SourceBuffer = Device->CreateBuffer(Bytes, Source.data(), {mfReadOnly, mfUseHostPtr});
    const auto Destination = Device->CreateBuffer(Bytes, nullptr, {mfWriteOnly});
    const std::vector<std::uint32_t> Sentinel(Case.Words, 0xDEADBEEF);
    Queue->WriteBuffer(*Destination, Bytes, Sentinel.data());
    for (const TLaunchPart& Part : Parts) {
      const TDCLBuffer SourcePart(*SourceBuffer, Part.Offset, Part.Size);
      const TDCLBuffer DestinationPart(*Destination, Part.Offset, Part.Size);
      ASSERT_EQ(SourcePart.Status(), CL_SUCCESS);
      ASSERT_EQ(DestinationPart.Status(), CL_SUCCESS);
      Launch(SourcePart, DestinationPart, Part.Size / 4, Case.WorkItems);
    }
    std::vector<std::uint32_t> Written(Case.Words);
    Queue->ReadBuffer(*Destination, Bytes, Written.data());
    for (const TLaunchPart& Part : Parts) {
      const std::uint64_t First = Part.Offset / 4;
      const std::uint64_t Count = Part.Size / 4;
      const std::uint32_t All = std::accumulate(Source.begin() + static_cast<std::ptrdiff_t>(First),
                                                Source.begin() + static_cast<std::ptrdiff_t>(First + Count), 0u,
                                                std::bit_xor<>());
      for (std::uint64_t Index = 0; Index < Count; ++Index)
        ASSERT_EQ(Written[First + Index], All ^ static_cast<std::uint32_t>(Index)) << "word " << First + Index;
    }
  }
}

}  // namespace
