#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DCLPlatform.h"
#include "FakeOpenCLLoader.h"

using namespace std::string_literals;

namespace {

class FakeDeviceTest : public testing::Test {
 protected:
  // A tree of one platform with the given devices; the device under test is device 0.
  const TDCLPlatforms& Build(std::vector<TFakeDevice> Devices) {
    Fake.Platforms = {TFakePlatform{.Devices = std::move(Devices)}};
    Platforms = std::make_unique<TDCLPlatforms>();
    return *Platforms;
  }
  const TDCLDevice& Device(std::uint32_t Index = 0) const { return *Platforms->GetPlatform(0)->GetDevice(Index); }

  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  std::unique_ptr<TDCLPlatforms> Platforms;
};

struct TNumberCase {
  cl_device_info Parameter;
  std::function<std::uint64_t(const TDCLDevice&)> Read;
  int Width;  // bytes, as the OpenCL API defines the parameter
};

#define NUMBER(Parameter, Property, Width)                                                        \
  TNumberCase {                                                                                   \
    Parameter, [](const TDCLDevice& Device) -> std::uint64_t { return Device.Property(); }, Width \
  }

const std::vector<TNumberCase> NumberCases = {
    NUMBER(CL_DEVICE_MAX_WORK_GROUP_SIZE, MaxWorkGroupSize, 8),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_CHAR, NativeVectorPreferredChar, 4),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_SHORT, NativeVectorPreferredShort, 4),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_INT, NativeVectorPreferredInt, 4),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_LONG, NativeVectorPreferredLong, 4),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_FLOAT, NativeVectorPreferredFloat, 4),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_DOUBLE, NativeVectorPreferredDouble, 4),
    NUMBER(CL_DEVICE_PREFERRED_VECTOR_WIDTH_HALF, NativeVectorPreferredHalf, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_CHAR, NativeVectorWidthChar, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_SHORT, NativeVectorWidthShort, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_INT, NativeVectorWidthInt, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_LONG, NativeVectorWidthLong, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_FLOAT, NativeVectorWidthFloat, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_DOUBLE, NativeVectorWidthDouble, 4),
    NUMBER(CL_DEVICE_NATIVE_VECTOR_WIDTH_HALF, NativeVectorWidthHalf, 4),
    NUMBER(CL_DEVICE_MAX_CLOCK_FREQUENCY, MaxClockFrequency, 4),
    NUMBER(CL_DEVICE_ADDRESS_BITS, AddressBits, 4),
    NUMBER(CL_DEVICE_MAX_MEM_ALLOC_SIZE, MaxMemAllocSize, 8),
    NUMBER(CL_DEVICE_MAX_READ_IMAGE_ARGS, MaxReadImageArgs, 4),
    NUMBER(CL_DEVICE_MAX_WRITE_IMAGE_ARGS, MaxWriteImageArgs, 4),
    NUMBER(CL_DEVICE_IMAGE2D_MAX_WIDTH, Image2DMaxWidth, 8),
    NUMBER(CL_DEVICE_IMAGE2D_MAX_HEIGHT, Image2DMaxHeight, 8),
    NUMBER(CL_DEVICE_IMAGE3D_MAX_WIDTH, Image3DMaxWidth, 8),
    NUMBER(CL_DEVICE_IMAGE3D_MAX_HEIGHT, Image3DMaxHeight, 8),
    NUMBER(CL_DEVICE_IMAGE3D_MAX_DEPTH, Image3DMaxDepth, 8),
    NUMBER(CL_DEVICE_MAX_SAMPLERS, MaxSamplers, 4),
    NUMBER(CL_DEVICE_MAX_PARAMETER_SIZE, MaxParameterSize, 8),
    NUMBER(CL_DEVICE_MEM_BASE_ADDR_ALIGN, MemBaseAddrAlign, 4),
    NUMBER(CL_DEVICE_MIN_DATA_TYPE_ALIGN_SIZE, MinDataTypeAlignSize, 4),
    NUMBER(CL_DEVICE_GLOBAL_MEM_CACHELINE_SIZE, GlobalMemCacheLineSize, 4),
    NUMBER(CL_DEVICE_GLOBAL_MEM_CACHE_SIZE, GlobalMemCacheSize, 8),
    NUMBER(CL_DEVICE_GLOBAL_MEM_SIZE, GlobalMemSize, 8),
    NUMBER(CL_DEVICE_MAX_CONSTANT_BUFFER_SIZE, MaxConstantBufferSize, 8),
    NUMBER(CL_DEVICE_MAX_CONSTANT_ARGS, MaxConstantArgs, 4),
    NUMBER(CL_DEVICE_LOCAL_MEM_SIZE, LocalMemSize, 8),
    NUMBER(CL_DEVICE_PROFILING_TIMER_RESOLUTION, ProfilingTimerResolution, 8),
    NUMBER(CL_DEVICE_VENDOR_ID, VendorId, 4),
    NUMBER(CL_DEVICE_MAX_COMPUTE_UNITS, MaxComputeUnits, 4),
    NUMBER(CL_DEVICE_MAX_WORK_ITEM_DIMENSIONS, MaxWorkItemDimensions, 4),
};

