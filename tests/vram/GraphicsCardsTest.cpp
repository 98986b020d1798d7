// The allocator on graphics cards as users own them: the fake Vulkan driver's models of real
// cards, loaded by the real Vulkan loader, with the PCI Express links of a sysfs of the test's own.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "FakeVulkan.h"
#include "HelperQuobix.h"
#include "VraxDirect3D9.h"

namespace {

constexpr std::int64_t MB = 1 << 20;

// The discrete cards' slots: 01:00.0 runs at PCIe 3.0 x16; 03:00.0 idles at 2.5 GT/s.
class GraphicsCards : public ::testing::Test {
 protected:
  GraphicsCards() {
    FSysfs.Link("0000:01:00.0", "8.0 GT/s PCIe", 16, "8.0 GT/s PCIe", 16);
    FSysfs.Link("0000:03:00.0", "2.5 GT/s PCIe", 16, "8.0 GT/s PCIe", 16);
  }
  TGraphicsInterfaceFactory Vulkan() const { return FSysfs.Vulkan(); }

 private:
  TFakePciSysfs FSysfs;
};

TEST_F(GraphicsCards, EachCardReportsItsOwnMemoryAndWhatTheProcessorCanReach) {
  struct TCase {
    const char* Adapters;
    const char* Description;
    const char* FreeTextureMemory;
    const char* Reach;
    std::int64_t LargestBlock;  // whole MB; 0: none
  };
  const TCase Cases[] = {
      // 7600 MiB budget less 350 MiB in use; the window's 214 MiB budget less 22 MiB in use.
      {"small-bar", "NVIDIA GeForce RTX 2070 SUPER", "7.08 GB",
       "214.00 MB of 8.00 GB (resizable BAR off), PCIe 3.0 x16", 192 * MB},
      {"resizable-bar", "NVIDIA GeForce RTX 3070", "7.08 GB", "7.42 GB of 8.00 GB (resizable BAR on), PCIe 3.0 x16",
       7250 * MB},
      {"integrated", "Intel(R) UHD Graphics 630 (CFL GT2)", "10.50 GB",
       "11.00 GB of 12.00 GB (memory shared with the processor)", 10752 * MB},
      {"no-window", "NVIDIA GeForce GTX 1060 6GB", "6.00 GB",
       "0 Byte of 6.00 GB (resizable BAR off), PCIe 1.1 x16 (up to 3.0 x16)", 0},
      {"integrated,small-bar", "NVIDIA GeForce RTX 2070 SUPER", "7.08 GB",
       "214.00 MB of 8.00 GB (resizable BAR off), PCIe 3.0 x16", 192 * MB},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Adapters);
    TScopedFakeVulkan Driver(Case.Adapters);
    TVraxDirect3D9 VideoMemory(false, Vulkan());
    EXPECT_EQ(VideoMemory.D3DADAPTER_ID.Description, Case.Description);
    EXPECT_EQ(FormatByteSize(static_cast<std::int64_t>(VideoMemory.MemoryAvailable())), Case.FreeTextureMemory);
    EXPECT_EQ(ReachText(VideoMemory.AdapterMemory()), Case.Reach);
    EXPECT_EQ(VideoMemory.AdapterMemory().ReachableFree / MB * MB, std::uint64_t(Case.LargestBlock));
    if (Case.LargestBlock == 0) {
      EXPECT_EQ(VideoMemory.Items.Add(MB), nullptr);
      continue;
    }
    // The window holds what it says and not a megabyte more; a block in it is walkable memory.
    EXPECT_EQ(VideoMemory.Items.Add(Case.LargestBlock + MB), nullptr);
    if (Case.LargestBlock > 1024 * MB) continue;  // the whole card is not walked here
    TVraxItem* Item = VideoMemory.Items.Add(Case.LargestBlock);
    ASSERT_NE(Item, nullptr);
    static_cast<volatile std::uint64_t*>(Item->PMemory)[Case.LargestBlock / 8 - 1] = 1;
    EXPECT_EQ(VideoMemory.AdapterMemory().ReachableFree, 0u);
    EXPECT_EQ(FormatByteSize(static_cast<std::int64_t>(VideoMemory.MemoryAvailable())), Case.FreeTextureMemory)
        << "the window is not the card's own memory";
  }
}

TEST_F(GraphicsCards, EveryAdapterIsListedAndTheDefaultOneMarked) {
  TScopedFakeVulkan Driver("integrated,small-bar");
  const std::vector<TAdapterDescription> Adapters = Vulkan()()->Adapters();
  ASSERT_EQ(Adapters.size(), 2u);
  for (const TAdapterDescription& Adapter : Adapters) {
    const bool Discrete = Adapter.Kind == "discrete GPU";
    EXPECT_EQ(Adapter.Name, Discrete ? "NVIDIA GeForce RTX 2070 SUPER" : "Intel(R) UHD Graphics 630 (CFL GT2)");
    EXPECT_EQ(Adapter.IsDefault, Discrete);
    EXPECT_EQ(ReachText(Adapter.Memory), Discrete ? "214.00 MB of 8.00 GB (resizable BAR off), PCIe 3.0 x16"
                                                  : "11.00 GB of 12.00 GB (memory shared with the processor)");
  }
}

TEST_F(GraphicsCards, ADriverWithoutAdaptersGivesTheDeviceErrorAndAnEmptyList) {
  TScopedFakeVulkan Driver("");
  EXPECT_EQ(ErrorOf([&] { TVraxDirect3D9 VideoMemory(false, Vulkan()); }), "Error: Creating D3D Device!");
  EXPECT_TRUE(Vulkan()()->Adapters().empty());
}

}  // namespace
