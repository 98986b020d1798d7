#include "ConsoleFrontEnd.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "FakeGraphicsDevice.h"
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
  const auto MakeVideoMemory = [&] { return std::make_unique<TVraxDirect3D9>(false, FakeGraphicsInterface(Fake)); };
  EXPECT_EQ(RunConsole("velmora", {"--console", "--test", "gfx-read", "--size", "256", "--passes", "2"}, Out, Err,
                       MakeVideoMemory),
            0);
  const std::vector<std::string> Lines = LinesOf(Out.str());
  ASSERT_EQ(Lines.size(), 13u) << Out.str();
  EXPECT_EQ(Lines[0], TitleLine(ConsoleFileVersion()));
  EXPECT_EQ(Lines[1], "Fake adapter 3000 - Free texture memory: 3.00 GB");
  EXPECT_EQ(Lines[2], GetProcessorName());
  EXPECT_EQ(Lines[3], "Free texture memory: 2.75 GB");
  EXPECT_EQ(Lines[4], "Running GFX RAM read test...");
  EXPECT_EQ(Lines[9].rfind("Peak GFX RAM read: ", 0), 0u) << Lines[9];
  // After the test's own lines, the one on its passes after the first: with 2 passes, just one.
  EXPECT_EQ(Lines[10].rfind("Passes after the first (1): ", 0), 0u) << Lines[10];
  EXPECT_EQ(Lines[11], "");
  EXPECT_EQ(Lines[12].rfind("Peak read GFX RAM: ", 0), 0u) << Lines[12];
  EXPECT_NE(Lines[12], "Peak read GFX RAM: -");
  EXPECT_EQ(Err.str(), "");
}

TEST(ConsoleFrontEnd, WithoutAnAllocatorPrintsItsErrorAndRunsTheOtherTests) {
  TFakeGraphics Fake;
  Fake.HasInterface = false;
  std::ostringstream Out, Err;
  const auto MakeVideoMemory = [&] { return std::make_unique<TVraxDirect3D9>(false, FakeGraphicsInterface(Fake)); };
  // The GFX test failed, so the run did not complete.
  EXPECT_EQ(RunConsole("velmora", {"--test", "gfx-write,sys-read", "--size", "256", "--passes", "2"}, Out, Err,
                       MakeVideoMemory),
            1);
  const std::vector<std::string> Lines = LinesOf(Out.str());
  ASSERT_GE(Lines.size(), 5u) << Out.str();
  EXPECT_EQ(Lines[1], "Error: Creating D3D Object!");
  EXPECT_EQ(Lines[3], "Exception: No GFX memory: the graphics adapter could not be opened");
  EXPECT_EQ(Lines[4], "Allocated system memory: 256.00 MB");
  EXPECT_EQ(Lines[Lines.size() - 2], "Peak write GFX RAM: -");
  EXPECT_NE(Lines.back(), "Peak read SYS RAM: -");
}

TEST(ConsoleFrontEnd, HelpAndBadArgumentsMakeNoAllocator) {
  int Made = 0;
  const auto MakeVideoMemory = [&] {
    ++Made;
    return std::unique_ptr<TVraxDirect3D9>();
  };
  std::ostringstream Out, Err;
  RunConsole("velmora", {"--help"}, Out, Err, MakeVideoMemory);
  RunConsole("velmora", {"--passes", "1"}, Out, Err, MakeVideoMemory);
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
