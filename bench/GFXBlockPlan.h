#pragma once
// Which block a GFX test asks the allocator for. On a discrete card without resizable BAR the
// processor maps only a window of the card's memory, smaller than the smallest block the window
// offers; a block the card holds but the window does not is walked at the largest size the window
// allows, and a line says so.

#include <cstdint>
#include <string>

#include "AdapterMemory.h"

// The smallest block worth walking: below it the window is too small for any usable block.
constexpr std::int64_t MinimumGFXBlock = std::int64_t{1} << 20;

struct TGFXBlockPlan {
  std::int64_t Size;  // bytes to ask the allocator for, a whole number of MB when reduced
  std::string Line;   // logged before the test's own lines; empty when nothing needs saying
};

// The block for a request of MemorySize bytes on an adapter with this memory:
// - it fits the window: MemorySize, no line;
// - it fits the adapter's free memory but not the window: the largest whole-MB block the window
//   has free, with "GFX RAM block reduced to 192.00 MB: the processor can reach only 214.00 MB of
//   this adapter's memory (resizable BAR is off)";
// - it does not fit the adapter, or the window has no usable block, or it is more than an adapter
//   sharing system memory has available: MemorySize, which the allocator then refuses as it always
//   did, with a line that says why, both sizes in it.
TGFXBlockPlan PlanGFXBlock(std::int64_t MemorySize, const TAdapterMemory& Memory);
