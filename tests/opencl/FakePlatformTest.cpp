#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DCLPlatform.h"
#include "DCLText.h"
#include "FakeOpenCLLoader.h"

using namespace std::string_literals;

namespace {

class FakePlatformTest : public testing::Test {
 protected:
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
};

TFakeDevice DeviceOfType(cl_device_type Type) { return TFakeDevice{.Type = Type}; }

}  // namespace

TEST_F(FakePlatformTest, NoPlatformAtAllGivesAnEmptyList) {
  const TDCLPlatforms Platforms;
  EXPECT_EQ(Platforms.PlatformCount(), 0u);
  EXPECT_EQ(Platforms.Status(), FakePlatformNotFound);
  EXPECT_EQ(Platforms.GetPlatform(0), nullptr);
}

TEST_F(FakePlatformTest, TextsKeepTheirNulAndIndicesOutOfRangeGiveNull) {
  Fake.Platforms = {TFakePlatform{.Name = "First"},
                    TFakePlatform{.Profile = "EMBEDDED_PROFILE",
                                  .Version = "OpenCL 1.1 Second",
                                  .Name = "Second",
                                  .Vendor = "Second Vendor",
                                  .Devices = {TFakeDevice{.Name = "Alpha"}, TFakeDevice{.Name = "Beta"}}}};
  const TDCLPlatforms Platforms;
  ASSERT_EQ(Platforms.PlatformCount(), 2u);
  EXPECT_EQ(Platforms.Status(), CL_SUCCESS);
  EXPECT_EQ(Platforms.GetPlatform(2), nullptr);
  EXPECT_EQ(Platforms.GetPlatform(4294967295u), nullptr);

  const TDCLPlatform& Second = *Platforms.GetPlatform(1);
  EXPECT_EQ(Second.Profile(), "EMBEDDED_PROFILE\0"s);
  EXPECT_EQ(Second.Version(), "OpenCL 1.1 Second\0"s);
  EXPECT_EQ(Second.Name(), "Second\0"s);
  EXPECT_EQ(DisplayText(Second.Name()), "Second");
  EXPECT_EQ(Second.Vendor(), "Second Vendor\0"s);
  EXPECT_EQ(Second.Status(), CL_SUCCESS);
  EXPECT_EQ(DisplayText(Platforms.GetPlatform(0)->Name()), "First");

  ASSERT_EQ(Second.DeviceCount(), 2u);
  EXPECT_EQ(Second.GetDevice(0)->Name(), "Alpha\0"s);
  EXPECT_EQ(Second.GetDevice(1)->Name(), "Beta\0"s);
  EXPECT_EQ(Second.GetDevice(2), nullptr);
  EXPECT_EQ(Second.GetDevice(4294967295u), nullptr);
}

TEST_F(FakePlatformTest, PlatformWithoutDevicesHasEmptyListsAndNoDeviceWithMax) {
  struct TCase {
    TFakePlatform Platform;
    cl_int Status;
  };
  const std::vector<TCase> Cases = {
      {TFakePlatform{}, CL_DEVICE_NOT_FOUND},
      // A count that arrives with an error is not believed: nothing is made from it.
      {TFakePlatform{.Devices = {TFakeDevice{}, TFakeDevice{}}, .DeviceIDsError = CL_OUT_OF_HOST_MEMORY},
       CL_OUT_OF_HOST_MEMORY},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Status);
    Fake.Platforms = {Case.Platform};
    const TDCLPlatforms Platforms;
    const TDCLPlatform& Platform = *Platforms.GetPlatform(0);
    EXPECT_EQ(Platform.DeviceCount(), 0u);
    EXPECT_EQ(Platform.Status(), Case.Status);
    EXPECT_EQ(Platform.CPUCount() + Platform.GPUCount() + Platform.AcceleratorCount(), 0u);
    EXPECT_EQ(Platform.GetDevice(0), nullptr);
    EXPECT_EQ(Platform.GetCPU(0), nullptr);
    EXPECT_EQ(Platform.DeviceWithMaxGlobalMemSize(), nullptr);
    EXPECT_EQ(Platform.DeviceWithMaxClockFrequency(), nullptr);
    EXPECT_EQ(Fake.CallCount("clGetDeviceInfo"), 0);
  }
}

