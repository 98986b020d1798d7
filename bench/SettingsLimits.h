#pragma once
// The limits and defaults of a run's settings, as the window's controls offer them. The window,
// its creation, the console's parser and its help text all read them from here.

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
