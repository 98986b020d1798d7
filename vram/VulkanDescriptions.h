#pragma once
// How an adapter's driver and memory are named in a results file: the driver version the way its
// vendor numbers it, and the flags of a memory type and its heap by their Vulkan names.

#include <cstdint>
#include <string>
#include <vector>

#include "VulkanApi.h"

// "NVIDIA 535.104.5.0" style numbering for NVIDIA's drivers, major.minor.patch for everyone else;
// the driver's own name and text ("llvmpipe Mesa 22.3.6") where the adapter reports them.
std::string DriverVersionText(std::uint32_t VendorID, std::uint32_t DriverVersion, const std::string& DriverName,
                              const std::string& DriverInfo);

// "DEVICE_LOCAL", "HOST_VISIBLE", ... in bit order; an unknown bit as "0x200".
std::vector<std::string> MemoryPropertyNames(VkMemoryPropertyFlags Flags);
std::vector<std::string> MemoryHeapFlagNames(VkMemoryHeapFlags Flags);
