// The OpenCL read and write test: on PoCL for real, with the fake library for exact times, and
// its failure paths.

#include "OpenCLBenchmark.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
      {"host block beyond memory", true, Settings(std::int64_t{1} << 40, 2, 2),
       {SetUpLines("1.00 TB")[0], SetUpLines("1.00 TB")[1], SetUpLines("1.00 TB")[2]},
       "Exception: Not enough free system memory for a block of 1.00 TB"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    if (Case.LoadPocl) ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
    else EXPECT_FALSE(LoadOpenCL("libOpenCL-that-does-not-exist.so.1"));
    TRecordingReporter Reporter;
    RunOpenCLTest(Case.Settings, Reporter, Empty);
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
    RunOpenCLTest(Settings(1 << 20, 2, 2, Case.PlatformIndex, -1), Reporter, ExecutableFolder());
    EXPECT_EQ(Reporter.Lines, (Lines{"Running OpenCL GFX RAM read & write test...", Case.Line}));
  }
}

TEST(OpenCLTest, AKernelThatDoesNotBuildStillRunsItsPassesAndReportsNoTime) {
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1"));
  const std::string Folder = KernelFolderWith("broken", &BrokenKernel);
  TRecordingReporter Reporter;
  RunOpenCLTest(Settings(1 << 20, 2, 2), Reporter, Folder);
  Lines Expected = SetUpLines("1.00 MB");
  for (const char* Pass : {"1", "2"}) {
    Expected.push_back(std::string("OpenCL: Pass ") + Pass + "...");
    Expected.push_back("OpenCL: Execution time: 0 ns.");
    Expected.push_back("OpenCL: Speed: no execution time was reported");
  }
  Expected.push_back("OpenCL: Freeing...");
  Expected.push_back("OpenCL test finished.");
  Expected.push_back("Exception: No pass of the OpenCL test reported an execution time, so there is no speed");
  EXPECT_EQ(Reporter.Lines, Expected);
  EXPECT_TRUE(Reporter.Results.empty());
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
    RunOpenCLTest(Settings(1 << 20, 2, Case.WorkItems), Reporter, ExecutableFolder());
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
  RunOpenCLTest(Settings(1 << 20, 2, 1920), Reporter, ExecutableFolder());
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

}  // namespace
