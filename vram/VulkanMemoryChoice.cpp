#include "VulkanMemoryChoice.h"

#include <algorithm>

namespace {

int AdapterRank(VkPhysicalDeviceType Type) {
  switch (Type) {
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU:
      return 0;
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU:
      return 1;
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU:
      return 2;
    case VK_PHYSICAL_DEVICE_TYPE_CPU:
      return 3;
    default:
      return 4;
  }
}

bool IsBlockMemory(const VkMemoryType& Type) { return (Type.propertyFlags & BlockMemoryFlags) == BlockMemoryFlags; }

// The largest heap among those Wanted says yes to; empty when none.
template <typename TPredicate>
std::optional<std::uint32_t> LargestHeap(const VkPhysicalDeviceMemoryProperties& Memory, TPredicate Wanted) {
  std::optional<std::uint32_t> Largest;
  for (std::uint32_t Heap = 0; Heap < Memory.memoryHeapCount && Heap < VK_MAX_MEMORY_HEAPS; ++Heap)
    if (Wanted(Heap) && (!Largest || Memory.memoryHeaps[Heap].size > Memory.memoryHeaps[*Largest].size))
      Largest = Heap;
  return Largest;
}

}  // namespace

std::optional<std::size_t> DefaultAdapterIndex(const std::vector<VkPhysicalDeviceType>& Types) {
  std::optional<std::size_t> Best;
  for (std::size_t Index = 0; Index < Types.size(); ++Index)
    if (!Best || AdapterRank(Types[Index]) < AdapterRank(Types[*Best])) Best = Index;
  return Best;
}

std::optional<std::uint32_t> DeviceLocalHeapIndex(const VkPhysicalDeviceMemoryProperties& Memory) {
  return LargestHeap(Memory, [&](std::uint32_t Heap) {
    return (Memory.memoryHeaps[Heap].flags & VK_MEMORY_HEAP_DEVICE_LOCAL_BIT) != 0;
  });
}

std::optional<std::uint32_t> WindowHeapIndex(const VkPhysicalDeviceMemoryProperties& Memory) {
  const std::uint32_t TypeCount = std::min<std::uint32_t>(Memory.memoryTypeCount, VK_MAX_MEMORY_TYPES);
  return LargestHeap(Memory, [&](std::uint32_t Heap) {
    for (std::uint32_t Type = 0; Type < TypeCount; ++Type)
      if (Memory.memoryTypes[Type].heapIndex == Heap && IsBlockMemory(Memory.memoryTypes[Type])) return true;
    return false;
  });
}

THeapBytes HeapLimits(const VkPhysicalDeviceMemoryProperties& Memory,
                      const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Budget) {
  THeapBytes Limits{};
  for (std::uint32_t Heap = 0; Heap < Memory.memoryHeapCount && Heap < VK_MAX_MEMORY_HEAPS; ++Heap)
    Limits[Heap] = Budget ? Budget->heapBudget[Heap] : Memory.memoryHeaps[Heap].size;
  return Limits;
}

THeapBytes FreeBytesPerHeap(const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Held,
                            const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Budget) {
  const THeapBytes Limits = HeapLimits(Memory, Budget);
  THeapBytes Free{};
  for (std::uint32_t Heap = 0; Heap < Memory.memoryHeapCount && Heap < VK_MAX_MEMORY_HEAPS; ++Heap) {
    // The budget can fall below the usage when other programs take memory.
    const std::uint64_t Used = Budget ? Budget->heapUsage[Heap] : Held[Heap];
    Free[Heap] = Limits[Heap] > Used ? Limits[Heap] - Used : 0;
  }
  return Free;
}

TAdapterMemory SummarizeAdapterMemory(const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Limits,
                                      const THeapBytes& Free, VkPhysicalDeviceType Type) {
  TAdapterMemory Summary;
  const std::optional<std::uint32_t> Own = DeviceLocalHeapIndex(Memory);
  const std::optional<std::uint32_t> Window = WindowHeapIndex(Memory);
  if (Own) {
    Summary.DeviceLocal = Memory.memoryHeaps[*Own].size;
    Summary.DeviceLocalFree = Free[*Own];
  }
  if (Window) {
    Summary.Reachable = Limits[*Window];
    Summary.ReachableFree = Free[*Window];
  }
  if (Type != VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU)
    Summary.Bar = TBarState::Shared;
  else if (Window && Own && Memory.memoryHeaps[*Window].size >= Memory.memoryHeaps[*Own].size)
    Summary.Bar = TBarState::On;
  return Summary;
}

std::optional<std::uint32_t> ChooseBlockMemoryType(const VkPhysicalDeviceMemoryProperties& Memory,
                                                   std::uint32_t TypeBits, std::uint64_t AllocationSize,
                                                   const THeapBytes& HeapFree) {
  const std::uint32_t TypeCount = std::min<std::uint32_t>(Memory.memoryTypeCount, VK_MAX_MEMORY_TYPES);
  for (std::uint32_t Type = 0; Type < TypeCount; ++Type) {
    const VkMemoryType& Candidate = Memory.memoryTypes[Type];
    if ((TypeBits & (1u << Type)) == 0 || !IsBlockMemory(Candidate)) continue;
    if (Candidate.heapIndex >= VK_MAX_MEMORY_HEAPS || Candidate.heapIndex >= Memory.memoryHeapCount) continue;
    if (AllocationSize <= HeapFree[Candidate.heapIndex]) return Type;
  }
  return std::nullopt;
}