struct TFlagCase {
  cl_device_info Parameter;
  std::function<bool(const TDCLDevice&)> Read;
};

#define FLAG(Parameter, Property)                                         \
  TFlagCase {                                                             \
    Parameter, [](const TDCLDevice& Device) { return Device.Property(); } \
  }

const std::vector<TFlagCase> FlagCases = {
    FLAG(CL_DEVICE_IMAGE_SUPPORT, IsImageSupport),
    FLAG(CL_DEVICE_ERROR_CORRECTION_SUPPORT, IsErrorCorrectionSupport),
    FLAG(CL_DEVICE_HOST_UNIFIED_MEMORY, IsHostUnifiedMemory),
    FLAG(CL_DEVICE_ENDIAN_LITTLE, IsEndianLittle),
    FLAG(CL_DEVICE_AVAILABLE, IsAvailable),
    FLAG(CL_DEVICE_COMPILER_AVAILABLE, IsCompilerAvailable),
};

}  // namespace

TEST_F(FakeDeviceTest, EveryPropertyReadsItsOwnParameterInItsFullWidth) {
  TFakeDevice Scripted{.Name = "Tahiti",
                       .Vendor = "Advanced Micro Devices",
                       .Version = "OpenCL 1.1 AMD",
                       .Profile = "FULL_PROFILE",
                       .OpenCLCVersion = "OpenCL C 1.1",
                       .DriverVersion = "938.2"};
  // A distinct value for every parameter; the 8-byte ones above 2^32, so that a 4-byte read shows.
  for (std::size_t Index = 0; Index < NumberCases.size(); ++Index)
    Scripted.Values[NumberCases[Index].Parameter] = (NumberCases[Index].Width == 8 ? 0x500000000ull : 0) + 100 + Index;
  for (const TFlagCase& Case : FlagCases) Scripted.Values[Case.Parameter] = CL_TRUE;
  Build({Scripted, TFakeDevice{}});

  const TDCLDevice& Read = Device(0);
  EXPECT_EQ(Read.Status(), CL_SUCCESS);
  EXPECT_EQ(Read.Name(), "Tahiti\0"s);
  EXPECT_EQ(Read.Vendor(), "Advanced Micro Devices\0"s);
  EXPECT_EQ(Read.Version(), "OpenCL 1.1 AMD\0"s);
  EXPECT_EQ(Read.Profile(), "FULL_PROFILE\0"s);
  EXPECT_EQ(Read.OpenCLCVersion(), "OpenCL C 1.1\0"s);
  EXPECT_EQ(Read.DriverVersion(), "938.2\0"s);
  for (const TNumberCase& Case : NumberCases) {
    SCOPED_TRACE(testing::Message() << "parameter 0x" << std::hex << Case.Parameter);
    EXPECT_EQ(Case.Read(Read), Scripted.Values.at(Case.Parameter));
    EXPECT_EQ(Case.Read(Device(1)), 0u);
  }
  for (const TFlagCase& Case : FlagCases) {
    SCOPED_TRACE(testing::Message() << "parameter 0x" << std::hex << Case.Parameter);
    EXPECT_TRUE(Case.Read(Read));
    EXPECT_FALSE(Case.Read(Device(1)));
  }
}

