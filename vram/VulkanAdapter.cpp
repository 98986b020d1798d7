#include "VulkanAdapter.h"

#include <algorithm>
#include <cstring>

#include "VulkanMemoryChoice.h"

namespace {

TVulkanAdapter DescribeAdapter(const TVulkanInstance& Instance, VkPhysicalDevice Handle) {
  const TVulkanInstanceFunctions& Functions = Instance.Functions();
  TVulkanAdapter Adapter;
  Adapter.Handle = Handle;
  Functions.vkGetPhysicalDeviceProperties(Handle, &Adapter.Properties);
  Adapter.ApiVersion = std::min(Instance.ApiVersion(), Adapter.Properties.apiVersion);
  Adapter.HasProperties2 = Adapter.ApiVersion >= VK_API_VERSION_1_1 && Functions.vkGetPhysicalDeviceProperties2 &&
                           Functions.vkGetPhysicalDeviceMemoryProperties2;
  Adapter.HasBudget = Adapter.HasProperties2 && HasDeviceExtension(Instance, Handle, VK_EXT_MEMORY_BUDGET_EXTENSION_NAME);
  return Adapter;
}

}  // namespace

std::vector<TVulkanAdapter> EnumerateAdapters(const TVulkanInstance& Instance) {
  const TVulkanInstanceFunctions& Functions = Instance.Functions();
  std::uint32_t Count = 0;
  if (Functions.vkEnumeratePhysicalDevices(Instance.Handle(), &Count, nullptr) != VK_SUCCESS || Count == 0) return {};
  std::vector<VkPhysicalDevice> Handles(Count);
  // VK_INCOMPLETE: adapters that came and went between the two calls; the ones written are good.
  if (Functions.vkEnumeratePhysicalDevices(Instance.Handle(), &Count, Handles.data()) < VK_SUCCESS) return {};
  Handles.resize(Count);
  std::vector<TVulkanAdapter> Adapters;
  for (const VkPhysicalDevice Handle : Handles) Adapters.push_back(DescribeAdapter(Instance, Handle));
  return Adapters;
}

std::optional<TVulkanAdapter> PickDefaultAdapter(const TVulkanInstance& Instance) {
  const std::vector<TVulkanAdapter> Adapters = EnumerateAdapters(Instance);
  std::vector<VkPhysicalDeviceType> Types;
  for (const TVulkanAdapter& Adapter : Adapters) Types.push_back(Adapter.Properties.deviceType);
  const std::optional<std::size_t> Chosen = DefaultAdapterIndex(Types);
  if (!Chosen) return std::nullopt;
  return Adapters[*Chosen];
}

std::string AdapterName(const TVulkanAdapter& Adapter) {
  // deviceName is NUL-terminated within its array.
  return std::string(Adapter.Properties.deviceName,
                     strnlen(Adapter.Properties.deviceName, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE));
}

bool HasDeviceExtension(const TVulkanInstance& Instance, VkPhysicalDevice Adapter, const char* Name) {
  const TVulkanInstanceFunctions& Functions = Instance.Functions();
  std::uint32_t Count = 0;
  if (Functions.vkEnumerateDeviceExtensionProperties(Adapter, nullptr, &Count, nullptr) != VK_SUCCESS) return false;
  std::vector<VkExtensionProperties> Extensions(Count);
  if (Functions.vkEnumerateDeviceExtensionProperties(Adapter, nullptr, &Count, Extensions.data()) < VK_SUCCESS)
    return false;
  Extensions.resize(Count);
  return std::any_of(Extensions.begin(), Extensions.end(), [&](const VkExtensionProperties& Extension) {
    return std::strcmp(Extension.extensionName, Name) == 0;
  });
}
