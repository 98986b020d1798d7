#include "GFXBlockPlan.h"

#include "HelperQuobix.h"

namespace {

std::string Bytes(std::uint64_t Size) { return FormatByteSize(static_cast<std::int64_t>(Size)); }

// Why the processor reaches less than the adapter holds.
std::string Reason(TBarState Bar) { return Bar == TBarState::Off ? "resizable BAR is off" : BarText(Bar); }

}  // namespace

TGFXBlockPlan PlanGFXBlock(std::int64_t MemorySize, const TAdapterMemory& Memory) {
  const auto Requested = static_cast<std::uint64_t>(MemorySize);
  const std::string Block = "GFX RAM block of " + Bytes(Requested) + " does not fit: ";
  // An adapter that shares the machine's RAM has what the process may still use, however large
  // its heap claims to be; the allocator refuses the rest before a page is touched.
  if (MemorySize > 0 && Memory.SystemAvailable && Requested > *Memory.SystemAvailable)
    return {MemorySize, Block + "this adapter's memory is system memory, of which only " +
                            Bytes(*Memory.SystemAvailable) + " is available"};
  if (MemorySize <= 0 || Requested <= Memory.ReachableFree) return {MemorySize, ""};
  if (Requested > Memory.DeviceLocalFree)
    return {MemorySize, Block + "this adapter has only " + Bytes(Memory.DeviceLocalFree) + " of free memory"};
  const std::string Reach = "the processor can reach only " + Bytes(Memory.Reachable) +
                            " of this adapter's memory (" + Reason(Memory.Bar) + ")";
  const auto Reduced = static_cast<std::int64_t>(Memory.ReachableFree / MinimumGFXBlock * MinimumGFXBlock);
  if (Reduced < MinimumGFXBlock) return {MemorySize, Block + Reach};
  return {Reduced, "GFX RAM block reduced to " + Bytes(static_cast<std::uint64_t>(Reduced)) + ": " + Reach};
}
