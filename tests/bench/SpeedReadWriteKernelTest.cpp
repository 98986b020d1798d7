// The kernel itself on PoCL: every work item reads the whole source block, and together they write
// every destination word, each with a value that depends on all the words its work item read.

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "CL.h"
#include "DCLDevice.h"
#include "DCLObjects.h"
#include "DCLPlatform.h"
#include "ExecutableFolder.h"
#include "OpenCLBenchmark.h"

namespace {

TEST(SpeedReadWriteKernel, WritesEveryDestinationWordFromAWholeReadOfTheSource) {
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  const TDCLPlatforms Platforms;
  ASSERT_GT(Platforms.PlatformCount(), 0u);
  const TDCLDevice& Device = *Platforms.GetPlatform(0)->GetDevice(0);
  const auto Program = Device.CreateProgram(ExecutableFolder() + KernelFileName, nullptr);
  const auto Kernel = Program->CreateKernel("speedreadkernel");
  ASSERT_EQ(Kernel->Status(), CL_SUCCESS) << Program->Log();
  const auto Queue = Device.CreateCommandQueue({});

  struct TCase {
    std::uint64_t Words;
    std::uint64_t WorkItems;
  };
  // Uneven shares, one work item, as many work items as words, and more work items than words.
  const TCase Cases[] = {{1000, 7}, {4096, 1}, {16, 16}, {8, 16}, {1 << 16, 64}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::to_string(Case.Words) + " words, " + std::to_string(Case.WorkItems) + " work items");
    std::vector<std::uint32_t> Source(Case.Words);
    for (std::uint64_t Index = 0; Index < Case.Words; ++Index)
      Source[Index] = static_cast<std::uint32_t>(Index * 2654435761u + 12345u);
    const std::uint32_t All = std::accumulate(Source.begin(), Source.end(), 0u, std::bit_xor<>());
    const std::uint64_t Bytes = Case.Words * 4;
    const auto SourceBuffer = Device.CreateBuffer(Bytes, Source.data(), {mfReadOnly, mfUseHostPtr});
    const auto Destination = Device.CreateBuffer(Bytes, nullptr, {mfWriteOnly});
    const std::vector<std::uint32_t> Sentinel(Case.Words, 0xDEADBEEF);
    Queue->WriteBuffer(*Destination, Bytes, Sentinel.data());
    Kernel->SetArg(0, *SourceBuffer);
    Kernel->SetArg(1, *Destination);
    Kernel->SetArg(2, sizeof Case.Words, &Case.Words);
    Queue->Execute(*Kernel, Case.WorkItems);
    ASSERT_EQ(Queue->Status(), CL_SUCCESS);
    EXPECT_GT(Queue->ExecuteTime(), 0u);
    std::vector<std::uint32_t> Written(Case.Words);
    Queue->ReadBuffer(*Destination, Bytes, Written.data());
    for (std::uint64_t Index = 0; Index < Case.Words; ++Index)
      ASSERT_EQ(Written[Index], All ^ static_cast<std::uint32_t>(Index)) << "word " << Index;
  }
}

}  // namespace
