#pragma once
// The limits and defaults of a run's settings, as the window's controls offer them. The window,
// its creation, the console's parser and its help text all read them from here.

#include <climits>
#include <cstdint>

// A whole-number setting: its range, the step of the window's arrows and its value at start.
struct TSettingLimits {
  std::int32_t Minimum;
  std::int32_t Maximum;
  std::int32_t Step;
  std::int32_t Default;
};

// Block size in megabytes of 2^20 bytes.
constexpr TSettingLimits BlockSizeLimits{256, 10000, 256, 512};
// Timed passes over the block.
constexpr TSettingLimits PassesLimits{2, 10000, 1, 5};

// Threads of the all-core tests, one per processor; without a choice, every processor the program
// may use. The largest processor set the kernel's affinity calls describe.
constexpr std::int32_t MaximumThreads = 1024;

// Work items of one OpenCL launch on a GPU when nothing else is chosen: the window's default item,
// a GeForce RTX 3080.
constexpr std::int32_t GPUDefaultWorkItems = 8704;

// The one rule for the OpenCL test's work items when none are chosen: a device that is no GPU, and
// whose compute units are known, gets its compute units; every work item reads the whole block, so
// 8704 of them keep a processor busy for many minutes a pass. Any other device gets the GPUs' figure.
constexpr bool DefaultsToComputeUnits(bool IsGPU, std::uint32_t ComputeUnits) {
  return !IsGPU && ComputeUnits > 0 && ComputeUnits <= static_cast<std::uint32_t>(INT32_MAX);
}
constexpr std::int32_t DefaultWorkItems(bool IsGPU, std::uint32_t ComputeUnits) {
  return DefaultsToComputeUnits(IsGPU, ComputeUnits) ? static_cast<std::int32_t>(ComputeUnits) : GPUDefaultWorkItems;
}
