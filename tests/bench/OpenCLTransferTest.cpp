// The host-device transfer tests: on PoCL for real, with the fake library for the device's own
// counters and for cards with a PCI Express link, and their failure paths.

#include "OpenCLTransferBenchmark.h"

#include <gtest/gtest.h>

#include <CL/cl_ext.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "CL.h"
#include "FakeOpenCLLoader.h"
#include "FakePciSysfs.h"
#include "MemoryTestFixtures.h"
#include "RecordingReporter.h"
#include "RunRecorder.h"

namespace {

using Lines = std::vector<std::string>;
constexpr std::int64_t MB = 1 << 20;

TBenchmarkSettings TransferSettings(std::int64_t MemorySize, std::int32_t Passes) {
  TBenchmarkSettings Result = Settings(MemorySize, Passes);
  Result.OpenCLPlatform = 0;
  Result.OpenCLDevice = 0;
  return Result;
}

const TOpenCLTransferTest* const AllTests[] = {&HostToDevicePageableTest, &HostToDevicePinnedTest,
                                               &DeviceToHostPageableTest, &DeviceToHostPinnedTest};

Lines SetUpLines(const TOpenCLTransferTest& Test, const std::string& Size) {
  return {Test.StartLine, "OpenCL: Creating command queue...", "OpenCL: Allocating buffer... " + Size,
          "OpenCL: Creating buffer..."};
}

// The run's record, with the lines and results kept as well.
struct TRecordedRun {
  TRecordingReporter Lines;
  TRunRecorder Recorder{TRunInfo{}, TRunSettings{}, &Lines};
};

TEST(OpenCLTransferTest, EachTestCopiesOnPoclWithTheMemoryTestsLines) {
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  for (const TOpenCLTransferTest* Test : AllTests) {
    SCOPED_TRACE(Test->StartLine);
    TRecordedRun Run;
    RunOpenCLTransferTest(*Test, TransferSettings(4 * MB, 2), Run.Recorder, {});
    const Lines& Log = Run.Lines.Lines;
    // PoCL's device is the processor: it has no link, so no line after the peak.
    ASSERT_EQ(Log.size(), 9u) << Log.back();
    EXPECT_EQ(Lines(Log.begin(), Log.begin() + 4), SetUpLines(*Test, "4.00 MB"));
    const std::string Timed = R"(4\.00 MB [0-9]+\.[0-9]{2} ms \([0-9]+(\.[0-9]+)?MB/s\))";
    for (const std::size_t Index : {4, 5})
      EXPECT_TRUE(std::regex_match(Log[Index], std::regex(Test->PassCaption + Timed))) << Log[Index];
    EXPECT_EQ(Log[6], "OpenCL: Freeing...");
    EXPECT_TRUE(std::regex_match(Log[7], std::regex(Test->AverageCaption + Timed))) << Log[7];
    EXPECT_TRUE(std::regex_match(Log[8], std::regex(Test->PeakCaption + Timed))) << Log[8];
    ASSERT_EQ(Run.Lines.Results.size(), 1u);
    EXPECT_EQ(Run.Lines.Results[0].BenchmarkType, Test->Type);
    EXPECT_TRUE(std::regex_match(Run.Lines.Results[0].Text, std::regex(R"([0-9]+\.[0-9]{2} [KMGT]B/s)")))
        << Run.Lines.Results[0].Text;

    const TRunRecord Record = Run.Recorder.TakeRecord();
    ASSERT_EQ(Record.Tests.size(), 1u);
    const TTestRecord& Recorded = Record.Tests[0];
    EXPECT_EQ(Recorded.Status, TTestStatus::Completed);
    ASSERT_EQ(Recorded.Passes.size(), 2u);
    for (const TPassRecord& Pass : Recorded.Passes) {
      EXPECT_GT(Pass.Nanoseconds, 0u);
      EXPECT_EQ(Pass.Bytes, std::uint64_t{4 * MB});
    }
    ASSERT_TRUE(Recorded.OpenCL);
    EXPECT_NE(Recorded.OpenCL->Device, "");
    EXPECT_EQ(Recorded.OpenCL->WorkItems, 0u);  // no kernel runs
    EXPECT_EQ(Recorded.OpenCL->PCIeLink, "");
  }
}

TEST(OpenCLTransferTest, WhatCannotRunOnPoclEndsInOneLine) {
  struct TCase {
    const char* Name;
    bool LoadPocl;
    TBenchmarkSettings Settings;
    Lines Before;
    std::string LastPrefix;
  };
  const Lines Start = {DeviceToHostPinnedTest.StartLine};
  const Lines UpToTheBlock = {DeviceToHostPinnedTest.StartLine, "OpenCL: Creating command queue...",
                              "OpenCL: Allocating buffer... 1.00 TB"};
  TBenchmarkSettings NoDevice = TransferSettings(MB, 2);
  NoDevice.OpenCLDevice = 7;
  const TCase Cases[] = {
      {"no library", false, TransferSettings(MB, 2), Start,
       "Exception: OpenCL is not available: no OpenCL library is loaded"},
      {"a device that is not there", true, NoDevice, Start,
       "Exception: There is no OpenCL device 7 on platform 0 (1 found)"},
      // Refused before any of it is made.
      {"a block beyond the device's largest buffer", true, TransferSettings(std::int64_t{1} << 40, 2), UpToTheBlock,
       "Exception: The block of 1.00 TB is larger than this OpenCL device's largest buffer of "},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    if (Case.LoadPocl) ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
    else EXPECT_FALSE(LoadOpenCL("libOpenCL-that-does-not-exist.so.1"));
    TRecordingReporter Reporter;
    RunOpenCLTransferTest(DeviceToHostPinnedTest, Case.Settings, Reporter, {});
    ASSERT_EQ(Reporter.Lines.size(), Case.Before.size() + 1) << Reporter.Lines.back();
    EXPECT_EQ(Lines(Reporter.Lines.begin(), Reporter.Lines.end() - 1), Case.Before);
    EXPECT_EQ(Reporter.Lines.back().rfind(Case.LastPrefix, 0), 0u) << Reporter.Lines.back();
    EXPECT_TRUE(Reporter.Results.empty());
  }
}

// A GeForce RTX 3080 on a PCI Express 4.0 x16 link, as its driver describes it (cl_khr_pci_bus_info
// at 0000:01:00.0), in a machine whose sysfs says so.
struct TCardMachine {
  TCardMachine() {
    Sysfs.AddDevice("0000:01:00.0", 0x10de, 0x030000, "16.0 GT/s PCIe", 16);
    TFakeDevice Card;
    Card.Name = "NVIDIA GeForce RTX 3080";
    Card.Values[CL_DEVICE_VENDOR_ID] = 0x10de;
    Card.Values[CL_DEVICE_GLOBAL_MEM_SIZE] = std::uint64_t{10} << 30;
    Card.Values[CL_DEVICE_MAX_MEM_ALLOC_SIZE] = std::uint64_t{2560} << 20;
    Card.Extensions = "cl_khr_icd cl_khr_pci_bus_info";
    const cl_device_pci_bus_info_khr Address{0, 1, 0, 0};
    Card.Answers[CL_DEVICE_PCI_BUS_INFO_KHR].resize(sizeof Address);
    std::memcpy(Card.Answers[CL_DEVICE_PCI_BUS_INFO_KHR].data(), &Address, sizeof Address);
    Fake.Platforms = {TFakePlatform{.Devices = {Card}}};
  }
  TOpenCLTransferOptions Options() const { return {.AvailableMemory = nullptr, .SysfsRoot = Sysfs.Root()}; }

