#pragma once
// How one pass of the OpenCL test is launched. Display drivers stop kernels that run for seconds,
// so on a GPU a pass is split into launches over parts of the block (sub-buffers, so the kernel
// keeps its three arguments), each part large enough that the device's caches cannot hold it. And
// where the runtime would put a few work items into one work-group, on one compute unit, they are
// spread over the compute units.

#include <cstdint>
#include <optional>
#include <vector>

// What the plan needs to know of the device.
struct TOpenCLDeviceShape {
  bool IsGPU = false;
  std::uint32_t ComputeUnits = 0;
  std::uint64_t MaxWorkGroupSize = 0;
  std::uint64_t GlobalMemCacheSize = 0;  // bytes; 0 where the device reports none
  std::uint32_t BaseAddressAlign = 0;    // bytes a sub-buffer's start must be a multiple of
  bool HasSubBuffers = false;            // the runtime has clCreateSubBuffer (OpenCL 1.1)
};

// A part of the block that one launch walks: bytes from Offset on.
struct TLaunchPart {
  std::uint64_t Offset;
  std::uint64_t Size;
  friend bool operator==(const TLaunchPart&, const TLaunchPart&) = default;
};

// Reads one launch may make on a GPU: about half a second at 32 GB/s, the memory of an entry-level
// card or of an integrated GPU; faster cards run shorter launches.
constexpr std::uint64_t LaunchReadBudget = std::uint64_t{16} << 30;
// The smallest part: larger than the last-level cache of most cards, for devices that report only a
// small first-level cache (or none) as their global memory cache.
constexpr std::uint64_t MinimumLaunchPart = std::uint64_t{32} << 20;

// The parts of one pass, in order, covering the block once; their starts are aligned for
// sub-buffers and for 16-byte loads, the last part takes what the others leave. One part (the
// whole block) on a device that is not a GPU or has no sub-buffers. Otherwise as many parts as
// WorkItems x MemorySize needs to stay within LaunchReadBudget per launch, but no part smaller than
// four times the device's global memory cache or MinimumLaunchPart. Forced: that many parts
// whatever the device (for comparisons), as far as alignment allows.
std::vector<TLaunchPart> PlanLaunchParts(std::uint64_t MemorySize, std::uint32_t WorkItems,
                                         const TOpenCLDeviceShape& Device,
                                         std::optional<std::uint32_t> ForcedParts = std::nullopt);

// The work-group size to launch with; empty: the runtime's choice. A device that is not a GPU runs
// a work-group on one compute unit, so the work items are spread over at least as many work-groups
// as there are compute units (the largest such size that divides them); a GPU keeps the runtime's
// choice unless it has fewer work items than compute units, when each gets a work-group of its own.
std::optional<std::uint64_t> PlanWorkGroupSize(std::uint32_t WorkItems, const TOpenCLDeviceShape& Device);