TEST_F(FakePlatformTest, DeviceTypeBitsPlaceEachDeviceInItsLists) {
  Fake.Platforms = {TFakePlatform{
      .Devices = {DeviceOfType(CL_DEVICE_TYPE_CPU | CL_DEVICE_TYPE_GPU), DeviceOfType(CL_DEVICE_TYPE_DEFAULT),
                  DeviceOfType(CL_DEVICE_TYPE_ACCELERATOR), DeviceOfType(CL_DEVICE_TYPE_GPU),
                  DeviceOfType(CL_DEVICE_TYPE_CPU | CL_DEVICE_TYPE_DEFAULT)}}};
  const TDCLPlatforms Platforms;
  const TDCLPlatform& Platform = *Platforms.GetPlatform(0);
  ASSERT_EQ(Platform.DeviceCount(), 5u);

  EXPECT_EQ(Platform.CPUCount(), 2u);
  EXPECT_EQ(Platform.GetCPU(0), Platform.GetDevice(0));
  EXPECT_EQ(Platform.GetCPU(1), Platform.GetDevice(4));
  EXPECT_EQ(Platform.GetCPU(2), nullptr);
  EXPECT_EQ(Platform.GPUCount(), 2u);
  EXPECT_EQ(Platform.GetGPU(0), Platform.GetDevice(0));
  EXPECT_EQ(Platform.GetGPU(1), Platform.GetDevice(3));
  EXPECT_EQ(Platform.GetGPU(2), nullptr);
  EXPECT_EQ(Platform.AcceleratorCount(), 1u);
  EXPECT_EQ(Platform.GetAccelerator(0), Platform.GetDevice(2));
  EXPECT_EQ(Platform.GetAccelerator(1), nullptr);

  const TDCLDevice& DefaultOnly = *Platform.GetDevice(1);
  EXPECT_TRUE(DefaultOnly.IsDefault());
  EXPECT_FALSE(DefaultOnly.IsCPU() || DefaultOnly.IsGPU() || DefaultOnly.IsAccelerator());
  const TDCLDevice& DefaultCPU = *Platform.GetDevice(4);
  EXPECT_TRUE(DefaultCPU.IsCPU() && DefaultCPU.IsDefault());
  EXPECT_FALSE(DefaultCPU.IsGPU() || DefaultCPU.IsAccelerator());
}

TEST_F(FakePlatformTest, PlatformAndDeviceSplitTheSameExtensionTextByTheirOwnRules) {
  const std::string Text = "cl_khr_icd cl_khr_fp64 ";
  Fake.Platforms = {TFakePlatform{.Extensions = Text, .Devices = {TFakeDevice{.Extensions = Text}}}};
  const TDCLPlatforms Platforms;
  const TDCLPlatform& Platform = *Platforms.GetPlatform(0);
  const TDCLDevice& Device = *Platform.GetDevice(0);

  EXPECT_EQ(Platform.ExtensionsString(), Text + '\0');
  ASSERT_EQ(Platform.ExtensionsCount(), 3u);
  EXPECT_EQ(Platform.GetExtensions(0), "CL_KHR_ICD");
  EXPECT_EQ(Platform.GetExtensions(1), "CL_KHR_FP64");
  EXPECT_EQ(Platform.GetExtensions(2), "");
  EXPECT_EQ(Platform.GetExtensions(3), "");
  EXPECT_TRUE(Platform.IsPresentExtension("Cl_Khr_Fp64"));
  EXPECT_FALSE(Platform.IsPresentExtension("cl_khr_fp6"));

  EXPECT_EQ(Device.ExtensionsString(), Text + '\0');
  ASSERT_EQ(Device.ExtensionsCount(), 2u);
  EXPECT_EQ(Device.GetExtensions(0), "CL_KHR_ICD");
  EXPECT_EQ(Device.GetExtensions(1), "CL_KHR_FP64");
  EXPECT_EQ(Device.GetExtensions(2), "");
  EXPECT_TRUE(Device.IsPresentExtension("cl_KHR_icd"));
  EXPECT_FALSE(Device.IsPresentExtension("cl_khr_fp64 "));
}

