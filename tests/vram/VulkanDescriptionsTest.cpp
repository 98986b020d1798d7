// The driver and memory of an adapter as a results file names them.

#include "VulkanDescriptions.h"

#include <gtest/gtest.h>

namespace {

TEST(VulkanDescriptions, DriverVersionsAsTheirVendorsNumberThem) {
  // NVIDIA packs 535.104.05 as 10.8.8.6 bits.
  const std::uint32_t NVIDIA = (535u << 22) | (104u << 14) | (5u << 6);
  EXPECT_EQ(DriverVersionText(0x10DE, NVIDIA, "", ""), "535.104.5.0");
  EXPECT_EQ(DriverVersionText(0x10DE, NVIDIA, "NVIDIA", ""), "NVIDIA 535.104.5.0");
  // Mesa and AMD use Vulkan's own packing.
  EXPECT_EQ(DriverVersionText(0x1002, VK_MAKE_API_VERSION(0, 23, 2, 1), "", ""), "23.2.1");
  // Where the driver names itself (Vulkan 1.2), its own text wins.
  EXPECT_EQ(DriverVersionText(0x10005, VK_MAKE_API_VERSION(0, 0, 0, 1), "llvmpipe", "Mesa 22.3.6 (LLVM 15.0.6)"),
            "llvmpipe Mesa 22.3.6 (LLVM 15.0.6)");
}

TEST(VulkanDescriptions, FlagsByTheirVulkanNamesInBitOrder) {
  EXPECT_EQ(MemoryPropertyNames(VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT |
                                VK_MEMORY_PROPERTY_HOST_COHERENT_BIT),
            (std::vector<std::string>{"DEVICE_LOCAL", "HOST_VISIBLE", "HOST_COHERENT"}));
  EXPECT_EQ(MemoryPropertyNames(0), std::vector<std::string>{});
  EXPECT_EQ(MemoryPropertyNames(VK_MEMORY_PROPERTY_HOST_CACHED_BIT | 0x8000u),
            (std::vector<std::string>{"HOST_CACHED", "0x8000"}));
  EXPECT_EQ(MemoryHeapFlagNames(VK_MEMORY_HEAP_DEVICE_LOCAL_BIT), std::vector<std::string>{"DEVICE_LOCAL"});
}

}  // namespace
