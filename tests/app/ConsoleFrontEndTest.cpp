#include "ConsoleFrontEnd.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(ConsoleFrontEnd, ABadArgumentPrintsTheReasonAndUsageAndReturnsTwo) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--console", "--passes", "1"}, Out, Err), 2);
  EXPECT_EQ(Out.str(), "");
  const std::string Error = Err.str();
  EXPECT_EQ(Error.substr(0, Error.find('\n')), "velmora: --passes must be a whole number from 2 to 10000, not '1'");
  EXPECT_NE(Error.find("Usage: velmora --console"), std::string::npos);
}

TEST(ConsoleFrontEnd, HelpGoesToStandardOutput) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--help"}, Out, Err), 0);
  EXPECT_NE(Out.str().find("Usage: velmora --console"), std::string::npos);
  EXPECT_EQ(Err.str(), "");
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
