// The allocator's own logic over a fake adapter: its errors, its list and the order in which it
// lets go of what it holds.
#include "VraxDirect3D9.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ErrorOf.h"
#include "FakeGraphicsDevice.h"

namespace {

using Events = std::vector<std::string>;
constexpr std::int64_t MB = 1 << 20;

TEST(VraxDirect3D9, WithoutTheInterfaceOrADeviceTheConstructorRaisesOrLeavesNoDevice) {
  struct TCase {
    bool HasInterface;
    bool HasDevice;
    const char* Message;
  };
  for (const TCase& Case : {TCase{false, true, "Error: Creating D3D Object!"},
                            TCase{true, false, "Error: Creating D3D Device!"}}) {
    TFakeGraphics Fake;
    Fake.HasInterface = Case.HasInterface;
    Fake.HasDevice = Case.HasDevice;
    EXPECT_EQ(ErrorOf([&] { TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake)); }), Case.Message);
    // What the constructor made before the error is released with it.
    EXPECT_EQ(Fake.Events, Case.HasInterface ? Events{"close interface"} : Events{});

    TVraxDirect3D9 Quiet(true, FakeGraphicsInterface(Fake));
    EXPECT_FALSE(Quiet.HasDevice());
    EXPECT_EQ(Quiet.D3DADAPTER_ID.Description, "");
    EXPECT_EQ(Quiet.MemoryAvailable(), 0u);
    EXPECT_EQ(Quiet.Items.Add(4 * MB), nullptr);
    TVraxItem Item(&Quiet.Items);
    Item.Size = 4 * MB;
    EXPECT_FALSE(Quiet.AllocateMemory(Item));  // without a device not even a raising allocator raises
    Quiet.SuppressErrors = false;
    EXPECT_FALSE(Quiet.AllocateMemory(Item));
  }
}

TEST(VraxDirect3D9, OpensTheDeviceAndNamesTheAdapter) {
  TFakeGraphics Fake;
  Fake.Description = "Radeon Fake 9000";
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  EXPECT_TRUE(VideoMemory.HasDevice());
  EXPECT_EQ(VideoMemory.D3DADAPTER_ID.Description, "Radeon Fake 9000");
  EXPECT_EQ(VideoMemory.MemoryAvailable(), Fake.TotalMemory);
}

TEST(VraxDirect3D9, AllocationFailuresRaiseTheirMessagesOrAnswerFalse) {
  struct TCase {
    std::int64_t Size;
    bool MapFails;
    const char* Message;
    bool KeepsBuffer;  // an unmapped buffer stays with the item
  };
  const TCase Cases[] = {
      {2048 * MB, false, "Error: CreateBuffer.", false},  // more than the adapter has
      {0, false, "Error: CreateBuffer.", false},
      {-4 * MB, false, "Error: CreateBuffer.", false},
      {4 * MB, true, "Error: Buffer.Lock. Could not allocate GFX memory.", true},
  };
  for (const TCase& Case : Cases) {
    for (const bool Suppress : {false, true}) {
      TFakeGraphics Fake;
      Fake.MapFails = Case.MapFails;
      TVraxDirect3D9 VideoMemory(Suppress, FakeGraphicsInterface(Fake));
      TVraxItem Item(&VideoMemory.Items);
      Item.Size = Case.Size;
      if (Suppress)
        EXPECT_FALSE(VideoMemory.AllocateMemory(Item)) << Case.Message;
      else
        EXPECT_EQ(ErrorOf([&] { VideoMemory.AllocateMemory(Item); }), Case.Message);
      EXPECT_EQ(Item.Buffer != nullptr, Case.KeepsBuffer) << Case.Message;
      EXPECT_EQ(Item.PMemory, nullptr);
      // Add swallows the same failure and keeps nothing of it.
      EXPECT_EQ(VideoMemory.Items.Add(Case.Size), nullptr);
      EXPECT_EQ(VideoMemory.Items.Count(), 0);
    }
  }
}

TEST(VraxDirect3D9, ABlockOfFourGigabytesOnAnAdapterThatHoldsItIsServedWhole) {
  TFakeGraphics Fake;
  Fake.TotalMemory = std::uint64_t{6} << 30;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TVraxItem* Item = VideoMemory.Items.Add(4096 * MB);
  ASSERT_NE(Item, nullptr);
  EXPECT_EQ(Item->Size, 4096 * MB);
  EXPECT_NE(Item->PMemory, nullptr);
  EXPECT_EQ(Fake.Events, (Events{"create 4294967296", "map"}));
  EXPECT_EQ(VideoMemory.MemoryAvailable(), std::uint64_t{2} << 30);
}

TEST(VraxDirect3D9, UnlockAndFreeLeaveTheItemInTheListWithoutAnAddress) {
  TFakeGraphics Fake;
  TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
  TVraxItem* Item = VideoMemory.Items.Add(4 * MB);
  ASSERT_NE(Item, nullptr);
  EXPECT_TRUE(VideoMemory.UnlockMemory(*Item));
  EXPECT_EQ(Item->PMemory, nullptr);  // unmapped: walking it would fault
  EXPECT_NE(Item->Buffer, nullptr);
  EXPECT_EQ(ErrorOf([&] { VideoMemory.UnlockMemory(*Item); }), "Error: Buffer.UnLock.");
  VideoMemory.FreeMemory(*Item);
  EXPECT_EQ(Item->Buffer, nullptr);
  EXPECT_EQ(Item->PMemory, nullptr);
  EXPECT_EQ(VideoMemory.Items.Count(), 1);
  EXPECT_EQ(VideoMemory.Items.GetItem(0), Item);
  EXPECT_EQ(VideoMemory.MemoryAvailable(), Fake.TotalMemory);
  // An item without a buffer has nothing to unlock.
  EXPECT_EQ(ErrorOf([&] { VideoMemory.UnlockMemory(*Item); }), "Error: Buffer.UnLock.");
  VideoMemory.SuppressErrors = true;
  EXPECT_FALSE(VideoMemory.UnlockMemory(*Item));
}

