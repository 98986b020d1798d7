#include "VulkanMemoryChoice.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <utility>

namespace {

constexpr std::uint64_t MB = 1 << 20;
constexpr std::uint64_t GB = std::uint64_t{1} << 30;
constexpr VkMemoryPropertyFlags DL = VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT;
constexpr VkMemoryPropertyFlags HV = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;

// Heaps as (size, device-local) and types as (flags, heap).
VkPhysicalDeviceMemoryProperties Memory(std::initializer_list<std::pair<std::uint64_t, bool>> Heaps,
                                        std::initializer_list<std::pair<VkMemoryPropertyFlags, std::uint32_t>> Types) {
  VkPhysicalDeviceMemoryProperties Result{};
  for (const auto& [Size, DeviceLocal] : Heaps)
    Result.memoryHeaps[Result.memoryHeapCount++] = {Size, DeviceLocal ? VkMemoryHeapFlags{VK_MEMORY_HEAP_DEVICE_LOCAL_BIT} : VkMemoryHeapFlags{0}};
  for (const auto& [Flags, Heap] : Types) Result.memoryTypes[Result.memoryTypeCount++] = {Flags, Heap};
  return Result;
}

// lavapipe: one heap of system RAM, one type that is everything.
const VkPhysicalDeviceMemoryProperties CpuDevice = Memory({{2 * GB, true}}, {{DL | HV, 0}});
// A discrete card without resizable BAR: the processor reaches only a 256 MB window of its memory.
const VkPhysicalDeviceMemoryProperties SmallBar =
    Memory({{8 * GB, true}, {16 * GB, false}, {256 * MB, true}}, {{DL, 0}, {HV, 1}, {DL | HV, 2}});
// The same card with resizable BAR: all of its memory is mappable.
const VkPhysicalDeviceMemoryProperties ResizableBar =
    Memory({{8 * GB, true}, {16 * GB, false}}, {{DL, 0}, {HV, 1}, {DL | HV, 0}});
// Device-local memory the processor cannot map at all.
const VkPhysicalDeviceMemoryProperties NoBlockMemory = Memory({{4 * GB, true}, {16 * GB, false}}, {{DL, 0}, {HV, 1}});

TEST(VulkanMemoryChoice, TheDefaultAdapterIsTheFirstOfTheBestKind) {
  constexpr auto Discrete = VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU;
  constexpr auto Integrated = VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU;
  constexpr auto Virtual = VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU;
  constexpr auto Cpu = VK_PHYSICAL_DEVICE_TYPE_CPU;
  constexpr auto Other = VK_PHYSICAL_DEVICE_TYPE_OTHER;
  struct TCase {
    std::vector<VkPhysicalDeviceType> Types;
    std::optional<std::size_t> Default;
  };
  const TCase Cases[] = {
      {{}, std::nullopt},
      {{Cpu}, 0},
      {{Cpu, Integrated, Discrete, Discrete}, 2},
      {{Cpu, Virtual, Integrated}, 2},
      {{Other, Cpu, Virtual}, 2},
      {{Other, Cpu}, 1},
      {{Other}, 0},
  };
  for (const TCase& Case : Cases) EXPECT_EQ(DefaultAdapterIndex(Case.Types), Case.Default) << Case.Types.size();
}

TEST(VulkanMemoryChoice, TheAdaptersOwnMemoryAndTheWindowThatTheProcessorMaps) {
  const VkPhysicalDeviceMemoryProperties HostOnly = Memory({{16 * GB, false}}, {{HV, 0}});
  struct TCase {
    const char* Name;
    const VkPhysicalDeviceMemoryProperties& Properties;
    std::optional<std::uint32_t> Own;
    std::optional<std::uint32_t> Window;
  };
  const TCase Cases[] = {
      {"cpu", CpuDevice, 0u, 0u},
      // Free texture memory is the card's 8 GB, not the 256 MB window.
      {"small BAR", SmallBar, 0u, 2u},
      {"resizable BAR", ResizableBar, 0u, 0u},
      {"no mappable device memory", NoBlockMemory, 0u, std::nullopt},
      {"no device memory", HostOnly, std::nullopt, std::nullopt},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(DeviceLocalHeapIndex(Case.Properties), Case.Own) << Case.Name;
    EXPECT_EQ(WindowHeapIndex(Case.Properties), Case.Window) << Case.Name;
  }
}

TEST(VulkanMemoryChoice, TheSummarySaysWhatTheProcessorCanReachAndWhetherResizableBARIsOn) {
  constexpr auto Discrete = VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU;
  VkPhysicalDeviceMemoryBudgetPropertiesEXT Budget{};
  Budget.heapBudget[0] = 7 * GB;
  Budget.heapUsage[0] = 1 * GB;
  Budget.heapBudget[2] = 214 * MB;
  Budget.heapUsage[2] = 22 * MB;
  struct TCase {
    const char* Name;
    const VkPhysicalDeviceMemoryProperties& Properties;
    VkPhysicalDeviceType Type;
    const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Budget;
    std::uint64_t DeviceLocal, DeviceLocalFree, Reachable, ReachableFree;
    TBarState Bar;
  };
  const TCase Cases[] = {
      {"small BAR with budget", SmallBar, Discrete, &Budget, 8 * GB, 6 * GB, 214 * MB, 192 * MB, TBarState::Off},
      {"small BAR without", SmallBar, Discrete, nullptr, 8 * GB, 8 * GB, 256 * MB, 256 * MB, TBarState::Off},
      {"resizable BAR", ResizableBar, Discrete, &Budget, 8 * GB, 6 * GB, 7 * GB, 6 * GB, TBarState::On},
      {"no window", NoBlockMemory, Discrete, nullptr, 4 * GB, 4 * GB, 0, 0, TBarState::Off},
      {"lavapipe", CpuDevice, VK_PHYSICAL_DEVICE_TYPE_CPU, nullptr, 2 * GB, 2 * GB, 2 * GB, 2 * GB, TBarState::Shared},
  };
  for (const TCase& Case : Cases) {
    const TAdapterMemory Summary =
        SummarizeAdapterMemory(Case.Properties, HeapLimits(Case.Properties, Case.Budget),
                               FreeBytesPerHeap(Case.Properties, THeapBytes{}, Case.Budget), Case.Type);
    EXPECT_EQ(Summary.DeviceLocal, Case.DeviceLocal) << Case.Name;
    EXPECT_EQ(Summary.DeviceLocalFree, Case.DeviceLocalFree) << Case.Name;
    EXPECT_EQ(Summary.Reachable, Case.Reachable) << Case.Name;
    EXPECT_EQ(Summary.ReachableFree, Case.ReachableFree) << Case.Name;
    EXPECT_EQ(Summary.Bar, Case.Bar) << Case.Name;
    EXPECT_FALSE(Summary.Link) << Case.Name;
  }
}

TEST(VulkanMemoryChoice, FreeMemoryIsTheBudgetLeftOrTheHeapLessWhatIsHeld) {
  THeapBytes Held{};
  Held[0] = 512 * MB;
  EXPECT_EQ(FreeBytesPerHeap(CpuDevice, Held, nullptr)[0], 1536 * MB);
  Held[0] = 3 * GB;  // never below zero
  EXPECT_EQ(FreeBytesPerHeap(CpuDevice, Held, nullptr)[0], 0u);

  VkPhysicalDeviceMemoryBudgetPropertiesEXT Budget{};
  Budget.heapBudget[0] = 7 * GB;
  Budget.heapUsage[0] = 1 * GB;  // the budget counts every program's use, ours included
  Budget.heapBudget[2] = 200 * MB;
  Budget.heapUsage[2] = 300 * MB;
  const THeapBytes Free = FreeBytesPerHeap(SmallBar, Held, &Budget);
  EXPECT_EQ(Free[0], 6 * GB);
  EXPECT_EQ(Free[2], 0u);
}

TEST(VulkanMemoryChoice, ABlockGoesToTheFirstMappableDeviceMemoryThatCanHoldIt) {
  const auto Free = [](const VkPhysicalDeviceMemoryProperties& Properties) {
    return FreeBytesPerHeap(Properties, THeapBytes{}, nullptr);
  };
  struct TCase {
    const char* Name;
    const VkPhysicalDeviceMemoryProperties& Properties;
    std::uint32_t TypeBits;
    std::uint64_t Size;
    std::optional<std::uint32_t> Type;
  };
  const TCase Cases[] = {
      {"cpu", CpuDevice, 1, 512 * MB, 0u},
      {"cpu, whole heap", CpuDevice, 1, 2 * GB, 0u},
      {"cpu, beyond the heap", CpuDevice, 1, 2 * GB + 1, std::nullopt},
      {"cpu, type not allowed", CpuDevice, 0, 4 * MB, std::nullopt},
      {"small BAR, fits the window", SmallBar, 0b111, 128 * MB, 2u},
      {"small BAR, beyond the window", SmallBar, 0b111, 512 * MB, std::nullopt},
      {"resizable BAR", ResizableBar, 0b111, 4 * GB, 2u},
      {"no mappable device memory", NoBlockMemory, 0b11, 4 * MB, std::nullopt},
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(ChooseBlockMemoryType(Case.Properties, Case.TypeBits, Case.Size, Free(Case.Properties)), Case.Type)
        << Case.Name;

  // What this allocator holds already is not to be had twice.
  THeapBytes Held{};
  Held[0] = 1800 * MB;
  EXPECT_EQ(ChooseBlockMemoryType(CpuDevice, 1, 256 * MB, FreeBytesPerHeap(CpuDevice, Held, nullptr)), std::nullopt);
}

}  // namespace
