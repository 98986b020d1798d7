#include "ConsoleOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

TEST(ConsoleOptions, DefaultsAreTheWindowsAndAllTests) {
  const TConsoleParse Parse = ParseConsoleArguments({"--console"});
  ASSERT_TRUE(Parse.Options) << Parse.Error;
  EXPECT_TRUE(Parse.Options->Console);
  EXPECT_EQ(Parse.Options->SizeMB, 512);
  EXPECT_EQ(Parse.Options->Passes, 5);
  EXPECT_EQ(Parse.Options->Tests,
            (std::vector<TBenchmarkType>{bmGFXRAMWrite, bmGFXRAMRead, bmOpenCLRAMReadWrite, bmSystemRAMWrite,
                                         bmSystemRAMRead}));
  EXPECT_FALSE(Parse.Options->Platform);
  EXPECT_FALSE(Parse.Options->Device);
  EXPECT_FALSE(Parse.Options->Cores);
  EXPECT_FALSE(Parse.Options->ListDevices);
}

TEST(ConsoleOptions, TakesTestsInRunOrderWhateverOrderTheyAreNamedIn) {
  struct TCase {
    Args Arguments;
    std::vector<TBenchmarkType> Tests;
  };
  const TCase Cases[] = {
      {{"--test", "sys-read"}, {bmSystemRAMRead}},
      {{"--test", "sys-read,sys-write"}, {bmSystemRAMWrite, bmSystemRAMRead}},
      {{"--test=sys-read", "--test", "sys-write", "--test", "sys-read"}, {bmSystemRAMWrite, bmSystemRAMRead}},
      {{"--test", "all"}, {bmGFXRAMWrite, bmGFXRAMRead, bmOpenCLRAMReadWrite, bmSystemRAMWrite, bmSystemRAMRead}},
      {{"--test", "sys-write,opencl"}, {bmOpenCLRAMReadWrite, bmSystemRAMWrite}},
      {{"--test", "sys-read,gfx-read,gfx-write"}, {bmGFXRAMWrite, bmGFXRAMRead, bmSystemRAMRead}},
      {{"--test", "gfx-read"}, {bmGFXRAMRead}},
      // A group name runs its pageable and its pinned test; named twice, each runs once.
      {{"--test", "opencl-d2h,sys-read"}, {bmSystemRAMRead, bmOpenCLDeviceToHostPageable, bmOpenCLDeviceToHostPinned}},
      {{"--test", "opencl-d2h-pinned,opencl-h2d,opencl-d2h"},
       {bmOpenCLHostToDevicePageable, bmOpenCLHostToDevicePinned, bmOpenCLDeviceToHostPageable,
        bmOpenCLDeviceToHostPinned}},
      {{"--test", "opencl-h2d-pinned"}, {bmOpenCLHostToDevicePinned}},
  };
  for (const TCase& Case : Cases) {
    const TConsoleParse Parse = ParseConsoleArguments(Case.Arguments);
    ASSERT_TRUE(Parse.Options) << Parse.Error;
    EXPECT_EQ(Parse.Options->Tests, Case.Tests) << Case.Arguments[1];
  }
}

TEST(ConsoleOptions, AcceptsTheWindowsLimits) {
  const TConsoleParse Parse = ParseConsoleArguments({"--size", "10000", "--passes=2"});
  ASSERT_TRUE(Parse.Options) << Parse.Error;
  EXPECT_EQ(Parse.Options->SizeMB, 10000);
  EXPECT_EQ(Parse.Options->Passes, 2);
  const TConsoleParse Lowest = ParseConsoleArguments({"--size=256", "--passes", "10000"});
  ASSERT_TRUE(Lowest.Options) << Lowest.Error;
  EXPECT_EQ(Lowest.Options->SizeMB, 256);
  EXPECT_EQ(Lowest.Options->Passes, 10000);
}

