#pragma once
// The adapters of a Vulkan instance as they report themselves, before any device is made on them,
// and the choice of the default one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "VulkanInstance.h"

struct TVulkanAdapter {
  VkPhysicalDevice Handle = VK_NULL_HANDLE;
  VkPhysicalDeviceProperties Properties{};
  std::uint32_t ApiVersion = VK_API_VERSION_1_0;  // what both the instance and the adapter speak
  bool HasProperties2 = false;                    // the Vulkan 1.1 queries can be made
  bool HasBudget = false;                         // VK_EXT_memory_budget
};

// Every adapter, in the instance's order; empty when there is none.
std::vector<TVulkanAdapter> EnumerateAdapters(const TVulkanInstance& Instance);

// The first discrete GPU, else integrated, else virtual, else CPU; empty when there is none.
std::optional<TVulkanAdapter> PickDefaultAdapter(const TVulkanInstance& Instance);

// The adapter's name, as the log shows it.
std::string AdapterName(const TVulkanAdapter& Adapter);

// Whether the adapter offers the device extension Name.
bool HasDeviceExtension(const TVulkanInstance& Instance, VkPhysicalDevice Adapter, const char* Name);
