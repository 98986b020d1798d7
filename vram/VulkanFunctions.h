#pragma once
// Every Vulkan entry point the program calls, each named once. The lists declare the tables of
// function pointers and drive their binding, so a function is added in one place.

#include <cstdint>

#include "VulkanApi.h"

// How much a table needs a function.
enum class TVulkanNeed {
  Required,  // without it the table is of no use
  Optional,  // a null pointer is an answer: older loaders and drivers lack it
  Vulkan11,  // bound only on a Vulkan 1.1 instance, where it must then be there
};

// Looked up on the loader, before there is an instance.
#define VELMORA_VULKAN_LOADER_FUNCTIONS(X) \
  X(vkCreateInstance, Required)            \
  X(vkEnumerateInstanceVersion, Optional)

// Looked up on the instance: the adapters and what they report, and making a device.
#define VELMORA_VULKAN_INSTANCE_FUNCTIONS(X)          \
  X(vkDestroyInstance, Required)                      \
  X(vkEnumeratePhysicalDevices, Required)             \
  X(vkGetPhysicalDeviceProperties, Required)          \
  X(vkGetPhysicalDeviceMemoryProperties, Required)    \
  X(vkGetPhysicalDeviceQueueFamilyProperties, Required) \
  X(vkEnumerateDeviceExtensionProperties, Required)   \
  X(vkCreateDevice, Required)                         \
  X(vkGetDeviceProcAddr, Required)                    \
  X(vkGetPhysicalDeviceProperties2, Vulkan11)         \
  X(vkGetPhysicalDeviceMemoryProperties2, Vulkan11)

// Looked up on the device: the blocks.
#define VELMORA_VULKAN_DEVICE_FUNCTIONS(X)   \
  X(vkDestroyDevice, Required)               \
  X(vkCreateBuffer, Required)                \
  X(vkDestroyBuffer, Required)               \
  X(vkGetBufferMemoryRequirements, Required) \
  X(vkAllocateMemory, Required)              \
  X(vkFreeMemory, Required)                  \
  X(vkBindBufferMemory, Required)            \
  X(vkMapMemory, Required)                   \
  X(vkUnmapMemory, Required)

#define VELMORA_VULKAN_FUNCTION_FIELD(Name, Need) PFN_##Name Name = nullptr;
struct TVulkanLoaderFunctions {
  VELMORA_VULKAN_LOADER_FUNCTIONS(VELMORA_VULKAN_FUNCTION_FIELD)
};
struct TVulkanInstanceFunctions {
  VELMORA_VULKAN_INSTANCE_FUNCTIONS(VELMORA_VULKAN_FUNCTION_FIELD)
};
struct TVulkanDeviceFunctions {
  VELMORA_VULKAN_DEVICE_FUNCTIONS(VELMORA_VULKAN_FUNCTION_FIELD)
};
#undef VELMORA_VULKAN_FUNCTION_FIELD

// Each binds every function of its table by name, even after one is missing, so that the destroy
// function of an object already made is there to destroy it. False when a function the table needs
// is missing.
bool BindLoaderFunctions(TVulkanLoaderFunctions& Functions, PFN_vkGetInstanceProcAddr GetInstanceProcAddr);
bool BindInstanceFunctions(TVulkanInstanceFunctions& Functions, PFN_vkGetInstanceProcAddr GetInstanceProcAddr,
                           VkInstance Instance, std::uint32_t ApiVersion);
bool BindDeviceFunctions(TVulkanDeviceFunctions& Functions, PFN_vkGetDeviceProcAddr GetDeviceProcAddr,
                         VkDevice Device);
