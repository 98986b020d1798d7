// The console's OpenCL defaults and device list, with devices scripted by the fake library.

#include "ConsoleOpenCL.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ConsoleFrontEnd.h"
#include "FakeOpenCLLoader.h"

namespace {

TFakeDevice Device(const char* Name, cl_device_type Type, cl_ulong ComputeUnits) {
  TFakeDevice Result;
  Result.Name = Name;
  Result.Type = Type;
  Result.Values[CL_DEVICE_MAX_COMPUTE_UNITS] = ComputeUnits;
  Result.Values[CL_DEVICE_GLOBAL_MEM_SIZE] = cl_ulong{12} << 30;
  Result.Values[CL_DEVICE_MAX_CLOCK_FREQUENCY] = 1500;
  return Result;
}

class ConsoleOpenCL : public ::testing::Test {
 protected:
  void SetUp() override {
    TFakePlatform First;
    First.Name = "First";
    First.Devices = {Device("Processor", CL_DEVICE_TYPE_CPU, 12), Device("Card", CL_DEVICE_TYPE_GPU, 68)};
    TFakePlatform Second;
    Second.Name = "Empty";
    Fake.Platforms = {First, Second};
  }
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
};

TEST_F(ConsoleOpenCL, DefaultsToTheFirstDeviceAndItsComputeUnitsOffAGPU) {
  struct TCase {
    TConsoleOptions Options;
    TOpenCLChoice Choice;
  };
  auto With = [](std::optional<std::int32_t> Platform, std::optional<std::int32_t> Device,
                 std::optional<std::int32_t> Cores) {
    TConsoleOptions Options;
    Options.Platform = Platform;
    Options.Device = Device;
    Options.Cores = Cores;
    return Options;
  };
  const TCase Cases[] = {
      {With({}, {}, {}), {0, 0, 12}},        // a CPU: one work item per compute unit
      {With({}, 1, {}), {0, 1, 8704}},       // a GPU: the window's default item
      {With({}, 1, 1920), {0, 1, 1920}},     // a count given wins
      {With(1, {}, {}), {1, -1, 8704}},      // a platform without devices
      {With(5, 3, {}), {5, 3, 8704}},        // indices that name nothing are the test's to report
  };
  for (const TCase& Case : Cases) {
    const TOpenCLChoice Choice = ChooseOpenCL(Case.Options);
    EXPECT_EQ(Choice.Platform, Case.Choice.Platform);
    EXPECT_EQ(Choice.Device, Case.Choice.Device);
    EXPECT_EQ(Choice.Cores, Case.Choice.Cores);
  }
}

TEST_F(ConsoleOpenCL, ListsEveryPlatformAndDeviceWithItsIndices) {
  std::ostringstream Out;
  ListOpenCLDevices(Out);
  EXPECT_EQ(Out.str(),
            "Platform 0: First\n"
            "  Device 0: Processor - CPU, 12 compute units, 12.00 GB global memory, 1500 MHz\n"
            "  Device 1: Card - GPU, 68 compute units, 12.00 GB global memory, 1500 MHz\n"
            "Platform 1: Empty\n"
            "  (no device)\n");
}

TEST(ConsoleOpenCLWithoutLibrary, ListsNothingAndRunsTheTestToItsException) {
  ForgetOpenCLLibrary();
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--console", "--list-devices"}, Out, Err, OpenDefaultGraphicsInterface,
                       "libOpenCL-that-does-not-exist.so.1"),
            0);
  const std::string Listed = Out.str();
  const std::string NoOpenCL = "No OpenCL library could be loaded, so there is no OpenCL platform.\n";
  ASSERT_GE(Listed.size(), NoOpenCL.size());
  EXPECT_EQ(Listed.substr(Listed.size() - NoOpenCL.size()), NoOpenCL) << Listed;
  Out.str("");
  EXPECT_EQ(RunConsole("velmora", {"--console", "--test", "opencl", "--size", "256", "--passes", "2"}, Out, Err,
                       OpenDefaultGraphicsInterface, "libOpenCL-that-does-not-exist.so.1"),
            1);
  EXPECT_NE(Out.str().find("Running OpenCL GFX RAM read & write test...\n"
                           "Exception: OpenCL is not available: no OpenCL library is loaded\n"),
            std::string::npos)
      << Out.str();
  EXPECT_NE(Out.str().find("Peak r&w GFX RAM: -\n"), std::string::npos);
}

// Runtimes whose platforms cannot be listed: the list says why in one line, and the choice keeps
// the command line's values without raising (the OpenCL test then reports the failure itself).
TEST(ConsoleOpenCLBrokenRuntime, ListsOneLineAndChoosesWithoutRaising) {
  struct TCase {
    const char* Kind;  // the folder of the broken libOpenCL.so.1
    const char* Message;
  };
  const TCase Cases[] = {
      {"no-platform-ids", "OpenCL function clGetPlatformIDs is not available"},
      {"absurd-text-size", "The OpenCL runtime reported a text of 4611686018427387904 bytes"},
      {"absurd-device-count", "The OpenCL runtime reported 4294967295 devices on one platform"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Kind);
    ASSERT_TRUE(LoadOpenCL(std::string(VELMORA_BROKEN_OPENCL_DIR "/") + Case.Kind + "/libOpenCL.so.1"));
    std::ostringstream Out;
    EXPECT_FALSE(ListOpenCLDevices(Out));
    EXPECT_EQ(Out.str(), std::string("The OpenCL platforms could not be listed: ") + Case.Message + "\n");

    TConsoleOptions Options;
    Options.Cores = 64;
    TOpenCLChoice Choice;
    EXPECT_NO_THROW(Choice = ChooseOpenCL(Options));
    EXPECT_EQ(Choice.Platform, -1);
    EXPECT_EQ(Choice.Device, -1);
    EXPECT_EQ(Choice.Cores, 64);
  }
  ForgetOpenCLLibrary();
}

}  // namespace