  TFakePciSysfs Sysfs;
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
};

// Exact lines from recorded counters: 4 MB in 200 us (20000MB/s), a pass without a time, and 4 MB
// in 160 us (25000MB/s), about what the card copies from pinned memory.
TEST(OpenCLTransferTest, TimesEachPassByTheDevicesCountersAndGivesThePeaksShareOfTheLink) {
  TCardMachine Machine;
  // The first command is the copy that places the device's buffer before the passes.
  Machine.Fake.Timings = {{0, 900'000}, {1'000'000, 1'200'000}, {0, 0}, {5'000'000, 5'160'000}};
  TRecordedRun Run;
  RunOpenCLTransferTest(HostToDevicePinnedTest, TransferSettings(4 * MB, 3), Run.Recorder, Machine.Options());
  EXPECT_EQ(Run.Lines.Lines, (Lines{"Running OpenCL host to device test from pinned memory...",
                                    "OpenCL: Creating command queue...",
                                    "OpenCL: Allocating buffer... 4.00 MB",
                                    "OpenCL: Creating buffer...",
                                    "Host to device from pinned memory: 4.00 MB 0.20 ms (20000MB/s)",
                                    "Host to device from pinned memory: 4.00 MB, no execution time was reported",
                                    "Host to device from pinned memory: 4.00 MB 0.16 ms (25000MB/s)",
                                    "OpenCL: Freeing...",
                                    "Average host to device from pinned memory: 4.00 MB 0.18 ms (22222.2MB/s)",
                                    "Peak host to device from pinned memory: 4.00 MB 0.16 ms (25000MB/s)",
                                    "Peak share of the link's rate: 83.2 % of 30048.1MB/s per direction over PCIe 4.0 "
                                    "x16"}));
  ASSERT_EQ(Run.Lines.Results.size(), 1u);
  EXPECT_EQ(Run.Lines.Results[0].Text, "24.41 GB/s");
  EXPECT_EQ(Run.Lines.Results[0].BenchmarkType, bmOpenCLHostToDevicePinned);

  const TRunRecord Record = Run.Recorder.TakeRecord();
  ASSERT_EQ(Record.Tests.size(), 1u);
  const TTestRecord& Recorded = Record.Tests[0];
  EXPECT_EQ(Recorded.Type, bmOpenCLHostToDevicePinned);
  ASSERT_EQ(Recorded.Passes.size(), 3u);
  EXPECT_EQ(Recorded.Passes[0].Nanoseconds, 200'000u);
  EXPECT_EQ(Recorded.Passes[1].Nanoseconds, 0u);
  EXPECT_EQ(Recorded.Passes[2].Nanoseconds, 160'000u);
  ASSERT_TRUE(Recorded.OpenCL);
  EXPECT_EQ(Recorded.OpenCL->Device, "NVIDIA GeForce RTX 3080");
  EXPECT_EQ(Recorded.OpenCL->PCIeLink, "PCIe 4.0 x16");
}

// What each test copies, with which command, from or into which host memory.
TEST(OpenCLTransferTest, CopiesTheWholeBlockBetweenItsHostMemoryAndTheDevicesBufferAndReleasesInReverse) {
  for (const TOpenCLTransferTest* Test : AllTests) {
    SCOPED_TRACE(Test->StartLine);
    TCardMachine Machine;
    Machine.Fake.Timings.assign(3, {0, 100'000});
    TRecordingReporter Reporter;
    RunOpenCLTransferTest(*Test, TransferSettings(MB, 2), Reporter, Machine.Options());
    ASSERT_EQ(Reporter.Results.size(), 1u) << Reporter.Lines.back();
    const TFakeOpenCL& Fake = Machine.Fake;
    const bool Pinned = Test->HostMemory == THostMemory::Pinned;

    // The device's buffer, and for pinned memory a buffer the runtime allocates in host memory.
    const TFakeMemObject* DeviceBuffer = nullptr;
    const TFakeMemObject* PinnedBuffer = nullptr;
    cl_mem DeviceHandle = nullptr;
    for (const auto& [Handle, Memory] : Fake.MemObjects) {
      EXPECT_EQ(Memory.Size, std::size_t{1} << 20);
      EXPECT_EQ(Memory.HostPtr, nullptr);
      if (Memory.Flags == CL_MEM_READ_WRITE) DeviceBuffer = &Memory, DeviceHandle = Handle;
      if (Memory.Flags == (CL_MEM_READ_WRITE | CL_MEM_ALLOC_HOST_PTR)) PinnedBuffer = &Memory;
    }
    ASSERT_NE(DeviceBuffer, nullptr);
    EXPECT_EQ(Fake.MemObjects.size(), Pinned ? 2u : 1u);
    EXPECT_EQ(PinnedBuffer != nullptr, Pinned);

    // Pinned memory is mapped before the copies and unmapped after them.
    std::vector<std::string> Functions;
    for (const TFakeCommand& Command : Fake.Commands) Functions.push_back(Command.Function);
    const std::string Copy = Test->Direction == TTransferDirection::HostToDevice ? "clEnqueueWriteBuffer"
                                                                                  : "clEnqueueReadBuffer";
    std::vector<std::string> Expected{"clEnqueueWriteBuffer", Copy, Copy};
    if (Pinned) {
      Expected.insert(Expected.begin(), "clEnqueueMapBuffer");
      Expected.push_back("clEnqueueUnmapMemObject");
    }
    EXPECT_EQ(Functions, Expected);
    const void* Host = Pinned ? PinnedBuffer->Storage.data() : nullptr;
    for (const TFakeCommand& Command : Fake.Commands) {
      if (Command.Function == "clEnqueueMapBuffer" || Command.Function == "clEnqueueUnmapMemObject") {
        EXPECT_EQ(Command.Data, Host);
        continue;
      }
      // Every copy moves the whole block, blocking, between the device's buffer and one host block.
      EXPECT_EQ(Command.Object, DeviceHandle);
      EXPECT_EQ(Command.Size, std::size_t{1} << 20);
      EXPECT_EQ(Command.Offset, 0u);
      EXPECT_EQ(Command.Blocking, cl_bool{CL_TRUE});
      if (Host == nullptr) Host = Command.Data;
      EXPECT_EQ(Command.Data, Host);
    }
    EXPECT_NE(Host, nullptr);

    // Every handle released once, in reverse order of making (the device's buffer, the pinned
    // buffer, the queue, the device's context), the mapping undone before its buffer went.
    EXPECT_EQ(Fake.UnknownReleases, 0);
    EXPECT_EQ(Fake.ReleasesWhileMapped, 0);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Order;  // released at, made at
    for (const TFakeHandle& Handle : Fake.Handles) {
      EXPECT_EQ(Handle.Releases, 1);
      if (Handle.Kind != TFakeHandleKind::Event) Order.emplace_back(Handle.ReleasedAt, Handle.CreatedAt);
    }
    std::sort(Order.begin(), Order.end());
    for (std::size_t Index = 1; Index < Order.size(); ++Index) EXPECT_GT(Order[Index - 1].second, Order[Index].second);
  }
}

// What real cards and machines refuse: the failure's one line comes after the clean-up.
TEST(OpenCLTransferTest, WhatTheDeviceOrTheMachineCannotDoEndsInOneLineAfterTheCleanUp) {
  struct TCase {
    const char* Name;
    std::function<void(TFakeOpenCL&)> Script;
    std::size_t SetUpLines;  // of the four set-up lines, before the exception
    Lines PassLines;         // after them
    std::string Line;
  };
  const std::string Pass = "Host to device from pinned memory: 1.00 MB 0.10 ms (10000MB/s)";
  const std::string Untimed = "Host to device from pinned memory: 1.00 MB, no execution time was reported";
  const auto Value = [](cl_device_info Parameter, cl_ulong Number) {
    return [=](TFakeOpenCL& Fake) { Fake.Platforms[0].Devices[0].Values[Parameter] = Number; };
  };
  const TCase Cases[] = {
      {"largest buffer", Value(CL_DEVICE_MAX_MEM_ALLOC_SIZE, 512 << 10), 3, {},
       "Exception: The block of 1.00 MB is larger than this OpenCL device's largest buffer of 512.00 KB"},
      {"global memory",
       [](TFakeOpenCL& Fake) {
         Fake.Platforms[0].Devices[0].Values[CL_DEVICE_MAX_MEM_ALLOC_SIZE] = 0;
         Fake.Platforms[0].Devices[0].Values[CL_DEVICE_GLOBAL_MEM_SIZE] = 512 << 10;
       },
       3, {}, "Exception: The block of 1.00 MB is larger than this OpenCL device's global memory of 512.00 KB"},
      // 1.50 MB are available: the pinned block fits, but not the buffer a CPU device keeps there too.
      {"a CPU device's buffer in system memory",
       [](TFakeOpenCL& Fake) { Fake.Platforms[0].Devices[0].Type = CL_DEVICE_TYPE_CPU; }, 3, {},
       "Exception: Not enough free system memory for the block of 1.00 MB and this device's buffer of 1.00 MB "
       "(1.50 MB available)"},
      {"a refused pinned buffer", [](TFakeOpenCL& Fake) { Fake.BufferError = CL_MEM_OBJECT_ALLOCATION_FAILURE; }, 4, {},
       "Exception: OpenCL refused the pinned host buffer of 1.00 MB: CL_MEM_OBJECT_ALLOCATION_FAILURE"},
      {"a refused map", [](TFakeOpenCL& Fake) { Fake.MapError = CL_MAP_FAILURE; }, 4, {},
       "Exception: OpenCL refused to map the pinned host buffer of 1.00 MB: CL_MAP_FAILURE"},
      {"the first copy fails", [](TFakeOpenCL& Fake) { Fake.Timings[0].Error = CL_OUT_OF_RESOURCES; }, 4, {},
       "Exception: The copy that places the block in the device's buffer before the passes failed "
       "(CL_OUT_OF_RESOURCES)"},
      // No further copy after a failed one.
      {"a pass fails", [](TFakeOpenCL& Fake) { Fake.Timings[2].Error = CL_OUT_OF_RESOURCES; }, 4, {Pass},
       "Exception: The copy of pass 2 failed (CL_OUT_OF_RESOURCES)"},
      {"no pass has a time", [](TFakeOpenCL& Fake) { Fake.Timings.assign(3, {0, 0}); }, 4,
       {Untimed, Untimed, "OpenCL: Freeing..."},
       "Exception: No pass of the transfer test reported an execution time, so there is no speed"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TCardMachine Machine;
    Machine.Fake.Timings.assign(3, {0, 100'000});
    Case.Script(Machine.Fake);
    TOpenCLTransferOptions Options = Machine.Options();
    Options.AvailableMemory = [] { return std::optional<std::uint64_t>(1536 << 10); };
    TRecordingReporter Reporter;
    RunOpenCLTransferTest(HostToDevicePinnedTest, TransferSettings(MB, 2), Reporter, Options);
    Lines Expected = SetUpLines(HostToDevicePinnedTest, "1.00 MB");
    Expected.resize(Case.SetUpLines);
    Expected.insert(Expected.end(), Case.PassLines.begin(), Case.PassLines.end());
    Expected.push_back(Case.Line);
    EXPECT_EQ(Reporter.Lines, Expected);
    EXPECT_TRUE(Reporter.Results.empty());
    EXPECT_EQ(Machine.Fake.UnknownReleases, 0);
    EXPECT_EQ(Machine.Fake.ReleasesWhileMapped, 0);
    for (const TFakeHandle& Handle : Machine.Fake.Handles) EXPECT_EQ(Handle.Releases, 1);
  }
}

// A machine that cannot back the pinned block: refused before the runtime is asked for it.
TEST(OpenCLTransferTest, AHostBlockBeyondTheMemoryAvailableIsRefusedBeforeAnythingIsMade) {
  for (const TOpenCLTransferTest* Test : {&HostToDevicePageableTest, &DeviceToHostPinnedTest}) {
    TCardMachine Machine;
    TOpenCLTransferOptions Options = Machine.Options();
    Options.AvailableMemory = [] { return std::optional<std::uint64_t>(512 << 10); };
    TRecordingReporter Reporter;
    RunOpenCLTransferTest(*Test, TransferSettings(MB, 2), Reporter, Options);
    Lines Expected = SetUpLines(*Test, "1.00 MB");
    Expected.back() = "Exception: Not enough free system memory for a block of 1.00 MB (512.00 KB available)";
    EXPECT_EQ(Reporter.Lines, Expected);
    EXPECT_TRUE(Machine.Fake.MemObjects.empty());
  }
}

}  // namespace