TEST_F(FakePlatformTest, DeviceWithMaxPicksTheFirstOfTheLargestValuesComparedInFullWidth) {
  using TQuery = PDCLDevice (TDCLPlatform::*)() const;
  struct TCase {
    const char* Property;
    cl_device_info Parameter;
    TQuery Query;
    bool Is64Bit;
  };
  const std::vector<TCase> Cases = {
      {"MaxClockFrequency", CL_DEVICE_MAX_CLOCK_FREQUENCY, &TDCLPlatform::DeviceWithMaxClockFrequency, false},
      {"MaxComputeUnits", CL_DEVICE_MAX_COMPUTE_UNITS, &TDCLPlatform::DeviceWithMaxComputeUnits, false},
      {"GlobalMemCacheLineSize", CL_DEVICE_GLOBAL_MEM_CACHELINE_SIZE,
       &TDCLPlatform::DeviceWithMaxGlobalMemCacheLineSize, false},
      {"GlobalMemCacheSize", CL_DEVICE_GLOBAL_MEM_CACHE_SIZE, &TDCLPlatform::DeviceWithMaxGlobalMemCacheSize, true},
      {"GlobalMemSize", CL_DEVICE_GLOBAL_MEM_SIZE, &TDCLPlatform::DeviceWithMaxGlobalMemSize, true},
      {"Image2DWidth", CL_DEVICE_IMAGE2D_MAX_WIDTH, &TDCLPlatform::DeviceWithMaxImage2DWidth, true},
      {"Image2DHeight", CL_DEVICE_IMAGE2D_MAX_HEIGHT, &TDCLPlatform::DeviceWithMaxImage2DHeight, true},
      {"Image3DWidth", CL_DEVICE_IMAGE3D_MAX_WIDTH, &TDCLPlatform::DeviceWithMaxImage3DWidth, true},
      {"Image3DHeight", CL_DEVICE_IMAGE3D_MAX_HEIGHT, &TDCLPlatform::DeviceWithMaxImage3DHeight, true},
      {"Image3DDepth", CL_DEVICE_IMAGE3D_MAX_DEPTH, &TDCLPlatform::DeviceWithMaxImage3DDepth, true},
      {"LocalMemSize", CL_DEVICE_LOCAL_MEM_SIZE, &TDCLPlatform::DeviceWithMaxLocalMemSize, true},
      {"ConstantArgs", CL_DEVICE_MAX_CONSTANT_ARGS, &TDCLPlatform::DeviceWithMaxConstantArgs, false},
      {"ConstantBufferSize", CL_DEVICE_MAX_CONSTANT_BUFFER_SIZE, &TDCLPlatform::DeviceWithMaxConstantBufferSize, true},
      {"MemAllocSize", CL_DEVICE_MAX_MEM_ALLOC_SIZE, &TDCLPlatform::DeviceWithMaxMemAllocSize, true},
      {"ParameterSize", CL_DEVICE_MAX_PARAMETER_SIZE, &TDCLPlatform::DeviceWithMaxParameterSize, true},
      {"ReadImageArgs", CL_DEVICE_MAX_READ_IMAGE_ARGS, &TDCLPlatform::DeviceWithMaxReadImageArgs, false},
      {"Samplers", CL_DEVICE_MAX_SAMPLERS, &TDCLPlatform::DeviceWithMaxSamplers, false},
      {"WorkGroupSize", CL_DEVICE_MAX_WORK_GROUP_SIZE, &TDCLPlatform::DeviceWithMaxWorkGroupSize, true},
      {"WorkItemDimensions", CL_DEVICE_MAX_WORK_ITEM_DIMENSIONS, &TDCLPlatform::DeviceWithMaxWorkItemDimensions, false},
      {"WriteImageArgs", CL_DEVICE_MAX_WRITE_IMAGE_ARGS, &TDCLPlatform::DeviceWithMaxWriteImageArgs, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Property);
    // Device 0 is smallest, 1 and 2 tie for the largest. For the 64-bit properties the largest is
    // 2^32 + 1, which cut to 32 bits would tie with device 0's 1 and lose to it.
    const cl_ulong Largest = Case.Is64Bit ? 0x100000001ull : 7;
    Fake.Platforms = {TFakePlatform{.Devices = {TFakeDevice{.Values = {{Case.Parameter, 1}}},
                                                TFakeDevice{.Values = {{Case.Parameter, Largest}}},
                                                TFakeDevice{.Values = {{Case.Parameter, Largest}}}}}};
    const TDCLPlatforms Platforms;
    const TDCLPlatform& Platform = *Platforms.GetPlatform(0);
    EXPECT_EQ((Platform.*Case.Query)(), Platform.GetDevice(1));
  }
}
