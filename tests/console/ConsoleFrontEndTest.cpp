#include "ConsoleFrontEnd.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "FakeGraphicsDevice.h"
#include "FakeOpenCLLoader.h"
#include "FakeVulkan.h"
#include "StartupLines.h"

namespace {

TEST(ConsoleFrontEnd, ABadArgumentPrintsTheReasonAndWhereHelpIsAndReturnsTwo) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--console", "--passes", "1"}, Out, Err), 2);
  EXPECT_EQ(Out.str(), "");
  EXPECT_EQ(Err.str(),
            "velmora: --passes must be a whole number from 2 to 10000, not '1'\n"
            "Try 'velmora --help'\n");
}

TEST(ConsoleFrontEnd, HelpGoesToStandardOutput) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--help"}, Out, Err), 0);
  EXPECT_NE(Out.str().find("Usage: velmora --console"), std::string::npos);
  EXPECT_EQ(Err.str(), "");
}

std::vector<std::string> LinesOf(const std::string& Text) {
  std::vector<std::string> Lines;
  std::istringstream Stream(Text);
  for (std::string Line; std::getline(Stream, Line);) Lines.push_back(Line);
  return Lines;
}

TEST(ConsoleFrontEnd, PrintsTheStartupLinesBeforeAnyTest) {
  TFakeGraphics Fake;
  Fake.Description = "Fake adapter 3000";
  Fake.TotalMemory = std::uint64_t{3} << 30;
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--console", "--test", "gfx-read", "--size", "256", "--passes", "2"}, Out, Err,
                       FakeGraphicsInterface(Fake)),
            0);
  const std::vector<std::string> Lines = LinesOf(Out.str());
  ASSERT_EQ(Lines.size(), 14u) << Out.str();
  EXPECT_EQ(Lines[0], TitleLine(ConsoleFileVersion()));
  EXPECT_EQ(Lines[1], "Fake adapter 3000 - Free texture memory: 3.00 GB");
  EXPECT_EQ(Lines[2], GetProcessorName());
  EXPECT_EQ(Lines[3], "GFX memory the processor can reach: 3.00 GB of 3.00 GB (resizable BAR on)");
  EXPECT_EQ(Lines[4], "Free texture memory: 2.75 GB");
  EXPECT_EQ(Lines[5], "Running GFX RAM read test...");
  EXPECT_EQ(Lines[10].rfind("Peak GFX RAM read: ", 0), 0u) << Lines[10];
  // After the test's own lines, the one on its passes after the first: with 2 passes, just one.
  EXPECT_EQ(Lines[11].rfind("Passes after the first (1): ", 0), 0u) << Lines[11];
  EXPECT_EQ(Lines[12], "");
  EXPECT_EQ(Lines[13].rfind("Peak read GFX RAM: ", 0), 0u) << Lines[13];
  EXPECT_NE(Lines[13], "Peak read GFX RAM: -");
  EXPECT_EQ(Err.str(), "");
}

// On a discrete card without resizable BAR beside an integrated GPU, from the fake Vulkan driver.
class ConsoleOnACard : public ::testing::Test {
 protected:
  ConsoleOnACard() { Sysfs.Link("0000:01:00.0", "8.0 GT/s PCIe", 16, "8.0 GT/s PCIe", 16); }
  TScopedFakeVulkan Driver{"integrated,small-bar"};
  TFakePciSysfs Sysfs;
};

TEST_F(ConsoleOnACard, TheFourthStartUpLineSaysWhatTheGFXTestsTouch) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--test", "sys-read", "--size", "256", "--passes", "2"}, Out, Err, Sysfs.Vulkan()),
            0);
  const std::vector<std::string> Lines = LinesOf(Out.str());
  ASSERT_GE(Lines.size(), 5u) << Out.str();
  // Free texture memory is the card's free memory, not its 214 MB window.
  EXPECT_EQ(Lines[1], "NVIDIA GeForce RTX 2070 SUPER - Free texture memory: 7.08 GB");
  EXPECT_EQ(Lines[3], "GFX memory the processor can reach: 214.00 MB of 8.00 GB (resizable BAR off), PCIe 3.0 x16");
  EXPECT_EQ(Lines[4], "Allocated system memory: 256.00 MB");
}

