#include "OpenCLLaunchPlan.h"

#include <algorithm>
#include <cmath>

namespace {

// The kernel loads 16 bytes at a time from each part's start.
constexpr std::uint64_t VectorAlign = 16;

std::uint64_t RoundUp(std::uint64_t Value, std::uint64_t Step) { return (Value + Step - 1) / Step * Step; }

std::uint64_t PartAlign(const TOpenCLDeviceShape& Device) {
  return std::max<std::uint64_t>(Device.BaseAddressAlign, VectorAlign);
}

std::vector<TLaunchPart> SplitInto(std::uint64_t MemorySize, std::uint64_t Parts, std::uint64_t Align) {
  const std::uint64_t PartSize = MemorySize / std::max<std::uint64_t>(Parts, 1) / Align * Align;
  if (Parts <= 1 || PartSize == 0) return {{0, MemorySize}};
  std::vector<TLaunchPart> Split;
  for (std::uint64_t Part = 0; Part + 1 < Parts; ++Part) Split.push_back({Part * PartSize, PartSize});
  Split.push_back({(Parts - 1) * PartSize, MemorySize - (Parts - 1) * PartSize});
  return Split;
}

}  // namespace

std::vector<TLaunchPart> PlanLaunchParts(std::uint64_t MemorySize, std::uint32_t WorkItems,
                                         const TOpenCLDeviceShape& Device, std::optional<std::uint32_t> ForcedParts) {
  const std::uint64_t Align = PartAlign(Device);
  if (!Device.HasSubBuffers) return {{0, MemorySize}};
  if (ForcedParts) return SplitInto(MemorySize, *ForcedParts, Align);
  if (!Device.IsGPU) return {{0, MemorySize}};
  // In doubles: work items times 10000 MB can pass 64 bits.
  const double Reads = static_cast<double>(WorkItems) * static_cast<double>(MemorySize);
  const double Wanted = std::ceil(Reads / static_cast<double>(LaunchReadBudget));
  const std::uint64_t SmallestPart =
      RoundUp(std::max(4 * Device.GlobalMemCacheSize, MinimumLaunchPart), Align);
  const std::uint64_t MostParts = std::max<std::uint64_t>(MemorySize / SmallestPart, 1);
  const auto Parts = static_cast<std::uint64_t>(std::min(Wanted, static_cast<double>(MostParts)));
  return SplitInto(MemorySize, Parts, Align);
}

std::optional<std::uint64_t> PlanWorkGroupSize(std::uint32_t WorkItems, const TOpenCLDeviceShape& Device) {
  if (WorkItems == 0 || Device.ComputeUnits <= 1) return std::nullopt;
  if (Device.IsGPU) return WorkItems < Device.ComputeUnits ? std::optional<std::uint64_t>(1) : std::nullopt;
  const std::uint64_t Groups = std::min<std::uint64_t>(Device.ComputeUnits, WorkItems);
  // A device that reports no limit gets work-groups no larger than OpenCL's smallest guaranteed one.
  const std::uint64_t Largest = Device.MaxWorkGroupSize > 0 ? Device.MaxWorkGroupSize : 1;
  for (std::uint64_t Size = std::min<std::uint64_t>(WorkItems / Groups, Largest); Size > 1; --Size)
    if (WorkItems % Size == 0) return Size;
  return 1;
}
