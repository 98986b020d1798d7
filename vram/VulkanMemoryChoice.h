#pragma once
// The choices the Vulkan device makes from what the driver reports: which adapter is the default
// one, which heap is the adapter's own memory and which one the processor maps, how much of a heap
// is still to be had, and where a block goes. Pure functions, so that every case can be tried
// without the hardware.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "AdapterMemory.h"
#include "VulkanApi.h"

// A block is memory the adapter holds and the processor can map.
constexpr VkMemoryPropertyFlags BlockMemoryFlags =
    VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT | VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT;

using THeapBytes = std::array<std::uint64_t, VK_MAX_MEMORY_HEAPS>;

// The default adapter among the enumerated devices: the first discrete GPU, else the first
// integrated, else virtual, else CPU, else any other; empty when there is none.
std::optional<std::size_t> DefaultAdapterIndex(const std::vector<VkPhysicalDeviceType>& Types);

// The adapter's own memory, whose free bytes are the free texture memory: its largest device-local
// heap; empty when it has none.
std::optional<std::uint32_t> DeviceLocalHeapIndex(const VkPhysicalDeviceMemoryProperties& Memory);

// The memory the processor can map: the largest heap that block memory comes from; empty when no
// memory type is both device-local and host-visible.
std::optional<std::uint32_t> WindowHeapIndex(const VkPhysicalDeviceMemoryProperties& Memory);

// Bytes each heap may hold for this program: its budget where the driver reports one, else its size.
THeapBytes HeapLimits(const VkPhysicalDeviceMemoryProperties& Memory,
                      const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Budget);

// Bytes still to be had in each heap: the budget minus the usage where the driver reports a
// budget, else the heap size minus what this allocator holds in it. Never below zero.
THeapBytes FreeBytesPerHeap(const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Held,
                            const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Budget);

// What the processor can reach of the adapter's own memory, without the PCI Express link.
TAdapterMemory SummarizeAdapterMemory(const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Limits,
                                      const THeapBytes& Free, VkPhysicalDeviceType Type);

// The memory type for a block of AllocationSize bytes: the first type that the buffer allows
// (TypeBits), that has BlockMemoryFlags and whose heap has AllocationSize free; empty when none.
std::optional<std::uint32_t> ChooseBlockMemoryType(const VkPhysicalDeviceMemoryProperties& Memory,
                                                   std::uint32_t TypeBits, std::uint64_t AllocationSize,
                                                   const THeapBytes& HeapFree);
