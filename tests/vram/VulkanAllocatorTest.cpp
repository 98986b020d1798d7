// The allocator for real, over Vulkan on this machine's device (lavapipe where there is no GPU).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include "ErrorOf.h"
#include "ResidentMemory.h"
#include "VraxDirect3D9.h"
#include "VulkanGraphics.h"

namespace {

constexpr std::int64_t MB = 1 << 20;

TGraphicsInterfaceFactory VulkanWith(TVulkanGraphicsOptions Options) {
  return [Options] { return OpenVulkanGraphics(Options); };
}

class VulkanAllocator : public ::testing::Test {
 protected:
  TVraxDirect3D9 FVideoMemory{false};
};

TEST_F(VulkanAllocator, OpensTheDefaultAdapterAndReportsItsFreeMemory) {
  EXPECT_TRUE(FVideoMemory.HasDevice());
  EXPECT_FALSE(FVideoMemory.D3DADAPTER_ID.Description.empty());
  EXPECT_GT(FVideoMemory.MemoryAvailable(), std::uint64_t(64 * MB));
}

TEST_F(VulkanAllocator, ABlockIsBackedBeforeItIsHandedOutAndHoldsWhatIsWrittenThroughIt) {
  constexpr std::int64_t Size = 16 * MB;
  const std::uint64_t Before = ResidentBytes();
  TVraxItem* Item = FVideoMemory.Items.Add(Size);
  ASSERT_NE(Item, nullptr);
  // Every page has its own memory before the first pass: none reads the shared zero page.
  EXPECT_GE(ResidentBytes() - Before, std::uint64_t(Size) * 9 / 10);
  EXPECT_EQ(Item->Index, 0);
  EXPECT_EQ(Item->Size, Size);
  EXPECT_EQ(Item->Owner, &FVideoMemory.Items);
  ASSERT_NE(Item->PMemory, nullptr);

  auto* Words = static_cast<volatile std::uint64_t*>(Item->PMemory);
  const std::uint64_t Count = Size / 8;
  for (std::uint64_t Word = 0; Word < Count; ++Word) Words[Word] = Word * 0x9E3779B97F4A7C15ull;
  std::uint64_t Wrong = 0;
  for (std::uint64_t Word = 0; Word < Count; ++Word) Wrong += Words[Word] != Word * 0x9E3779B97F4A7C15ull;
  EXPECT_EQ(Wrong, 0u);
  FVideoMemory.Items.GetItem(0)->Delete();
  EXPECT_EQ(FVideoMemory.Items.Count(), 0);
}

TEST_F(VulkanAllocator, DeleteRenumbersTheBlocksThatRemain) {
  TVraxItem* First = FVideoMemory.Items.Add(1 * MB);
  TVraxItem* Second = FVideoMemory.Items.Add(2 * MB);
  TVraxItem* Third = FVideoMemory.Items.Add(3 * MB);
  ASSERT_TRUE(First && Second && Third);
  EXPECT_EQ(Third->Index, 2);
  FVideoMemory.Items.Delete(0);
  ASSERT_EQ(FVideoMemory.Items.Count(), 2);
  EXPECT_EQ(FVideoMemory.Items.GetItem(0), Second);
  EXPECT_EQ(FVideoMemory.Items.GetItem(1), Third);
  EXPECT_EQ(Second->Index, 0);
  EXPECT_EQ(Third->Index, 1);
  // The remaining blocks are still mapped and usable.
  static_cast<volatile std::uint64_t*>(Third->PMemory)[3 * MB / 8 - 1] = 42;
  EXPECT_EQ(static_cast<volatile std::uint64_t*>(Third->PMemory)[3 * MB / 8 - 1], 42u);
}

TEST_F(VulkanAllocator, FreeMemoryIsLowerWhileABlockIsHeld) {
  const std::uint64_t Before = FVideoMemory.MemoryAvailable();
  ASSERT_NE(FVideoMemory.Items.Add(8 * MB), nullptr);
  const std::uint64_t WithBlock = FVideoMemory.MemoryAvailable();
  FVideoMemory.Items.GetItem(0)->Delete();
  const std::uint64_t After = FVideoMemory.MemoryAvailable();
  EXPECT_LT(WithBlock, After);
  EXPECT_LE(Before - WithBlock, std::uint64_t(9 * MB));  // the block, give or take alignment
  EXPECT_EQ(After, Before);
}

TEST_F(VulkanAllocator, RefusesWhatTheDeviceCannotHoldWithoutTouchingMemory) {
  const std::uint64_t Free = FVideoMemory.MemoryAvailable();
  const std::uint64_t Before = ResidentBytes();
  // Beyond the free memory of the device's heap, beyond 4 GB, and beyond any machine.
  for (const std::int64_t Size :
       {static_cast<std::int64_t>(Free) + MB, 4096 * MB, std::int64_t{1} << 40, std::numeric_limits<std::int64_t>::max(),
        std::int64_t{0}, -MB}) {
    EXPECT_EQ(FVideoMemory.Items.Add(Size), nullptr) << Size;
    TVraxItem Item(&FVideoMemory.Items);
    Item.Size = Size;
    EXPECT_EQ(ErrorOf([&] { FVideoMemory.AllocateMemory(Item); }), "Error: CreateBuffer.") << Size;
  }
  EXPECT_EQ(FVideoMemory.Items.Count(), 0);
  EXPECT_LT(ResidentBytes() - Before, std::uint64_t(MB));
  EXPECT_EQ(FVideoMemory.MemoryAvailable(), Free);
}

TEST_F(VulkanAllocator, UnlockUnmapsTheBlockOnceAndFreeReleasesIt) {
  const std::uint64_t Before = FVideoMemory.MemoryAvailable();
  TVraxItem* Item = FVideoMemory.Items.Add(1 * MB);
  ASSERT_NE(Item, nullptr);
  EXPECT_TRUE(FVideoMemory.UnlockMemory(*Item));
  EXPECT_EQ(Item->PMemory, nullptr);
  EXPECT_EQ(ErrorOf([&] { FVideoMemory.UnlockMemory(*Item); }), "Error: Buffer.UnLock.");
  FVideoMemory.FreeMemory(*Item);
  EXPECT_EQ(Item->Buffer, nullptr);
  EXPECT_EQ(FVideoMemory.Items.Count(), 1);
  EXPECT_EQ(FVideoMemory.MemoryAvailable(), Before);
}

TEST(VulkanAllocatorLimits, RefusesABlockLargerThanTheSystemMemoryAvailable) {
  // lavapipe's device memory is system RAM: backing more than is available would bring the
  // out-of-memory killer.
  TVulkanGraphicsOptions Options;
  Options.AvailableSystemMemory = [] { return std::optional<std::uint64_t>(4 * MB); };
  TVraxDirect3D9 VideoMemory(false, VulkanWith(Options));
  EXPECT_EQ(VideoMemory.Items.Add(8 * MB), nullptr);
  EXPECT_NE(VideoMemory.Items.Add(2 * MB), nullptr);
}

TEST(VulkanLoader, WithoutALoaderOrAnInstanceTheObjectCannotBeCreated) {
  for (const char* Loader : {"libvulkan-velmora-absent.so.1", "libm.so.6"}) {
    TVulkanGraphicsOptions Options;
    Options.LoaderFileName = Loader;
    EXPECT_EQ(OpenVulkanGraphics(Options), nullptr) << Loader;
    EXPECT_EQ(ErrorOf([&] { TVraxDirect3D9 VideoMemory(false, VulkanWith(Options)); }), "Error: Creating D3D Object!")
        << Loader;
    TVraxDirect3D9 Quiet(true, VulkanWith(Options));
    EXPECT_FALSE(Quiet.HasDevice());
    EXPECT_EQ(Quiet.Items.Add(MB), nullptr);
  }
}

// Points the Vulkan loader at the given driver manifest for one test.
class TScopedDriverManifest {
 public:
  explicit TScopedDriverManifest(const char* Manifest) {
    // VK_DRIVER_FILES is the newer loaders' name for the same list.
    for (const char* Name : {"VK_ICD_FILENAMES", "VK_DRIVER_FILES"}) setenv(Name, Manifest, 1);
  }
  ~TScopedDriverManifest() {
    for (const char* Name : {"VK_ICD_FILENAMES", "VK_DRIVER_FILES"}) unsetenv(Name);
  }
  TScopedDriverManifest(const TScopedDriverManifest&) = delete;
  TScopedDriverManifest& operator=(const TScopedDriverManifest&) = delete;
};

TEST(VulkanLoader, WithoutADriverTheObjectCannotBeCreated) {
  // The loader is there, but it finds no driver, so no instance can be made.
  TScopedDriverManifest NoDriver("/nonexistent/velmora_icd.json");
  EXPECT_EQ(ErrorOf([] { TVraxDirect3D9 VideoMemory(false); }), "Error: Creating D3D Object!");
}

TEST(VulkanLoader, WithADriverThatFindsNoAdapterTheDeviceCannotBeCreated) {
  // Mesa's Intel driver, installed with lavapipe, makes an instance but finds no Intel GPU here.
  const char* const Manifest = "/usr/share/vulkan/icd.d/intel_icd.x86_64.json";
  // mesa-vulkan-drivers, which make test installs, brings it: only a machine set up otherwise lacks it.
  if (!std::ifstream(Manifest)) {
    if (std::getenv("CI") != nullptr) FAIL() << "no " << Manifest << " in CI, where make test installs it";
    GTEST_SKIP() << "no " << Manifest;
  }
  TScopedDriverManifest IntelOnly(Manifest);
  TVraxDirect3D9 Probe(true);
  if (Probe.HasDevice()) GTEST_SKIP() << "this machine has an Intel GPU: " << Probe.D3DADAPTER_ID.Description;
  EXPECT_EQ(ErrorOf([] { TVraxDirect3D9 VideoMemory(false); }), "Error: Creating D3D Device!");
}

}  // namespace
