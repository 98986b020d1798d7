// The OpenCL read and write test: on PoCL for real, with the fake library for exact times, and
// its failure paths.

#include "OpenCLBenchmark.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "CL.h"
#include "ExecutableFolder.h"
#include "FakeOpenCLLoader.h"
#include "MemoryTestFixtures.h"
#include "RecordingReporter.h"

namespace {

using Lines = std::vector<std::string>;

TBenchmarkSettings Settings(std::int64_t MemorySize, std::int32_t Passes, std::int32_t WorkItems,
                            std::int32_t Platform = 0, std::int32_t Device = 0) {
  TBenchmarkSettings Result = ::Settings(MemorySize, Passes);
  Result.OpenCLPlatform = Platform;
  Result.OpenCLDevice = Device;
  Result.OpenCLComputeCoreCount = WorkItems;
  return Result;
}

// A folder of the test's own with a kernel file of the given text (or none).
std::string KernelFolderWith(const std::string& Name, const std::string* Source) {
  const std::filesystem::path Folder = std::filesystem::path(::testing::TempDir()) / ("velmora-" + Name);
  std::filesystem::remove_all(Folder);
  std::filesystem::create_directories(Folder);
  if (Source) std::ofstream(Folder / KernelFileName) << *Source;
  return Folder.string() + "/";
}

Lines SetUpLines(const std::string& Size) {
  return {"Running OpenCL GFX RAM read & write test...", "OpenCL: Creating command queue...",
          "OpenCL: Allocating buffer... " + Size, "OpenCL: Creating buffer...", "OpenCL: Creating program..."};
}

void ExpectPrefix(const Lines& Actual, const Lines& Prefix) {
  ASSERT_GE(Actual.size(), Prefix.size());
  EXPECT_EQ(Lines(Actual.begin(), Actual.begin() + static_cast<std::ptrdiff_t>(Prefix.size())), Prefix);
}

TEST(OpenCLTest, RunsOnPoclWithEveryLineInOrder) {
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  TRecordingReporter Reporter;
  BenchmarkOpenCLGFXRAMReadWrite(Settings(4 << 20, 2, 4), Reporter);
  const Lines& Log = Reporter.Lines;
  ASSERT_EQ(Log.size(), 15u) << (Log.empty() ? "" : Log.back());
  ExpectPrefix(Log, SetUpLines("4.00 MB"));
  const std::regex Time(R"(OpenCL: Execution time: [1-9][0-9]* ns\.)");
  const std::regex Speed(R"(OpenCL: Speed: [0-9]+(\.[0-9]{2} [KMGTPE]B| Byte)/s)");
  for (int Pass = 0; Pass < 2; ++Pass) {
    EXPECT_EQ(Log[5 + 3 * Pass], "OpenCL: Pass " + std::to_string(Pass + 1) + "...");
    EXPECT_TRUE(std::regex_match(Log[6 + 3 * Pass], Time)) << Log[6 + 3 * Pass];
    EXPECT_TRUE(std::regex_match(Log[7 + 3 * Pass], Speed)) << Log[7 + 3 * Pass];
  }
  EXPECT_EQ(Log[11], "OpenCL: Freeing...");
  EXPECT_EQ(Log[12], "OpenCL test finished.");
  EXPECT_EQ(Log[13].rfind("OpenCL GFX RAM read & write test average: ", 0), 0u);
  const std::string PeakPrefix = "OpenCL GFX RAM read & write test peak: ";
  ASSERT_EQ(Log[14].rfind(PeakPrefix, 0), 0u);
  ASSERT_EQ(Reporter.Results.size(), 1u);
  EXPECT_EQ(Reporter.Results[0].Text, Log[14].substr(PeakPrefix.size()));
  EXPECT_EQ(Reporter.Results[0].BenchmarkType, bmOpenCLRAMReadWrite);
  EXPECT_FALSE(Reporter.Results[0].Finished);
}

const std::string BrokenKernel = "__kernel void speedreadkernel(__global const uint* src) { this is not C }\n";

TEST(OpenCLTest, ReportsEachFailureWithoutAResult) {
  struct TCase {
    const char* Name;
    bool LoadPocl;  // false: no OpenCL library at all
    TBenchmarkSettings Settings;
    Lines Before;             // every line before the last, exactly
    std::string LastPrefix;   // what the last line begins with
  };
  const std::string Empty = KernelFolderWith("empty", nullptr);
  const TCase Cases[] = {
      {"kernel file missing", true, Settings(1 << 20, 2, 2), SetUpLines("1.00 MB"),
       "OpenCL: Error: File not found: " + Empty + KernelFileName},
      {"platform -1", true, Settings(1 << 20, 2, 2, -1, -1), {"Running OpenCL GFX RAM read & write test..."},
       "Exception: No OpenCL platform was chosen (1 found)"},
      {"device beyond the list", true, Settings(1 << 20, 2, 2, 0, 7), {"Running OpenCL GFX RAM read & write test..."},
       "Exception: There is no OpenCL device 7 on platform 0 (1 found)"},
      {"no library", false, Settings(1 << 20, 2, 2), {"Running OpenCL GFX RAM read & write test..."},
       "Exception: OpenCL is not available: no OpenCL library is loaded"},
      // Checked before anything of it is made: the runtime would refuse it, or the launch read null.
      {"block beyond the device's largest buffer", true, Settings(std::int64_t{1} << 40, 2, 2),
       {SetUpLines("1.00 TB")[0], SetUpLines("1.00 TB")[1], SetUpLines("1.00 TB")[2]},
       "Exception: The block of 1.00 TB is larger than this OpenCL device's largest buffer of "},
      // A negative count would be cast to billions of work items and run for hours.
      {"work items 0", true, Settings(1 << 20, 2, 0), {"Running OpenCL GFX RAM read & write test..."},
       "Exception: The number of OpenCL work items must be at least 1, not 0"},
      {"work items -5", true, Settings(1 << 20, 2, -5), {"Running OpenCL GFX RAM read & write test..."},
       "Exception: The number of OpenCL work items must be at least 1, not -5"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    if (Case.LoadPocl) ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
    else EXPECT_FALSE(LoadOpenCL("libOpenCL-that-does-not-exist.so.1"));
    TRecordingReporter Reporter;
    RunOpenCLTest(Case.Settings, Reporter, {.KernelFolder = Empty});
    ASSERT_EQ(Reporter.Lines.size(), Case.Before.size() + 1) << Reporter.Lines.back();
    EXPECT_EQ(Lines(Reporter.Lines.begin(), Reporter.Lines.end() - 1), Case.Before);
    EXPECT_EQ(Reporter.Lines.back().rfind(Case.LastPrefix, 0), 0u) << Reporter.Lines.back();
    EXPECT_TRUE(Reporter.Results.empty());
  }
}

// Where the library lists no platform, or a platform no device, the message says there is none.
TEST(OpenCLTest, SaysThereIsNoPlatformOrDeviceWhereTheLibraryListsNone) {
  struct TCase {
    std::size_t Platforms;
    std::int32_t PlatformIndex;
    const char* Line;
  };
  const TCase Cases[] = {
      {0, -1, "Exception: There is no OpenCL platform: the OpenCL library reports none"},
      {0, 0, "Exception: There is no OpenCL platform: the OpenCL library reports none"},
      {1, 0, "Exception: There is no OpenCL device on platform 0"},
  };
  for (const TCase& Case : Cases) {
    TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
    Fake.Platforms.resize(Case.Platforms);
    TRecordingReporter Reporter;
    RunOpenCLTest(Settings(1 << 20, 2, 2, Case.PlatformIndex, -1), Reporter, {.KernelFolder = ExecutableFolder()});
    EXPECT_EQ(Reporter.Lines, (Lines{"Running OpenCL GFX RAM read & write test...", Case.Line}));
  }
}

// Kernel files a user may have put beside the program, on PoCL: none is launched.
TEST(OpenCLTest, AKernelFileThatDoesNotBuildOrDoesNotFitEndsInItsReasonBeforeAnyLaunch) {
  struct TCase {
    const char* Name;
    std::string Source;
    std::string Line;  // the exception line begins with this
  };
  const TCase Cases[] = {
      {"does not build", BrokenKernel,
       "Exception: The kernel file did not build (CL_BUILD_PROGRAM_FAILURE): "},
      {"no such kernel", "__kernel void otherkernel(__global uint* a) { a[0] = 1; }\n",
       "Exception: The kernel file has no kernel speedreadkernel (CL_INVALID_KERNEL_NAME)"},
      {"four arguments",
       "__kernel void speedreadkernel(__global const uint* s, __global uint* d, ulong n, ulong m) { d[0] = s[0]; }\n",
       "Exception: speedreadkernel takes 4 arguments, not the 3 the test passes"},
      // Timed before, with peaks of tens of TB/s.
      {"a 32-bit count", "__kernel void speedreadkernel(__global const uint* s, __global uint* d, uint n) { d[0] = s[0]; }\n",
       "Exception: OpenCL refused argument 2 of speedreadkernel: CL_INVALID_ARG_SIZE"},
  };
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::string Folder = KernelFolderWith("kernel-case", &Case.Source);
    TRecordingReporter Reporter;
    RunOpenCLTest(Settings(1 << 20, 2, 2), Reporter, {.KernelFolder = Folder});
    ASSERT_EQ(Reporter.Lines.size(), 6u) << Reporter.Lines.back();
    EXPECT_EQ(Lines(Reporter.Lines.begin(), Reporter.Lines.end() - 1), SetUpLines("1.00 MB"));
    EXPECT_EQ(Reporter.Lines.back().rfind(Case.Line, 0), 0u) << Reporter.Lines.back();
    EXPECT_TRUE(Reporter.Results.empty());
  }
}

TEST(OpenCLTest, TheBuildLogsFirstLinesSayWhyTheKernelDidNotBuild) {
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  TRecordingReporter Reporter;
  RunOpenCLTest(Settings(1 << 20, 2, 2), Reporter, {.KernelFolder = KernelFolderWith("broken", &BrokenKernel)});
  const std::string& Line = Reporter.Lines.back();
  EXPECT_NE(Line.find("undeclared identifier 'this'"), std::string::npos) << Line;
  EXPECT_EQ(Line.find('\n'), std::string::npos) << "one line";
}

// What real cards and their drivers do, from the fake library: a GPU with a small largest buffer or
// little memory, a CPU device whose buffers are system memory, a runtime that refuses a buffer or
// an argument, and a launch that fails as a display driver's watchdog makes it fail.
TEST(OpenCLTest, WhatTheDeviceCannotDoEndsInOneLineAfterTheCleanUp) {
  struct TCase {
    const char* Name;
    std::function<void(TFakeOpenCL&)> Script;
    std::size_t LinesBefore;  // of the set-up and pass lines, before the exception
    std::string Line;
  };
  const auto Value = [](cl_device_info Parameter, cl_ulong Number) {
    return [=](TFakeOpenCL& Fake) { Fake.Platforms[0].Devices[0].Values[Parameter] = Number; };
  };
  const TCase Cases[] = {
      {"largest buffer", Value(CL_DEVICE_MAX_MEM_ALLOC_SIZE, 512 << 10), 3,
       "Exception: The block of 1.00 MB is larger than this OpenCL device's largest buffer of 512.00 KB"},
      {"global memory", Value(CL_DEVICE_GLOBAL_MEM_SIZE, 1536 << 10), 3,
       "Exception: The two buffers of 1.00 MB each need 2.00 MB, more than this OpenCL device's global memory of "
       "1.50 MB"},
      {"a CPU device's buffer in system memory",
       [](TFakeOpenCL& Fake) { Fake.Platforms[0].Devices[0].Type = CL_DEVICE_TYPE_CPU; }, 3,
       "Exception: Not enough free system memory for the block of 1.00 MB and this device's destination buffer of "
       "1.00 MB (1.50 MB available)"},
      {"a refused buffer", [](TFakeOpenCL& Fake) { Fake.BufferError = CL_MEM_OBJECT_ALLOCATION_FAILURE; }, 4,
       "Exception: OpenCL refused the source buffer of 1.00 MB: CL_MEM_OBJECT_ALLOCATION_FAILURE"},
      {"a refused argument", [](TFakeOpenCL& Fake) { Fake.Program.RefusedArguments[1] = CL_INVALID_MEM_OBJECT; }, 5,
       "Exception: OpenCL refused argument 1 of speedreadkernel: CL_INVALID_MEM_OBJECT"},
      {"a program that does not build",
       [](TFakeOpenCL& Fake) {
         Fake.Program.BuildFails = true;
         Fake.Program.BuildLog = "\n<source>:3:7: error: use of undeclared identifier 'x'\n  x = 1;\n  ^\n1 error generated.";
       },
       5,
       "Exception: The kernel file did not build (CL_BUILD_PROGRAM_FAILURE): <source>:3:7: error: use of undeclared "
       "identifier 'x' |   x = 1; |   ^"},
      {"a watchdog", [](TFakeOpenCL& Fake) { Fake.CommandError = CL_OUT_OF_RESOURCES; }, 6,
       "Exception: The kernel failed in pass 1 (CL_OUT_OF_RESOURCES); a display driver stops kernels that run for "
       "seconds, and fewer work items or a smaller block make them shorter"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
    Fake.Platforms = {TFakePlatform{}};
    Fake.Platforms[0].Devices = {TFakeDevice{}};
    Fake.Timings = {{0, 1000}, {0, 1000}};
    Case.Script(Fake);
    TRecordingReporter Reporter;
    RunOpenCLTest(Settings(1 << 20, 2, 1920), Reporter,
                  {.KernelFolder = ExecutableFolder(), .AvailableMemory = [] {
                     return std::optional<std::uint64_t>(1536 << 10);
                   }});
    ASSERT_EQ(Reporter.Lines.size(), Case.LinesBefore + 1) << Reporter.Lines.back();
    Lines Before = SetUpLines("1.00 MB");
    Before.push_back("OpenCL: Pass 1...");
    Before.resize(Case.LinesBefore);
    EXPECT_EQ(Lines(Reporter.Lines.begin(), Reporter.Lines.end() - 1), Before);
    EXPECT_EQ(Reporter.Lines.back(), Case.Line);
    EXPECT_TRUE(Reporter.Results.empty());
    // Everything made was released, once, before the line.
    EXPECT_EQ(Fake.UnknownReleases, 0);
    for (const TFakeHandle& Handle : Fake.Handles) EXPECT_EQ(Handle.Releases, 1);
    // Nothing was launched over an object that was not made, and nothing after a failed launch.
    EXPECT_EQ(Fake.Commands.size(), std::string(Case.Name) == "a watchdog" ? 1u : 0u);
  }
}

// Exact kernel times from the fake library: 1920 work items over 1 MB.
TEST(OpenCLTest, DerivesSpeedsFromTheDevicesOwnTimes) {
  struct TCase {
    std::int32_t WorkItems;
    std::vector<TFakeTiming> Timings;
    Lines Speeds;  // the pass speed lines, then the average and the peak line
    const char* Result;
  };
  const TCase Cases[] = {
      // 1920 x 2^20 bytes in 2 ms and 1 ms; the average is over the mean time of 1.5 ms.
      {1920, {{0, 2'000'000}, {5'000'000, 6'000'000}},
       {"OpenCL: Speed: 937.50 GB/s", "OpenCL: Speed: 1.83 TB/s", "OpenCL GFX RAM read & write test average: 1.22 TB/s",
        "OpenCL GFX RAM read & write test peak: 1.83 TB/s"},
       "1.83 TB/s"},
      // Equal times: the average is the peak.
      {1920, {{0, 1'000'000}, {0, 1'000'000}},
       {"OpenCL: Speed: 1.83 TB/s", "OpenCL: Speed: 1.83 TB/s", "OpenCL GFX RAM read & write test average: 1.83 TB/s",
        "OpenCL GFX RAM read & write test peak: 1.83 TB/s"},
       "1.83 TB/s"},
      // A pass of 0 ns counts in neither the average nor the peak.
      {1920, {{0, 0}, {0, 2'000'000}},
       {"OpenCL: Speed: no execution time was reported", "OpenCL: Speed: 937.50 GB/s",
        "OpenCL GFX RAM read & write test average: 937.50 GB/s", "OpenCL GFX RAM read & write test peak: 937.50 GB/s"},
       "937.50 GB/s"},
      // 16384 x 1 MB in 1 ns: a speed beyond 64 bits is shown, not converted into undefined behaviour.
      {16384, {{0, 1}, {0, 1}},
       {"OpenCL: Speed: 14.90 EB/s", "OpenCL: Speed: 14.90 EB/s", "OpenCL GFX RAM read & write test average: 14.90 EB/s",
        "OpenCL GFX RAM read & write test peak: 14.90 EB/s"},
       "14.90 EB/s"},
  };
  for (const TCase& Case : Cases) {
    TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
    Fake.Platforms = {TFakePlatform{}};
    Fake.Platforms[0].Devices = {TFakeDevice{}};
    Fake.Timings = Case.Timings;
    TRecordingReporter Reporter;
    RunOpenCLTest(Settings(1 << 20, 2, Case.WorkItems), Reporter, {.KernelFolder = ExecutableFolder()});
    const Lines& Log = Reporter.Lines;
    ASSERT_EQ(Log.size(), 15u) << Log.back();
    ExpectPrefix(Log, SetUpLines("1.00 MB"));
    const std::string Time0 = std::to_string(Case.Timings[0].End - Case.Timings[0].Start);
    const std::string Time1 = std::to_string(Case.Timings[1].End - Case.Timings[1].Start);
    EXPECT_EQ(Log[6], "OpenCL: Execution time: " + Time0 + " ns.");
    EXPECT_EQ(Log[9], "OpenCL: Execution time: " + Time1 + " ns.");
    EXPECT_EQ((Lines{Log[7], Log[10], Log[13], Log[14]}), Case.Speeds);
    ASSERT_EQ(Reporter.Results.size(), 1u);
    EXPECT_EQ(Reporter.Results[0].Text, Case.Result);
  }
}

TEST(OpenCLTest, LaunchesOverTheWorkItemsWithTheHostsArgumentsAndReleasesInReverse) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Devices = {TFakeDevice{}};
  Fake.Timings = {{0, 1000}, {0, 1000}};
  TRecordingReporter Reporter;
  RunOpenCLTest(Settings(1 << 20, 2, 1920), Reporter, {.KernelFolder = ExecutableFolder()});
  ASSERT_EQ(Reporter.Results.size(), 1u);

  // Two one-dimensional launches of 1920 work items, no offset, no local size.
  ASSERT_EQ(Fake.Commands.size(), 2u);
  for (const TFakeCommand& Command : Fake.Commands) {
    EXPECT_EQ(Command.Function, "clEnqueueNDRangeKernel");
    EXPECT_EQ(Command.GlobalWorkSize, std::vector<std::size_t>{1920});
    EXPECT_FALSE(Command.HasGlobalOffset);
    EXPECT_FALSE(Command.HasLocalWorkSize);
  }
  // The source buffer over the host block, read only (flags 12); the destination write only (2).
  std::vector<cl_mem_flags> Flags;
  for (const auto& [Handle, Memory] : Fake.MemObjects) {
    EXPECT_EQ(Memory.Size, std::size_t{1} << 20);
    Flags.push_back(Memory.Flags);
    if (Memory.Flags == 12) {
      EXPECT_NE(Memory.HostPtr, nullptr);
    }
  }
  std::sort(Flags.begin(), Flags.end());
  EXPECT_EQ(Flags, (std::vector<cl_mem_flags>{2, 12}));
  ASSERT_EQ(Fake.Kernels.size(), 1u);
  const TFakeKernel& Kernel = Fake.Kernels.begin()->second;
  EXPECT_EQ(Kernel.Name, "speedreadkernel");
  const std::uint64_t Words = (1 << 20) / 4;
  EXPECT_EQ(Kernel.Arguments.at(2), std::vector<unsigned char>(reinterpret_cast<const unsigned char*>(&Words),
                                                                reinterpret_cast<const unsigned char*>(&Words) + 8));
  ASSERT_EQ(Kernel.Arguments.at(0).size(), sizeof(cl_mem));
  ASSERT_EQ(Kernel.Arguments.at(1).size(), sizeof(cl_mem));

  // Every handle released once; the test's own objects in reverse order of making, before the
  // devices' contexts.
  EXPECT_EQ(Fake.UnknownReleases, 0);
  std::vector<std::pair<std::uint64_t, TFakeHandleKind>> Releases;
  for (const TFakeHandle& Handle : Fake.Handles) {
    EXPECT_EQ(Handle.Releases, 1);
    if (Handle.Kind != TFakeHandleKind::Event) Releases.emplace_back(Handle.ReleasedAt, Handle.Kind);
  }
  std::sort(Releases.begin(), Releases.end());
  std::vector<TFakeHandleKind> Order;
  for (const auto& Release : Releases) Order.push_back(Release.second);
  EXPECT_EQ(Order, (std::vector<TFakeHandleKind>{TFakeHandleKind::Kernel, TFakeHandleKind::Program,
                                                 TFakeHandleKind::MemObject, TFakeHandleKind::MemObject,
                                                 TFakeHandleKind::CommandQueue, TFakeHandleKind::Context}));
}

// Four launches a pass over sub-buffers of the one block: the pass's time is the sum of their
// kernel times, and the lines are those of one launch.
TEST(OpenCLTest, APassSplitIntoLaunchesSumsTheirKernelTimesOverPartsOfTheBlock) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Devices = {TFakeDevice{}};
  Fake.Platforms[0].Devices[0].Values[CL_DEVICE_MEM_BASE_ADDR_ALIGN] = 4096;  // bits
  Fake.Timings.assign(8, {0, 250'000});
  Fake.Timings[4] = {0, 1'250'000};  // the second pass takes 2 ms
  TRecordingReporter Reporter;
  RunOpenCLTest(Settings(1 << 20, 2, 1920), Reporter, {.KernelFolder = ExecutableFolder(), .LaunchesPerPass = 4});
  ASSERT_EQ(Reporter.Lines.size(), 15u) << Reporter.Lines.back();
  EXPECT_EQ(Reporter.Lines[6], "OpenCL: Execution time: 1000000 ns.");
  EXPECT_EQ(Reporter.Lines[7], "OpenCL: Speed: 1.83 TB/s");
  EXPECT_EQ(Reporter.Lines[9], "OpenCL: Execution time: 2000000 ns.");
  EXPECT_EQ(Reporter.Lines[14], "OpenCL GFX RAM read & write test peak: 1.83 TB/s");

  // Each launch walks the next quarter of both buffers with all 1920 work items.
  ASSERT_EQ(Fake.Commands.size(), 8u);
  const std::uint64_t Words = (1 << 20) / 4 / 4;
  for (std::size_t Index = 0; Index < Fake.Commands.size(); ++Index) {
    SCOPED_TRACE(Index);
    const TFakeCommand& Launch = Fake.Commands[Index];
    EXPECT_EQ(Launch.GlobalWorkSize, std::vector<std::size_t>{1920});
    cl_mem Source = nullptr, Destination = nullptr;
    std::memcpy(&Source, Launch.Arguments.at(0).data(), sizeof Source);
    std::memcpy(&Destination, Launch.Arguments.at(1).data(), sizeof Destination);
    const TFakeMemObject& SourcePart = Fake.MemObjects.at(Source);
    const TFakeMemObject& DestinationPart = Fake.MemObjects.at(Destination);
    EXPECT_EQ(SourcePart.Origin, (Index % 4) * (1 << 18));
    EXPECT_EQ(SourcePart.Size, std::size_t{1} << 18);
    EXPECT_EQ(SourcePart.Flags, cl_mem_flags{12});
    EXPECT_EQ(DestinationPart.Origin, SourcePart.Origin);
    EXPECT_EQ(DestinationPart.Flags, cl_mem_flags{CL_MEM_WRITE_ONLY});
    EXPECT_EQ(Launch.Arguments.at(2), std::vector<unsigned char>(reinterpret_cast<const unsigned char*>(&Words),
                                                                  reinterpret_cast<const unsigned char*>(&Words) + 8));
  }
  // Every part released once, before the buffer it is a part of.
  for (const auto& [Handle, Memory] : Fake.MemObjects) {
    EXPECT_EQ(Fake.FindHandle(Handle)->Releases, 1);
    if (Memory.Parent) {
      EXPECT_LT(Fake.FindHandle(Handle)->ReleasedAt, Fake.FindHandle(Memory.Parent)->ReleasedAt);
    }
  }
}

TEST(OpenCLTest, OnADeviceThatIsNotAGPUTheWorkItemsAreSpreadOverItsComputeUnits) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  TFakeDevice Processor;
  Processor.Type = CL_DEVICE_TYPE_CPU;
  Processor.Values[CL_DEVICE_MAX_COMPUTE_UNITS] = 2;
  Processor.Values[CL_DEVICE_MAX_WORK_GROUP_SIZE] = 4096;
  Fake.Platforms[0].Devices = {Processor};
  Fake.Timings = {{0, 1000}, {0, 1000}};
  TRecordingReporter Reporter;
  RunOpenCLTest(Settings(1 << 20, 2, 2), Reporter, {.KernelFolder = ExecutableFolder()});
  ASSERT_EQ(Reporter.Results.size(), 1u) << Reporter.Lines.back();
  ASSERT_EQ(Fake.Commands.size(), 2u);
  for (const TFakeCommand& Launch : Fake.Commands) {
    EXPECT_EQ(Launch.GlobalWorkSize, std::vector<std::size_t>{2});
    EXPECT_EQ(Launch.LocalWorkSize, std::vector<std::size_t>{1});
  }
}

}  // namespace