class VraxItems : public ::testing::Test {
 protected:
  // Adds blocks of 1, 2, 3 ... MB, so that each is known by its size.
  void AddBlocks(int Count) {
    for (int Block = 1; Block <= Count; ++Block) ASSERT_NE(FVideoMemory.Items.Add(Block * MB), nullptr);
  }
  std::vector<std::int64_t> SizesInOrder() const {
    std::vector<std::int64_t> Sizes;
    for (std::int32_t Index = 0; Index < FVideoMemory.Items.Count(); ++Index) {
      const TVraxItem* Item = FVideoMemory.Items.GetItem(Index);
      EXPECT_EQ(Item->Index, Index);
      Sizes.push_back(Item->Size / MB);
    }
    return Sizes;
  }

  TFakeGraphics FFake;
  TVraxDirect3D9 FVideoMemory{false, FakeGraphicsInterface(FFake)};
};

TEST_F(VraxItems, DeleteDestroysTheItemAndRenumbersTheRest) {
  AddBlocks(4);
  FVideoMemory.Items.Delete(1);
  EXPECT_EQ(SizesInOrder(), (std::vector<std::int64_t>{1, 3, 4}));
  FVideoMemory.Items.GetItem(0)->Delete();
  EXPECT_EQ(SizesInOrder(), (std::vector<std::int64_t>{3, 4}));
  EXPECT_EQ(FFake.Events.back(), "release 1048576");
  EXPECT_EQ(FFake.Held, std::uint64_t(7 * MB));
}

TEST_F(VraxItems, AnIndexOutsideTheListIsRefusedWithTheListsMessage) {
  EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.GetItem(0); }), "List index out of bounds (0).  TList is empty");
  EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.Delete(0); }), "List index out of bounds (0).  TList is empty");
  AddBlocks(2);
  const Events Before = FFake.Events;
  struct TCase {
    std::int32_t Index;
    const char* Message;
  };
  for (const TCase& Case : {TCase{3, "List index out of bounds (3).  TList range is 0..1"},
                            TCase{2, "List index out of bounds (2).  TList range is 0..1"},
                            TCase{-1, "List index out of bounds (-1).  TList range is 0..1"}}) {
    EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.GetItem(Case.Index); }), Case.Message);
    EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.Delete(Case.Index); }), Case.Message);
    EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.SetItem(Case.Index, std::make_unique<TVraxItem>(nullptr)); }),
              Case.Message);
  }
  EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.Delete(5); }), "List index out of bounds (5).  TList range is 0..1");
  EXPECT_EQ(FFake.Events, Before);  // nothing was destroyed
  EXPECT_EQ(SizesInOrder(), (std::vector<std::int64_t>{1, 2}));
}

TEST_F(VraxItems, DeletingTheOnlyItemEmptiesTheList) {
  AddBlocks(1);
  FVideoMemory.Items.GetItem(0)->Delete();
  EXPECT_EQ(FVideoMemory.Items.Count(), 0);
  EXPECT_EQ(ErrorOf([&] { FVideoMemory.Items.GetItem(0); }), "List index out of bounds (0).  TList is empty");
  EXPECT_EQ(FFake.Held, 0u);
}

TEST_F(VraxItems, SetItemHandsBackTheItemItReplacesUntouched) {
  AddBlocks(2);
  TVraxItem* const Second = FVideoMemory.Items.GetItem(1);
  auto Replacement = std::make_unique<TVraxItem>(&FVideoMemory.Items);
  Replacement->Size = 9 * MB;
  Replacement->Index = 1;
  std::unique_ptr<TVraxItem> Replaced = FVideoMemory.Items.SetItem(1, std::move(Replacement));
  EXPECT_EQ(Replaced.get(), Second);
  EXPECT_NE(Replaced->Buffer, nullptr);  // not destroyed: its buffer is still held
  EXPECT_EQ(FVideoMemory.Items.GetItem(1)->Size, 9 * MB);
  EXPECT_THROW(FVideoMemory.Items.SetItem(0, nullptr), std::invalid_argument);
  Replaced.reset();
  EXPECT_EQ(FFake.Events.back(), "release 2097152");
}

TEST_F(VraxItems, ClearDestroysEveryItemInListOrder) {
  AddBlocks(3);
  FFake.Events.clear();
  FVideoMemory.Items.Clear();
  EXPECT_EQ(FFake.Events, (Events{"release 1048576", "release 2097152", "release 3145728"}));
  EXPECT_EQ(FVideoMemory.Items.Count(), 0);
}

TEST(VraxDirect3D9, LetsGoOfTheBlocksThenTheDeviceThenTheInterface) {
  TFakeGraphics Fake;
  {
    TVraxDirect3D9 VideoMemory(false, FakeGraphicsInterface(Fake));
    ASSERT_NE(VideoMemory.Items.Add(1 * MB), nullptr);
    ASSERT_NE(VideoMemory.Items.Add(2 * MB), nullptr);
    Fake.Events.clear();
  }
  EXPECT_EQ(Fake.Events, (Events{"release 1048576", "release 2097152", "close device", "close interface"}));
}

}  // namespace