TEST(ConsoleOptions, TakesTheOpenCLChoices) {
  const TConsoleParse Parse =
      ParseConsoleArguments({"--platform", "1", "--device=2", "--cores", "1920", "--list-devices"});
  ASSERT_TRUE(Parse.Options) << Parse.Error;
  EXPECT_EQ(Parse.Options->Platform, 1);
  EXPECT_EQ(Parse.Options->Device, 2);
  EXPECT_EQ(Parse.Options->Cores, 1920);
  EXPECT_TRUE(Parse.Options->ListDevices);
}

TEST(ConsoleOptions, AllCoreTestsRunOnlyWhenNamedWithTheThreadsGiven) {
  const TConsoleParse Default = ParseConsoleArguments({"--test", "all"});
  ASSERT_TRUE(Default.Options) << Default.Error;
  EXPECT_FALSE(Default.Options->Threads);
  EXPECT_EQ(Default.Options->Tests.size(), 5u);
  const TConsoleParse Named = ParseConsoleArguments({"--test", "sys-read-all,sys-read,sys-write-all", "--threads", "2"});
  ASSERT_TRUE(Named.Options) << Named.Error;
  EXPECT_EQ(Named.Options->Tests,
            (std::vector<TBenchmarkType>{bmSystemRAMRead, bmSystemRAMWriteAll, bmSystemRAMReadAll}));
  EXPECT_EQ(Named.Options->Threads, 2);
}

TEST(ConsoleOptions, RefusesBadArgumentsWithAOneLineReason) {
  struct TCase {
    Args Arguments;
    const char* Error;
  };
  const TCase Cases[] = {
      {{"--size", "255"}, "--size must be a whole number from 256 to 10000, not '255'"},
      {{"--size", "10001"}, "--size must be a whole number from 256 to 10000, not '10001'"},
      {{"--size", "512MB"}, "--size must be a whole number from 256 to 10000, not '512MB'"},
      {{"--size"}, "--size needs a value"},
      {{"--passes", "1"}, "--passes must be a whole number from 2 to 10000, not '1'"},
      {{"--passes", "-3"}, "--passes must be a whole number from 2 to 10000, not '-3'"},
      {{"--passes="}, "--passes must be a whole number from 2 to 10000, not ''"},
      {{"--platform", "-1"}, "--platform must be a whole number from 0 to 2147483647, not '-1'"},
      {{"--device", "x"}, "--device must be a whole number from 0 to 2147483647, not 'x'"},
      {{"--cores", "0"}, "--cores must be a whole number from 1 to 2147483647, not '0'"},
      {{"--cores", "99999999999"}, "--cores must be a whole number from 1 to 2147483647, not '99999999999'"},
      {{"--threads", "0"}, "--threads must be a whole number from 1 to 1024, not '0'"},
      {{"--threads", "1025"}, "--threads must be a whole number from 1 to 1024, not '1025'"},
      {{"--threads"}, "--threads needs a value"},
      {{"--list-devices=yes"}, "unknown argument '--list-devices=yes'"},
      {{"--test", "disk"}, "unknown test 'disk'"},
      {{"--test", ""}, "--test needs a test name"},
      {{"--fast"}, "unknown argument '--fast'"},
      {{"extra"}, "unknown argument 'extra'"},
      {{"--size", "256", "512"}, "unknown argument '512'"},
      {{"--console=1"}, "unknown argument '--console=1'"},
      {{"--version=2"}, "unknown argument '--version=2'"},
      {{"--json"}, "--json needs a file name"},
      {{"--csv"}, "--csv needs a file name"},
      {{"--compare"}, "--compare needs a results file"},
      {{"--compare", "a.json", "b.json", "c.json"}, "--compare takes one or two results files"},
      {{"--json", "-", "--csv=-"}, "--json and --csv cannot both write to standard output"},
      {{"--compare", "a.json", "--size", "512"},
       "--size cannot be given with --compare BASE: the run takes BASE's settings"},
      {{"--test", "sys-read", "--compare", "a.json"},
       "--test cannot be given with --compare BASE: the run takes BASE's settings"},
      {{"--compare", "a.json", "b.json", "--json", "c.json"},
       "--json cannot be given with --compare BASE NEW, which runs nothing"},
      {{"--compare", "a.json", "--list-devices"}, "--list-devices cannot be given with --compare"},
      {{"--chart"}, "--chart needs a file name"},
      {{"--chart", "run.jpg"}, "--chart writes SVG or PNG: its file name must end in .svg or .png, not 'run.jpg'"},
      {{"--chart", "run.svg.txt"},
       "--chart writes SVG or PNG: its file name must end in .svg or .png, not 'run.svg.txt'"},
      {{"--chart", ".png"}, "--chart writes SVG or PNG: its file name must end in .svg or .png, not '.png'"},
      {{"--chart="}, "--chart writes SVG or PNG: its file name must end in .svg or .png, not ''"},
      {{"--chart", "-"}, "--chart writes SVG or PNG: its file name must end in .svg or .png, not '-'"},
      {{"--compare", "a.json", "b.json", "--chart", "c.svg"},
       "--chart cannot be given with --compare BASE NEW, which runs nothing"},
  };
  for (const TCase& Case : Cases) {
    const TConsoleParse Parse = ParseConsoleArguments(Case.Arguments);
    EXPECT_FALSE(Parse.Options);
    EXPECT_EQ(Parse.Error, Case.Error);
  }
}