TEST_F(ConsoleOnACard, ListDevicesShowsEveryVulkanAdapterBeforeTheOpenCLDevices) {
  ForgetOpenCLLibrary();  // as a process that has not loaded OpenCL yet, whatever ran before
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--list-devices"}, Out, Err, Sysfs.Vulkan(), "libOpenCL-that-does-not-exist.so.1"),
            0);
  // The loader puts discrete cards first.
  EXPECT_EQ(Out.str(),
            "Vulkan adapter 0: NVIDIA GeForce RTX 2070 SUPER - discrete GPU (the GFX tests' adapter), free texture "
            "memory 7.08 GB\n"
            "  GFX memory the processor can reach: 214.00 MB of 8.00 GB (resizable BAR off), PCIe 3.0 x16\n"
            "Vulkan adapter 1: Intel(R) UHD Graphics 630 (CFL GT2) - integrated GPU, free texture memory 10.50 GB\n"
            "  GFX memory the processor can reach: 11.00 GB of 12.00 GB (memory shared with the processor)\n"
            "No OpenCL library could be loaded, so there is no OpenCL platform.\n");
  EXPECT_EQ(Err.str(), "");

  // Without adapters, or without Vulkan at all, the listing says so and goes on to OpenCL.
  TScopedFakeVulkan NoAdapters("");
  Out.str("");
  RunConsole("velmora", {"--list-devices"}, Out, Err, Sysfs.Vulkan(), "libOpenCL-that-does-not-exist.so.1");
  EXPECT_EQ(Out.str().substr(0, Out.str().find('\n')), "The Vulkan driver reports no graphics adapter.");
  Out.str("");
  RunConsole("velmora", {"--list-devices"}, Out, Err, [] { return std::unique_ptr<TGraphicsInterface>(); },
             "libOpenCL-that-does-not-exist.so.1");
  EXPECT_EQ(Out.str().substr(0, Out.str().find('\n')),
            "No Vulkan loader or driver could be opened, so there is no graphics adapter.");
}

TEST_F(ConsoleOnACard, TheGFXTestWalksTheLargestBlockTheWindowHoldsAndSaysSo) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--test", "gfx-read", "--size", "256", "--passes", "2"}, Out, Err, Sysfs.Vulkan()),
            0);
  const std::vector<std::string> Lines = LinesOf(Out.str());
  ASSERT_EQ(Lines.size(), 15u) << Out.str();
  EXPECT_EQ(Lines[4],
            "GFX RAM block reduced to 192.00 MB: the processor can reach only 214.00 MB of this adapter's memory "
            "(resizable BAR is off)");
  EXPECT_EQ(Lines[5], "Free texture memory: 7.08 GB");
  EXPECT_EQ(Lines[6], "Running GFX RAM read test...");
  const std::string Figures = R"( 192\.00 MB [0-9]+\.[0-9]{2} ms \([0-9.E]+MB/s\))";
  for (const auto& [Index, Caption] : {std::pair{7, "Read from GFX memory:"}, std::pair{8, "Read from GFX memory:"},
                                       std::pair{10, "Average GFX RAM read:"}, std::pair{11, "Peak GFX RAM read:"}})
    EXPECT_TRUE(std::regex_match(Lines[Index], std::regex(Caption + Figures))) << Lines[Index];
  EXPECT_EQ(Lines[12].rfind("Passes after the first (1): ", 0), 0u) << Lines[12];
  EXPECT_EQ(Lines[14].rfind("Peak read GFX RAM: ", 0), 0u);
  EXPECT_NE(Lines[14], "Peak read GFX RAM: -");
}

