// The console's results: the record on standard output with the log beside it, comparisons of
// results files, files that are not results, and a log that cannot be written.

#include "ConsoleFrontEnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "RecordJson.h"
#include "RecordReader.h"
#include "TextFile.h"

namespace {

// A folder of the test's own, made anew.
std::string Folder(const std::string& Name) {
  const std::filesystem::path Path = std::filesystem::path(::testing::TempDir()) / ("velmora-console-" + Name);
  std::filesystem::remove_all(Path);
  std::filesystem::create_directories(Path);
  return Path.string() + "/";
}

// A read test over 256 MB whose passes after the first ran at the given rates in GiB/s.
TRunRecord SystemReadRun(const std::vector<double>& Rates, std::int32_t Passes = 3) {
  TRunRecord Record;
  Record.Run.VelmoraVersion = "1.0.0.0";
  Record.Run.StartTimeUTC = "2026-01-31T17:04:05Z";
  Record.Settings.Tests = {bmSystemRAMRead};
  Record.Settings.Settings.MemorySize = std::int64_t{256} << 20;
  Record.Settings.Settings.Passes = Passes;
  TTestRecord Test;
  Test.Type = bmSystemRAMRead;
  Test.Status = TTestStatus::Completed;
  Test.BlockSize = Record.Settings.Settings.MemorySize;
  for (const double Rate : Rates)
    Test.Passes.push_back({static_cast<std::uint64_t>(0.25e9 / Rate), std::uint64_t{256} << 20});
  Record.Tests = {Test};
  return Record;
}

const std::vector<std::string> SmallRun = {"--console", "--test", "sys-read", "--size", "256", "--passes", "3"};

std::vector<std::string> With(std::vector<std::string> Arguments, const std::vector<std::string>& More) {
  Arguments.insert(Arguments.end(), More.begin(), More.end());
  return Arguments;
}

TEST(ConsoleResults, JsonOnStandardOutputSendsTheLogToStandardError) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", With(SmallRun, {"--json", "-"}), Out, Err), ExitCompleted) << Err.str();
  const TRunRecord Record = RunRecordFromJson(Out.str());
  ASSERT_EQ(Record.Tests.size(), 1u);
  EXPECT_EQ(Record.Tests[0].Status, TTestStatus::Completed);
  EXPECT_EQ(Record.Tests[0].Passes.size(), 3u);
  EXPECT_EQ(Record.Settings.Settings.Passes, 3);
  EXPECT_NE(Err.str().find("Running system RAM read test...\n"), std::string::npos);
  EXPECT_NE(Err.str().find("\nPasses after the first (2): median "), std::string::npos);
  EXPECT_NE(Err.str().find("\nPeak read SYS RAM: "), std::string::npos);
}

TEST(ConsoleResults, ComparesTwoFilesAndRefusesOneThatIsNotAResult) {
  const std::string Dir = Folder("compare");
  WriteTextFile(Dir + "base.json", RunRecordJson(SystemReadRun({4.0, 10.0, 10.1, 9.9})));
  WriteTextFile(Dir + "new.json", RunRecordJson(SystemReadRun({4.0, 12.0, 12.1, 11.9})));
  WriteTextFile(Dir + "log.txt", "Velmora 1.0.0.0 Linux64\n");
  {
    std::ostringstream Out, Err;
    EXPECT_EQ(RunConsole("velmora", {"--compare", Dir + "base.json", Dir + "new.json"}, Out, Err), ExitCompleted);
    EXPECT_EQ(Err.str(), "");
    EXPECT_NE(Out.str().find("Base: " + Dir + "base.json (Velmora 1.0.0.0, 2026-01-31T17:04:05Z)\n"),
              std::string::npos);
    EXPECT_NE(Out.str().find("\nsys-read   "), std::string::npos) << Out.str();
    EXPECT_NE(Out.str().find("+20.0 %   faster"), std::string::npos) << Out.str();
  }
  struct TCase {
    std::vector<std::string> Arguments;
    std::string Error;
  };
  const TCase Cases[] = {
      {{"--compare", Dir + "base.json", Dir + "log.txt"},
       "velmora: " + Dir + "log.txt is not a Velmora result: it is not JSON: parse error at line 1, column 1: "
       "syntax error while parsing value - invalid literal; last read: 'V'\n"},
      {{"--compare", Dir + "missing.json", Dir + "new.json"},
       "velmora: cannot read " + Dir + "missing.json: No such file or directory\n"},
      {{"--compare", Dir + "log.txt"},
       "velmora: " + Dir + "log.txt is not a Velmora result: it is not JSON: parse error at line 1, column 1: "
       "syntax error while parsing value - invalid literal; last read: 'V'\n"},
  };
  for (const TCase& Case : Cases) {
    std::ostringstream Out, Err;
    EXPECT_EQ(RunConsole("velmora", Case.Arguments, Out, Err), ExitFailed);
    EXPECT_EQ(Err.str(), Case.Error);
    EXPECT_EQ(Out.str(), "");
  }
}

