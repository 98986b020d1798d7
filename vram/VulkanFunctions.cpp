#include "VulkanFunctions.h"

namespace {

// Looks one function up; false only when the table cannot do without it.
template <typename TFunction, typename TLookup>
bool Bind(TFunction& Function, const TLookup& Lookup, const char* Name, TVulkanNeed Need, std::uint32_t ApiVersion) {
  Function = nullptr;
  // A 1.0 instance may still hand out a 1.1 function, which must not be called on it.
  if (Need == TVulkanNeed::Vulkan11 && ApiVersion < VK_API_VERSION_1_1) return true;
  Function = reinterpret_cast<TFunction>(Lookup(Name));
  return Function != nullptr || Need == TVulkanNeed::Optional;
}

}  // namespace

#define VELMORA_BIND_VULKAN_FUNCTION(Name, Need) \
  Complete &= Bind(Functions.Name, Lookup, #Name, TVulkanNeed::Need, ApiVersion);

bool BindLoaderFunctions(TVulkanLoaderFunctions& Functions, PFN_vkGetInstanceProcAddr GetInstanceProcAddr) {
  const auto Lookup = [&](const char* Name) { return GetInstanceProcAddr(VK_NULL_HANDLE, Name); };
  const std::uint32_t ApiVersion = VK_API_VERSION_1_0;
  bool Complete = true;
  VELMORA_VULKAN_LOADER_FUNCTIONS(VELMORA_BIND_VULKAN_FUNCTION)
  return Complete;
}

bool BindInstanceFunctions(TVulkanInstanceFunctions& Functions, PFN_vkGetInstanceProcAddr GetInstanceProcAddr,
                           VkInstance Instance, std::uint32_t ApiVersion) {
  const auto Lookup = [&](const char* Name) { return GetInstanceProcAddr(Instance, Name); };
  bool Complete = true;
  VELMORA_VULKAN_INSTANCE_FUNCTIONS(VELMORA_BIND_VULKAN_FUNCTION)
  return Complete;
}

bool BindDeviceFunctions(TVulkanDeviceFunctions& Functions, PFN_vkGetDeviceProcAddr GetDeviceProcAddr,
                         VkDevice Device) {
  const auto Lookup = [&](const char* Name) { return GetDeviceProcAddr(Device, Name); };
  const std::uint32_t ApiVersion = VK_API_VERSION_1_0;
  bool Complete = true;
  VELMORA_VULKAN_DEVICE_FUNCTIONS(VELMORA_BIND_VULKAN_FUNCTION)
  return Complete;
}

#undef VELMORA_BIND_VULKAN_FUNCTION