TEST(ConsoleOnCards, ABlockNoCardCanServeSaysWhyBeforeTheFailureLines) {
  struct TCase {
    const char* Adapters;
    const char* Size;
    const char* Why;
  };
  const TCase Cases[] = {
      {"small-bar", "10000", "GFX RAM block of 9.77 GB does not fit: this adapter has only 7.08 GB of free memory"},
      {"no-window", "256",
       "GFX RAM block of 256.00 MB does not fit: the processor can reach only 0 Byte of this adapter's memory "
       "(resizable BAR is off)"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Adapters);
    TScopedFakeVulkan Driver(Case.Adapters);
    TFakePciSysfs Sysfs;
    std::ostringstream Out, Err;
    // The test failed, so the run did not complete.
    EXPECT_EQ(RunConsole("velmora", {"--test", "gfx-write", "--size", Case.Size, "--passes", "2"}, Out, Err,
                         Sysfs.Vulkan()),
              1);
    const std::vector<std::string> Lines = LinesOf(Out.str());
    ASSERT_EQ(Lines.size(), 12u) << Out.str();
    // The closing summary keeps the reason, which the error's own message does not name.
    EXPECT_EQ(std::vector<std::string>(Lines.begin() + 4, Lines.end()),
              (std::vector<std::string>{Case.Why, "Error: Could not allocate GFX memory!", Lines[6],
                                        "Running GFX RAM write test...",
                                        "Exception: List index out of bounds (0).  TList is empty", "",
                                        "Peak write GFX RAM: -",
                                        "gfx-write failed: List index out of bounds (0).  TList is empty (" +
                                            std::string(Case.Why) + ")"}));
    EXPECT_EQ(Lines[6].rfind("Free texture memory: ", 0), 0u) << Lines[6];
  }
}

TEST(ConsoleFrontEnd, WithoutAnAllocatorPrintsItsErrorAndRunsTheOtherTests) {
  TFakeGraphics Fake;
  Fake.HasInterface = false;
  std::ostringstream Out, Err;
  // The GFX test failed, so the run did not complete.
  EXPECT_EQ(RunConsole("velmora", {"--test", "gfx-write,sys-read", "--size", "256", "--passes", "2"}, Out, Err,
                       FakeGraphicsInterface(Fake)),
            1);
  const std::vector<std::string> Lines = LinesOf(Out.str());
  ASSERT_GE(Lines.size(), 5u) << Out.str();
  EXPECT_EQ(Lines[1], "Error: Creating D3D Object!");
  // The same in Linux terms: what is missing and which package provides it.
  EXPECT_EQ(Lines[2], GraphicsUnavailableLine("Error: Creating D3D Object!"));
  EXPECT_NE(Lines[2].find("mesa-vulkan-drivers"), std::string::npos) << Lines[2];
  EXPECT_EQ(Lines[4], "Exception: No GFX memory: the graphics adapter could not be opened");
  EXPECT_EQ(Lines[5], "Allocated system memory: 256.00 MB");
  EXPECT_EQ(Lines[Lines.size() - 2], "Peak write GFX RAM: -");
  EXPECT_NE(Lines.back(), "Peak read SYS RAM: -");
}

TEST(ConsoleFrontEnd, HelpAndBadArgumentsMakeNoAllocator) {
  int Made = 0;
  const auto OpenGraphics = [&] {
    ++Made;
    return std::unique_ptr<TGraphicsInterface>();
  };
  std::ostringstream Out, Err;
  RunConsole("velmora", {"--help"}, Out, Err, OpenGraphics);
  RunConsole("velmora", {"--passes", "1"}, Out, Err, OpenGraphics);
  EXPECT_EQ(Made, 0);
}

TEST(ConsoleReporter, PrintsEachLineAndKeepsTheResults) {
  std::ostringstream Out;
  TConsoleReporter Reporter(Out);
  Reporter.Log("first");
  Reporter.Log("");
  Reporter.SendResult("10.64 GB/s", bmSystemRAMRead, false);
  Reporter.SendResult("", bmAll, true);
  EXPECT_EQ(Out.str(), "first\n\n");
  EXPECT_EQ(Reporter.Result(bmSystemRAMRead), "10.64 GB/s");
  EXPECT_EQ(Reporter.Result(bmSystemRAMWrite), "-");
}

}  // namespace
