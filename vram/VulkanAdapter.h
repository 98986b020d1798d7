#pragma once
// The adapters of a Vulkan instance as they report themselves, before any device is made on them,
// and the choice of the default one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AdapterMemory.h"
#include "VulkanInstance.h"
#include "VulkanMemoryChoice.h"

struct TVulkanAdapter {
  VkPhysicalDevice Handle = VK_NULL_HANDLE;
  VkPhysicalDeviceProperties Properties{};
  std::uint32_t ApiVersion = VK_API_VERSION_1_0;  // what both the instance and the adapter speak
  bool HasProperties2 = false;                    // the Vulkan 1.1 queries can be made
  bool HasBudget = false;                         // VK_EXT_memory_budget
  std::optional<std::string> PciAddress;          // "0000:01:00.0", where VK_EXT_pci_bus_info tells
};

// Every adapter, in the instance's order; empty when there is none.
std::vector<TVulkanAdapter> EnumerateAdapters(const TVulkanInstance& Instance);

// Which of Adapters is the default one: the first discrete GPU, else integrated, else virtual,
// else CPU; empty when there is none.
std::optional<std::size_t> DefaultAdapterOf(const std::vector<TVulkanAdapter>& Adapters);

// The default adapter of the instance; empty when there is none.
std::optional<TVulkanAdapter> PickDefaultAdapter(const TVulkanInstance& Instance);

// The adapter's name, as the log shows it.
std::string AdapterName(const TVulkanAdapter& Adapter);

// "discrete GPU", "integrated GPU", "virtual GPU", "CPU" or "other".
std::string AdapterKind(const TVulkanAdapter& Adapter);

// The budget as the driver reports it now; empty where it reports none.
std::optional<VkPhysicalDeviceMemoryBudgetPropertiesEXT> ReadBudget(const TVulkanInstance& Instance,
                                                                     const TVulkanAdapter& Adapter);

// What the processor can reach of the adapter's memory now, Held bytes per heap being this
// program's own where the driver keeps no budget, with the PCI Express link read under SysfsRoot.
TAdapterMemory ReadAdapterMemory(const TVulkanInstance& Instance, const TVulkanAdapter& Adapter,
                                 const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Held,
                                 const std::string& SysfsRoot);

// Whether the adapter offers the device extension Name.
bool HasDeviceExtension(const TVulkanInstance& Instance, VkPhysicalDevice Adapter, const char* Name);