TEST(ConsoleOptions, TakesWhereTheResultsGoAndWhatToCompare) {
  struct TCase {
    Args Arguments;
    std::string Json, Csv;
    std::vector<std::string> Compare;
    bool Version;
    std::string Chart = "";
  };
  const TCase Cases[] = {
      {{"--console", "--json", "run.json"}, "run.json", "", {}, false},
      {{"--csv=-", "--json", "run.json", "--json", "last.json"}, "last.json", "-", {}, false},
      {{"--compare", "base.json"}, "", "", {"base.json"}, false},
      {{"--compare", "base.json", "--csv", "new.csv"}, "", "new.csv", {"base.json"}, false},
      {{"--compare=base.json", "new.json"}, "", "", {"base.json", "new.json"}, false},
      {{"--version"}, "", "", {}, true},
      {{"--console", "--chart", "run.svg"}, "", "", {}, false, "run.svg"},
      {{"--chart=/tmp/Run.PNG", "--json", "run.json"}, "run.json", "", {}, false, "/tmp/Run.PNG"},
      {{"--compare", "base.json", "--chart", "new.png"}, "", "", {"base.json"}, false, "new.png"},
  };
  for (const TCase& Case : Cases) {
    const TConsoleParse Parse = ParseConsoleArguments(Case.Arguments);
    ASSERT_TRUE(Parse.Options) << Parse.Error;
    EXPECT_EQ(Parse.Options->JsonFile, Case.Json);
    EXPECT_EQ(Parse.Options->CsvFile, Case.Csv);
    EXPECT_EQ(Parse.Options->Compare, Case.Compare);
    EXPECT_EQ(Parse.Options->Version, Case.Version);
    EXPECT_EQ(Parse.Options->ChartFile, Case.Chart);
  }
}

TEST(ConsoleUsage, ExplainsEveryOption) {
  const std::string Usage = ConsoleUsage("velmora");
  for (const char* Word : {"--console", "--test", "--size", "--passes", "--help", "gfx-write", "gfx-read", "sys-write", "sys-read", "all",
                           "256", "10000", "512", "default 5", "--json", "--csv", "--chart", "--compare", "--version",
                           "Exit status", "  0 ", "  1 ", "  2 ", "  130 ", "143"})
    EXPECT_NE(Usage.find(Word), std::string::npos) << Word;
}

}  // namespace