TEST_F(FakeDeviceTest, BitFieldsAndEnumerationsMapBitByBit) {
  struct TCase {
    cl_ulong FPConfig;
    cl_ulong Capabilities;
    cl_ulong CacheType;
    cl_ulong LocalMemType;
    TDCLDeviceExecutionCapabilitiesSet ExpectedCapabilities;
    TDCLDeviceMemCacheType ExpectedCacheType;
    TDCLDeviceLocalMemType ExpectedLocalMemType;
  };
  const std::vector<TCase> Cases = {
      {0, 0, CL_NONE, 0, {}, dmctNone, dlmtLocal},
      {CL_FP_FMA | CL_FP_DENORM,
       CL_EXEC_KERNEL,
       CL_READ_ONLY_CACHE,
       CL_LOCAL,
       {decExecKernel},
       dmctReadOnlyCache,
       dlmtLocal},
      {0xFF,
       CL_EXEC_KERNEL | CL_EXEC_NATIVE_KERNEL,
       CL_READ_WRITE_CACHE,
       CL_GLOBAL,
       {decExecKernel, decExecNativeKernel},
       dmctWriteOnlyCache,
       dlmtGlobal},
      // Both bits: the later test wins.
      {CL_FP_SOFT_FLOAT, CL_EXEC_NATIVE_KERNEL, 3, 3, {decExecNativeKernel}, dmctWriteOnlyCache, dlmtGlobal},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(testing::Message() << "FP config 0x" << std::hex << Case.FPConfig);
    Build({TFakeDevice{.Values = {{CL_DEVICE_SINGLE_FP_CONFIG, Case.FPConfig},
                                  {CL_DEVICE_EXECUTION_CAPABILITIES, Case.Capabilities},
                                  {CL_DEVICE_GLOBAL_MEM_CACHE_TYPE, Case.CacheType},
                                  {CL_DEVICE_LOCAL_MEM_TYPE, Case.LocalMemType}}}});
    for (std::uint8_t Member = dfpcDenorm; Member <= dfpcSoftFloat; ++Member)
      EXPECT_EQ(Device().IsPresentInFPConfig(static_cast<TDCLDeviceFPConfig>(Member)),
                ((Case.FPConfig >> Member) & 1) != 0)
          << "member " << int(Member);
    EXPECT_EQ(Device().ExecutionCapabilities(), Case.ExpectedCapabilities);
    EXPECT_EQ(Device().GlobalMemCacheType(), Case.ExpectedCacheType);
    EXPECT_EQ(Device().LocalMemType(), Case.ExpectedLocalMemType);
  }
}

TEST_F(FakeDeviceTest, AFailedQueryLeavesItsFieldEmptyAndOnlyTheLastCodeStays) {
  TFakeDevice Failing{.Name = "Lost", .Extensions = "cl_khr_fp64"};
  Failing.Values = {{CL_DEVICE_MAX_COMPUTE_UNITS, 32},
                    {CL_DEVICE_IMAGE_SUPPORT, CL_TRUE},
                    {CL_DEVICE_GLOBAL_MEM_CACHE_TYPE, CL_READ_WRITE_CACHE},
                    {CL_DEVICE_MAX_CLOCK_FREQUENCY, 900}};
  Failing.FailingQueries = {CL_DEVICE_NAME, CL_DEVICE_MAX_COMPUTE_UNITS, CL_DEVICE_IMAGE_SUPPORT, CL_DEVICE_EXTENSIONS,
                            CL_DEVICE_GLOBAL_MEM_CACHE_TYPE};
  TFakeDevice FailingLast{.Values = {{CL_DEVICE_LOCAL_MEM_TYPE, CL_GLOBAL}},
                          .FailingQueries = {CL_DEVICE_LOCAL_MEM_TYPE}};
  Build({Failing, FailingLast});

  EXPECT_EQ(Device(0).Name(), "");
  EXPECT_EQ(Device(0).MaxComputeUnits(), 0u);
  EXPECT_FALSE(Device(0).IsImageSupport());
  EXPECT_EQ(Device(0).ExtensionsString(), "");
  EXPECT_EQ(Device(0).ExtensionsCount(), 0u);
  EXPECT_EQ(Device(0).GlobalMemCacheType(), dmctNone);
  EXPECT_EQ(Device(0).MaxClockFrequency(), 900u);
  EXPECT_EQ(Device(0).Status(), CL_SUCCESS);

  EXPECT_EQ(Device(1).LocalMemType(), dlmtLocal);
  EXPECT_EQ(Device(1).Status(), CL_INVALID_VALUE);
}

TEST_F(FakeDeviceTest, EachDeviceHasAContextOfItsOwnAndARefusedOneStillExists) {
  Build({TFakeDevice{}, TFakeDevice{.ContextError = CL_DEVICE_NOT_AVAILABLE}});
  const TDCLContext& Own = Device(0).Context();
  EXPECT_EQ(Own.Status(), CL_SUCCESS);
  EXPECT_EQ(Own.NumDevices(), 1u);
  ASSERT_TRUE(Fake.Contexts.contains(Own.Handle()));
  EXPECT_EQ(Fake.Contexts.at(Own.Handle()).Devices.size(), 1u);
  EXPECT_FALSE(Fake.Contexts.at(Own.Handle()).HasProperties);

  const TDCLDevice& Refused = Device(1);
  EXPECT_EQ(Refused.Context().Handle(), nullptr);
  EXPECT_NE(Refused.Context().Status(), CL_SUCCESS);
  EXPECT_EQ(Refused.Context().NumDevices(), 0u);
  // What is made in the missing context reports OpenCL's own error.
  EXPECT_EQ(Refused.CreateCommandQueue({})->Status(), CL_INVALID_CONTEXT);
  EXPECT_EQ(Refused.CreateBuffer(16, nullptr, {mfReadWrite})->Status(), CL_INVALID_CONTEXT);
}
