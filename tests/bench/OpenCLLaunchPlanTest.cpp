// How a pass of the OpenCL test is launched: into how many parts of the block, and in which
// work-groups, for devices as real ones report themselves.
#include "OpenCLLaunchPlan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

constexpr std::uint64_t MB = 1 << 20;

TOpenCLDeviceShape Shape(bool IsGPU, std::uint32_t ComputeUnits, std::uint64_t Cache, std::uint32_t Align = 128,
                         bool HasSubBuffers = true) {
  TOpenCLDeviceShape Result;
  Result.IsGPU = IsGPU;
  Result.ComputeUnits = ComputeUnits;
  Result.MaxWorkGroupSize = IsGPU ? 1024 : 4096;
  Result.GlobalMemCacheSize = Cache;
  Result.BaseAddressAlign = Align;
  Result.HasSubBuffers = HasSubBuffers;
  return Result;
}

// An RTX 3080 as NVIDIA's runtime reports it: 68 compute units, a "global memory cache" of its
// first-level caches only, sub-buffers aligned to 4096 bits.
const TOpenCLDeviceShape RTX3080 = Shape(true, 68, 1904640, 512);
const TOpenCLDeviceShape Pocl = Shape(false, 2, 480 * MB);

TEST(OpenCLLaunchPlan, APassIsSplitOnAGPUIntoPartsNoCacheCanHold) {
  struct TCase {
    const char* Name;
    std::uint64_t MemorySize;
    std::uint32_t WorkItems;
    TOpenCLDeviceShape Device;
    std::optional<std::uint32_t> Forced;
    std::size_t Parts;
    std::uint64_t FirstPart;
  };
  const TCase Cases[] = {
      // 8704 x 512 MB is 4.25 TiB a pass, six seconds at 760 GB/s: 16 launches of 32 MB, the
      // smallest part, each a third of a second there.
      {"RTX 3080 at the window's defaults", 512 * MB, 8704, RTX3080, {}, 16, 32 * MB},
      {"few reads need one launch", 512 * MB, 16, RTX3080, {}, 1, 512 * MB},
      {"64 work items: 32 GB in two launches", 512 * MB, 64, RTX3080, {}, 2, 256 * MB},
      // Four times a cache of 64 MB is 256 MB: two parts at most.
      {"a large cache", 512 * MB, 8704, Shape(true, 96, 64 * MB), {}, 2, 256 * MB},
      {"a cache as large as the block", 256 * MB, 8704, Shape(true, 96, 128 * MB), {}, 1, 256 * MB},
      {"no sub-buffers (OpenCL 1.0)", 512 * MB, 8704, Shape(true, 68, 0, 128, false), {}, 1, 512 * MB},
      // No watchdog stops a CPU device's kernels.
      {"a CPU device", 1024 * MB, 2, Pocl, {}, 1, 1024 * MB},
      {"forced, for comparisons", 1024 * MB, 2, Pocl, 4u, 4, 256 * MB},
      {"forced, uneven", 1000, 2, Pocl, 3u, 3, 256},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::vector<TLaunchPart> Parts = PlanLaunchParts(Case.MemorySize, Case.WorkItems, Case.Device, Case.Forced);
    ASSERT_EQ(Parts.size(), Case.Parts);
    EXPECT_EQ(Parts.front().Size, Case.FirstPart);
    // The parts cover the block once, in order, each starting where a sub-buffer may start.
    std::uint64_t Next = 0;
    for (const TLaunchPart& Part : Parts) {
      EXPECT_EQ(Part.Offset, Next);
      EXPECT_EQ(Part.Offset % std::max<std::uint64_t>(Case.Device.BaseAddressAlign, 16), 0u);
      EXPECT_GT(Part.Size, 0u);
      Next += Part.Size;
    }
    EXPECT_EQ(Next, Case.MemorySize);
  }
}

TEST(OpenCLLaunchPlan, WorkItemsAreSpreadOverTheComputeUnitsOfADeviceThatIsNotAGPU) {
  struct TCase {
    const char* Name;
    std::uint32_t WorkItems;
    TOpenCLDeviceShape Device;
    std::optional<std::uint64_t> WorkGroupSize;
  };
  const TCase Cases[] = {
      // PoCL puts the default 2 work items into one work-group, which runs on one thread.
      {"PoCL, 2 work items", 2, Pocl, 1u},
      {"8704 work items on 2 units", 8704, Pocl, 2176u},  // the largest divisor within 4096
      {"1000 work items on 12 units", 1000, Shape(false, 12, 0), 50u},
      {"a prime count", 7, Shape(false, 4, 0), 1u},
      {"one compute unit", 64, Shape(false, 1, 0), std::nullopt},
      {"a GPU keeps its runtime's choice", 8704, RTX3080, std::nullopt},
      {"a GPU with fewer work items than units", 16, RTX3080, 1u},
  };
  for (const TCase& Case : Cases) EXPECT_EQ(PlanWorkGroupSize(Case.WorkItems, Case.Device), Case.WorkGroupSize) << Case.Name;
}

}  // namespace
