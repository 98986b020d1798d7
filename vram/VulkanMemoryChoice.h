#pragma once
// The choices the Vulkan device makes from what the driver reports: which adapter is the default
// one, which heap's free memory is shown, how much of a heap is still to be had, and where a
// block goes. Pure functions, so that every case can be tried without the hardware.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "VulkanApi.h"

// A block is memory the adapter holds and the processor can map.
constexpr VkMemoryPropertyFlags BlockMemoryFlags =
    VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT | VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT;

using THeapBytes = std::array<std::uint64_t, VK_MAX_MEMORY_HEAPS>;

// The default adapter among the enumerated devices: the first discrete GPU, else the first
// integrated, else virtual, else CPU, else any other; empty when there is none.
std::optional<std::size_t> DefaultAdapterIndex(const std::vector<VkPhysicalDeviceType>& Types);

// The heap whose free memory is reported: the largest heap that block memory comes from, else the
// largest device-local heap; empty when the device has neither.
std::optional<std::uint32_t> ReportedHeapIndex(const VkPhysicalDeviceMemoryProperties& Memory);

// Bytes still to be had in each heap: the budget minus the usage where the driver reports a
// budget, else the heap size minus what this allocator holds in it. Never below zero.
THeapBytes FreeBytesPerHeap(const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Held,
                            const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Budget);

// The memory type for a block of AllocationSize bytes: the first type that the buffer allows
// (TypeBits), that has BlockMemoryFlags and whose heap has AllocationSize free; empty when none.
std::optional<std::uint32_t> ChooseBlockMemoryType(const VkPhysicalDeviceMemoryProperties& Memory,
                                                   std::uint32_t TypeBits, std::uint64_t AllocationSize,
                                                   const THeapBytes& HeapFree);
