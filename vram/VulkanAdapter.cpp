#include "VulkanAdapter.h"

#include <algorithm>
#include <cstring>

#include "PciLink.h"

namespace {

// The adapter's place on the PCI bus, where the driver tells it.
std::optional<std::string> ReadPciAddress(const TVulkanInstance& Instance, const TVulkanAdapter& Adapter) {
  if (!Adapter.HasProperties2 || !HasDeviceExtension(Instance, Adapter.Handle, VK_EXT_PCI_BUS_INFO_EXTENSION_NAME))
    return std::nullopt;
  VkPhysicalDevicePCIBusInfoPropertiesEXT Pci{};
  Pci.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PCI_BUS_INFO_PROPERTIES_EXT;
  VkPhysicalDeviceProperties2 Properties{};
  Properties.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
  Properties.pNext = &Pci;
  Instance.Functions().vkGetPhysicalDeviceProperties2(Adapter.Handle, &Properties);
  return PciAddressText(Pci.pciDomain, Pci.pciBus, Pci.pciDevice, Pci.pciFunction);
}

TVulkanAdapter DescribeAdapter(const TVulkanInstance& Instance, VkPhysicalDevice Handle) {
  const TVulkanInstanceFunctions& Functions = Instance.Functions();
  TVulkanAdapter Adapter;
  Adapter.Handle = Handle;
  Functions.vkGetPhysicalDeviceProperties(Handle, &Adapter.Properties);
  Adapter.ApiVersion = std::min(Instance.ApiVersion(), Adapter.Properties.apiVersion);
  Adapter.HasProperties2 = Adapter.ApiVersion >= VK_API_VERSION_1_1 && Functions.vkGetPhysicalDeviceProperties2 &&
                           Functions.vkGetPhysicalDeviceMemoryProperties2;
  Adapter.HasBudget = Adapter.HasProperties2 && HasDeviceExtension(Instance, Handle, VK_EXT_MEMORY_BUDGET_EXTENSION_NAME);
  Adapter.PciAddress = ReadPciAddress(Instance, Adapter);
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

std::optional<std::size_t> DefaultAdapterOf(const std::vector<TVulkanAdapter>& Adapters) {
  std::vector<VkPhysicalDeviceType> Types;
  for (const TVulkanAdapter& Adapter : Adapters) Types.push_back(Adapter.Properties.deviceType);
  return DefaultAdapterIndex(Types);
}

std::optional<TVulkanAdapter> PickDefaultAdapter(const TVulkanInstance& Instance) {
  const std::vector<TVulkanAdapter> Adapters = EnumerateAdapters(Instance);
  const std::optional<std::size_t> Chosen = DefaultAdapterOf(Adapters);
  if (!Chosen) return std::nullopt;
  return Adapters[*Chosen];
}

std::string AdapterName(const TVulkanAdapter& Adapter) {
  // deviceName is NUL-terminated within its array.
  return std::string(Adapter.Properties.deviceName,
                     strnlen(Adapter.Properties.deviceName, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE));
}

std::string AdapterKind(const TVulkanAdapter& Adapter) {
  switch (Adapter.Properties.deviceType) {
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU:
      return "discrete GPU";
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU:
      return "integrated GPU";
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU:
      return "virtual GPU";
    case VK_PHYSICAL_DEVICE_TYPE_CPU:
      return "CPU";
    default:
      return "other";
  }
}

std::optional<VkPhysicalDeviceMemoryBudgetPropertiesEXT> ReadBudget(const TVulkanInstance& Instance,
                                                                     const TVulkanAdapter& Adapter) {
  if (!Adapter.HasBudget) return std::nullopt;
  VkPhysicalDeviceMemoryBudgetPropertiesEXT Budget{};
  Budget.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MEMORY_BUDGET_PROPERTIES_EXT;
  VkPhysicalDeviceMemoryProperties2 Properties{};
  Properties.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MEMORY_PROPERTIES_2;
  Properties.pNext = &Budget;
  Instance.Functions().vkGetPhysicalDeviceMemoryProperties2(Adapter.Handle, &Properties);
  return Budget;
}

TAdapterMemory ReadAdapterMemory(const TVulkanInstance& Instance, const TVulkanAdapter& Adapter,
                                 const VkPhysicalDeviceMemoryProperties& Memory, const THeapBytes& Held,
                                 const std::string& SysfsRoot) {
  const std::optional<VkPhysicalDeviceMemoryBudgetPropertiesEXT> Budget = ReadBudget(Instance, Adapter);
  const VkPhysicalDeviceMemoryBudgetPropertiesEXT* Reported = Budget ? &*Budget : nullptr;
  TAdapterMemory Summary = SummarizeAdapterMemory(Memory, HeapLimits(Memory, Reported),
                                                  FreeBytesPerHeap(Memory, Held, Reported),
                                                  Adapter.Properties.deviceType);
  if (Adapter.PciAddress) Summary.Link = ReadPciLink(SysfsRoot, *Adapter.PciAddress);
  return Summary;
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
