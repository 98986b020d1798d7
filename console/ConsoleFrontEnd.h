#pragma once
// The headless front-end: runs the chosen tests on this thread and prints every log line as it
// comes, a line on the passes after the first for each test that completed, then the peak of each
// test that ran. It keeps the record of the run for --json, --csv and --compare.

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CL.h"
#include "ConsoleResults.h"
#include "RunRecorder.h"
#include "VraxDirect3D9.h"

// The console's exit statuses.
constexpr int ExitCompleted = 0;  // every test that ran completed; a comparison was made
// A test failed, an output could not be written, a file is not a result, or --list-devices could
// not list the OpenCL platforms.
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;      // a bad argument

// Prints each line at once, keeps the results for the closing peaks and the record of the run.
class TConsoleReporter : public TRunRecorder {
 public:
  explicit TConsoleReporter(std::ostream& Out, TRunInfo Run = {}, TRunSettings Settings = {});
  void Log(const std::string& Text) override;
  void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) override;
  // The result text of a test, or "-" when it sent none.
  std::string Result(TBenchmarkType BenchmarkType) const;
  // Whether a line could not be written, and the error number of the first that could not (0 where
  // the system gave none).
  bool OutputFailed() const { return FOutputFailed; }
  int OutputError() const { return FOutputError; }

 protected:
  // After the lines of a test that completed: the median and spread of its passes after the first.
  void TestRecorded(const TTestRecord& Test) override;

 private:
  std::ostream& FOut;
  std::map<TBenchmarkType, std::string> FResults;
  bool FOutputFailed = false;
  int FOutputError = 0;
};

// The version the title line shows.
std::string ConsoleFileVersion();

// The whole console program: parses Arguments (without the program name), prints the start-up
// lines, runs, writes the results files, compares, and returns the exit status (see above; 128 +
// the signal when Ctrl-C or SIGTERM stopped the run, which then prints the peaks of the tests it
// started). It takes Ctrl-C and SIGTERM while it runs tests (TConsoleStopSignals). The allocator is
// made over OpenGraphics; without it the start-up line of the adapter is the allocator's error, and
// the GFX tests report that they have none. --list-devices lists the graphics adapters of
// OpenGraphics and the OpenCL devices. The OpenCL library is loaded only for the OpenCL test and
// --list-devices. PaintPng draws --chart's PNG; without it --chart takes only SVG.
int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err, const TGraphicsInterfaceFactory& OpenGraphics = OpenDefaultGraphicsInterface,
               const std::string& OpenCLLibraryName = DefaultOpenCLLibraryName, const TChartPngPainter& PaintPng = {});
