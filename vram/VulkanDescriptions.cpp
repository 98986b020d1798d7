#include "VulkanDescriptions.h"

#include <cstdio>
#include <utility>

namespace {

constexpr std::uint32_t NVIDIAVendorID = 0x10DE;

std::vector<std::string> FlagNames(std::uint32_t Flags,
                                   std::initializer_list<std::pair<std::uint32_t, const char*>> Names) {
  std::vector<std::string> Result;
  for (std::uint32_t Bit = 1; Bit != 0; Bit <<= 1) {
    if ((Flags & Bit) == 0) continue;
    std::string Name;
    for (const auto& [Value, Text] : Names)
      if (Value == Bit) Name = Text;
    if (Name.empty()) {
      char Hex[16];
      std::snprintf(Hex, sizeof Hex, "0x%X", Bit);
      Name = Hex;
    }
    Result.push_back(Name);
  }
  return Result;
}

}  // namespace

std::string DriverVersionText(std::uint32_t VendorID, std::uint32_t DriverVersion, const std::string& DriverName,
                              const std::string& DriverInfo) {
  if (!DriverInfo.empty()) return DriverName.empty() ? DriverInfo : DriverName + " " + DriverInfo;
  // NVIDIA packs 10.8.8.6 bits; the others follow Vulkan's own 10.10.12 packing.
  const std::string Number =
      VendorID == NVIDIAVendorID
          ? std::to_string(DriverVersion >> 22) + "." + std::to_string((DriverVersion >> 14) & 0xFF) + "." +
                std::to_string((DriverVersion >> 6) & 0xFF) + "." + std::to_string(DriverVersion & 0x3F)
          : std::to_string(DriverVersion >> 22) + "." + std::to_string((DriverVersion >> 12) & 0x3FF) + "." +
                std::to_string(DriverVersion & 0xFFF);
  return DriverName.empty() ? Number : DriverName + " " + Number;
}

std::vector<std::string> MemoryPropertyNames(VkMemoryPropertyFlags Flags) {
  return FlagNames(Flags, {{VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, "DEVICE_LOCAL"},
                           {VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT, "HOST_VISIBLE"},
                           {VK_MEMORY_PROPERTY_HOST_COHERENT_BIT, "HOST_COHERENT"},
                           {VK_MEMORY_PROPERTY_HOST_CACHED_BIT, "HOST_CACHED"},
                           {VK_MEMORY_PROPERTY_LAZILY_ALLOCATED_BIT, "LAZILY_ALLOCATED"},
                           {VK_MEMORY_PROPERTY_PROTECTED_BIT, "PROTECTED"},
                           {VK_MEMORY_PROPERTY_DEVICE_COHERENT_BIT_AMD, "DEVICE_COHERENT_AMD"},
                           {VK_MEMORY_PROPERTY_DEVICE_UNCACHED_BIT_AMD, "DEVICE_UNCACHED_AMD"},
                           {VK_MEMORY_PROPERTY_RDMA_CAPABLE_BIT_NV, "RDMA_CAPABLE_NV"}});
}

std::vector<std::string> MemoryHeapFlagNames(VkMemoryHeapFlags Flags) {
  return FlagNames(Flags,
                   {{VK_MEMORY_HEAP_DEVICE_LOCAL_BIT, "DEVICE_LOCAL"}, {VK_MEMORY_HEAP_MULTI_INSTANCE_BIT, "MULTI_INSTANCE"}});
}
