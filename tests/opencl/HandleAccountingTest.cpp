#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "DCLPlatform.h"
#include "FakeOpenCLLoader.h"

namespace {

class HandleAccountingTest : public testing::Test {
 protected:
  const TFakeHandle& HandleOf(const void* Value) const {
    const TFakeHandle* Found = Fake.FindHandle(Value);
    if (Found == nullptr) throw std::runtime_error("the fake never made this handle");
    return *Found;
  }
  void ExpectEveryHandleReleasedOnce() const {
    for (const TFakeHandle& Handle : Fake.Handles)
      EXPECT_EQ(Handle.Releases, 1) << "handle kind " << static_cast<int>(Handle.Kind) << " made at "
                                    << Handle.CreatedAt;
    EXPECT_EQ(Fake.UnknownReleases, 0);
    EXPECT_EQ(Fake.UnknownHandleUses, 0);
  }

  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
};

}  // namespace

TEST_F(HandleAccountingTest, AFullTreeAndAFullSetOfObjectsReleaseEveryHandleOnceInReverseOrder) {
  Fake.Platforms = {TFakePlatform{.Devices = {TFakeDevice{}, TFakeDevice{}}},
                    TFakePlatform{.Devices = {TFakeDevice{}}}};
  Fake.Timings = {{0, 2'000'000}, {0, 1'000'000}, {10, 20}, {10, 20}};
  std::vector<const void*> Made;  // the objects below, in the order they were made
  std::vector<const void*> DeviceContexts;
  {
    const TDCLPlatforms Platforms;
    for (std::uint32_t P = 0; P < Platforms.PlatformCount(); ++P)
      for (std::uint32_t D = 0; D < Platforms.GetPlatform(P)->DeviceCount(); ++D)
        DeviceContexts.push_back(Platforms.GetPlatform(P)->GetDevice(D)->Context().Handle());
    const TDCLDevice& Device = *Platforms.GetPlatform(0)->GetDevice(0);

    // The shape of an OpenCL benchmark run, plus the objects it does not use.
    std::vector<unsigned char> Host(1 << 20);
    const std::uint64_t WordCount = Host.size() / 4;
    const auto Queue = Device.CreateCommandQueue({});
    const auto Source = Device.CreateBuffer(Host.size(), Host.data(), {mfReadOnly, mfUseHostPtr});
    const auto Destination = Device.CreateBuffer(Host.size(), nullptr, {mfWriteOnly});
    const char* Text = "__kernel void speedreadkernel() {}";
    const auto Program = Device.CreateProgramString(&Text, nullptr);
    const auto Kernel = Program->CreateKernel("speedreadkernel");
    const auto Context = Device.CreateContext();
    const auto OtherQueue = Device.CreateCommandQueue(*Context, {cqpOutOfOrderExecModeEnable});
    const TCL_image_format Format{CL_RGBA, CL_UNORM_INT8};
    const auto Image = Device.CreateImage2D(&Format, 4, 4, 0, nullptr, {mfReadWrite});
    Made = {Queue->Handle(),  Source->Handle(),  Destination->Handle(), Program->Handle(),
            Kernel->Handle(), Context->Handle(), OtherQueue->Handle(),  Image->Handle()};

    Kernel->SetArg(0, *Source);
    Kernel->SetArg(1, *Destination);
    Kernel->SetArg(2, 8, &WordCount);
    for (int Pass = 0; Pass < 2; ++Pass) {
      Queue->Execute(*Kernel, 1920);
      EXPECT_GT(Queue->ExecuteTime(), 0u);
    }
    Queue->ReadBuffer(*Destination, Host.size(), Host.data());
    Queue->WriteImage2D(*Image, 4, 4, Host.data());
  }

  ExpectEveryHandleReleasedOnce();
  EXPECT_EQ(Fake.Contexts.size(), 4u);
  EXPECT_EQ(Fake.Queues.size(), 2u);
  EXPECT_EQ(Fake.MemObjects.size(), 3u);
  EXPECT_EQ(Fake.Programs.size(), 1u);
  EXPECT_EQ(Fake.Kernels.size(), 1u);
  EXPECT_EQ(std::ranges::count(Fake.Handles, TFakeHandleKind::Event, &TFakeHandle::Kind), 4);

  // The objects went in the reverse order of their making, all of them before any device context,
  // and the tree released the device contexts in device order.
  for (std::size_t Index = 1; Index < Made.size(); ++Index)
    EXPECT_LT(HandleOf(Made[Index]).ReleasedAt, HandleOf(Made[Index - 1]).ReleasedAt) << Index;
  ASSERT_EQ(DeviceContexts.size(), 3u);
  EXPECT_GT(HandleOf(DeviceContexts[0]).ReleasedAt, HandleOf(Made[0]).ReleasedAt);
  EXPECT_LT(HandleOf(DeviceContexts[0]).ReleasedAt, HandleOf(DeviceContexts[1]).ReleasedAt);
  EXPECT_LT(HandleOf(DeviceContexts[1]).ReleasedAt, HandleOf(DeviceContexts[2]).ReleasedAt);
}

TEST_F(HandleAccountingTest, AProgramWhoseBinaryCannotBeHeldRaisesAndReleasesItsHandle) {
  Fake.Platforms = {TFakePlatform{.Devices = {TFakeDevice{}}}};
  // No allocation of this size can succeed, so it fails at once without touching any memory.
  Fake.Program.ReportedBinarySize = std::numeric_limits<std::size_t>::max() / 4;
  {
    const TDCLPlatforms Platforms;
    const char* Text = "__kernel void speedreadkernel() {}";
    EXPECT_THROW(Platforms.GetPlatform(0)->GetDevice(0)->CreateProgramString(&Text, nullptr), std::bad_alloc);
    ASSERT_EQ(Fake.Programs.size(), 1u);
  }
  ExpectEveryHandleReleasedOnce();
}
