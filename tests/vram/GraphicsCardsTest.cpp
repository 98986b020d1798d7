// The allocator on graphics cards as users own them: the fake Vulkan driver's models of real
// cards, loaded by the real Vulkan loader.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ErrorOf.h"
#include "FakeVulkan.h"
#include "VraxDirect3D9.h"

namespace {

constexpr std::int64_t MB = 1 << 20;

TEST(GraphicsCards, TheDefaultAdapterIsTheDiscreteCardAndItsBlocksAreWalkable) {
  TScopedFakeVulkan Driver("integrated,small-bar");
  TVraxDirect3D9 VideoMemory(false);
  EXPECT_EQ(VideoMemory.D3DADAPTER_ID.Description, "NVIDIA GeForce RTX 2070 SUPER");
  TVraxItem* Item = VideoMemory.Items.Add(4 * MB);
  ASSERT_NE(Item, nullptr);
  auto* Words = static_cast<volatile std::uint64_t*>(Item->PMemory);
  for (std::uint64_t Word = 0; Word < 4 * MB / 8; ++Word) Words[Word] = Word;
  EXPECT_EQ(Words[4 * MB / 8 - 1], std::uint64_t(4 * MB / 8 - 1));
}

TEST(GraphicsCards, ADriverWithoutAdaptersGivesTheDeviceError) {
  TScopedFakeVulkan Driver("");
  EXPECT_EQ(ErrorOf([] { TVraxDirect3D9 VideoMemory(false); }), "Error: Creating D3D Device!");
}

}  // namespace