TEST(ConsoleResults, CompareWithOneFileRunsWithItsSettingsFirst) {
  const std::string Dir = Folder("rerun");
  WriteTextFile(Dir + "base.json", RunRecordJson(SystemReadRun({4.0, 10.0, 10.1, 9.9}, 4)));
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", {"--compare", Dir + "base.json", "--json", Dir + "new.json"}, Out, Err),
            ExitCompleted)
      << Err.str();
  const std::string Log = Out.str();
  EXPECT_NE(Log.find("Running system RAM read test..."), std::string::npos);
  EXPECT_EQ(Log.find("Running system RAM write test..."), std::string::npos);
  EXPECT_NE(Log.find("\nNew:  this run (Velmora "), std::string::npos) << Log;
  const TRunRecord New = RunRecordFromJson(ReadTextFile(Dir + "new.json"));
  EXPECT_EQ(New.Settings.Tests, std::vector<TBenchmarkType>{bmSystemRAMRead});
  EXPECT_EQ(New.Settings.Settings.MemorySize, std::int64_t{256} << 20);
  EXPECT_EQ(New.Settings.Settings.Passes, 4);
  ASSERT_EQ(New.Tests.size(), 1u);
  EXPECT_EQ(New.Tests[0].Passes.size(), 4u);

  // Settings this program cannot run are refused before anything runs.
  WriteTextFile(Dir + "one-pass.json", RunRecordJson(SystemReadRun({4.0}, 1)));
  std::ostringstream Out2, Err2;
  EXPECT_EQ(RunConsole("velmora", {"--compare", Dir + "one-pass.json"}, Out2, Err2), ExitFailed);
  EXPECT_EQ(Err2.str(), "velmora: cannot run with the settings of " + Dir + "one-pass.json: its 1 passes are not 2 to 10000\n");
  EXPECT_EQ(Out2.str(), "");
}

TEST(ConsoleResults, ALogThatCannotBeWrittenSkipsTheTestsAndFails) {
  const std::string Dir = Folder("broken-log");
  std::ostringstream Out, Err;
  Out.setstate(std::ios::badbit);
  EXPECT_EQ(RunConsole("velmora", With(SmallRun, {"--json", Dir + "run.json"}), Out, Err), ExitFailed);
  EXPECT_EQ(Err.str(), "velmora: could not write the log to standard output: the output failed\n");
  const TRunRecord Record = RunRecordFromJson(ReadTextFile(Dir + "run.json"));
  ASSERT_EQ(Record.Tests.size(), 1u);
  EXPECT_EQ(Record.Tests[0].Status, TTestStatus::Skipped);
  EXPECT_EQ(Record.Tests[0].Message, "The log could not be written");
}

TEST(ConsoleResults, AResultsFileThatCannotBeWrittenFailsWithTheSystemsReason) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunConsole("velmora", With(SmallRun, {"--csv", "/dev/full"}), Out, Err), ExitFailed);
  EXPECT_EQ(Err.str(), "velmora: could not write /dev/full: No space left on device\n");
  EXPECT_NE(Out.str().find("Peak read SYS RAM: "), std::string::npos);
}

TEST(ConsoleResults, TheChartIsWrittenAfterTheRunAsItsNameSaysOrWhyNot) {
  const std::string Dir = Folder("chart");
  std::vector<TRunRecord> Painted;
  // Stands in for Qt's painter, which only the program with the window has.
  const TChartPngPainter FakePng = [&Painted](const TRunRecord& Record) {
    Painted.push_back(Record);
    return std::string("\x89PNG fake");
  };
  const TChartPngPainter NoPng = [](const TRunRecord&) { return std::string(); };
  const std::string CannotDraw = "velmora: --chart cannot write PNG: this velmora was built without its window, and "
                                 "without Qt, which draws it; name an .svg file\nTry 'velmora --help'\n";
  struct TCase {
    std::string File;
    TChartPngPainter Painter;
    int Status;
    std::string Error;
    bool Ran;
    std::string Starts;  // what the file starts with; empty: no file
  };
  const TCase Cases[] = {
      {Dir + "run.svg", {}, ExitCompleted, "", true, "<?xml version=\"1.0\""},
      {Dir + "run.PNG", FakePng, ExitCompleted, "", true, "\x89PNG fake"},
      {Dir + "no-qt.png", {}, ExitUsage, CannotDraw, false, ""},
      // A folder that is not there is found before the run, not after it.
      {Dir + "missing/run.svg", {}, ExitUsage,
       "velmora: cannot write --chart " + Dir + "missing/run.svg: the folder " + Dir + "missing does not exist\n", false,
       ""},
      {Dir + "undrawn.png", NoPng, ExitFailed, "velmora: could not draw the chart for " + Dir + "undrawn.png\n", true, ""},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.File);
    std::ostringstream Out, Err;
    EXPECT_EQ(RunConsole("velmora", With(SmallRun, {"--chart", Case.File}), Out, Err, OpenDefaultGraphicsInterface,
                         "libOpenCL.so.1", Case.Painter),
              Case.Status);
    EXPECT_EQ(Err.str(), Case.Error);
    EXPECT_EQ(Out.str().find("Peak read SYS RAM: ") != std::string::npos, Case.Ran);
    EXPECT_EQ(std::filesystem::exists(Case.File), !Case.Starts.empty());
    if (!Case.Starts.empty()) {
      EXPECT_EQ(ReadTextFile(Case.File).rfind(Case.Starts, 0), 0u);
    }
  }
  // The PNG is drawn from the run's own record.
  ASSERT_EQ(Painted.size(), 1u);
  ASSERT_EQ(Painted[0].Tests.size(), 1u);
  EXPECT_EQ(Painted[0].Tests[0].Type, bmSystemRAMRead);
  EXPECT_EQ(Painted[0].Tests[0].Status, TTestStatus::Completed);
  EXPECT_EQ(Painted[0].Tests[0].Passes.size(), 3u);
  const std::string Svg = ReadTextFile(Dir + "run.svg");
  EXPECT_NE(Svg.find("<g class=\"series\" data-name=\"sys-read\">"), std::string::npos);
}

}  // namespace
