#pragma once
// The headless front-end: runs the chosen tests on this thread and prints every log line as it
// comes, then the peak of each test that ran.

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "BenchmarkReporter.h"
#include "VraxDirect3D9.h"

// Prints each line at once and keeps the results for the closing peaks.
class TConsoleReporter : public TBenchmarkReporter {
 public:
  explicit TConsoleReporter(std::ostream& Out) : FOut(Out) {}
  void Log(const std::string& Text) override;
  void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) override;
  // The result text of a test, or "-" when it sent none.
  std::string Result(TBenchmarkType BenchmarkType) const;

 private:
  std::ostream& FOut;
  std::map<TBenchmarkType, std::string> FResults;
};

// The version the title line shows.
std::string ConsoleFileVersion();

// The whole console program: parses Arguments (without the program name), prints the start-up
// lines, runs, and returns the exit status (0 after a run, 2 for a bad argument, 128 + the signal
// when Ctrl-C or SIGTERM stopped the run, which then prints the peaks of the tests it started). It
// takes Ctrl-C and SIGTERM while it runs tests (TConsoleStopSignals). The allocator is made over
// OpenGraphics; without it the start-up line of the adapter is the allocator's error, and the GFX
// tests report that they have none. --list-devices lists the graphics adapters of OpenGraphics and
// the OpenCL devices. The OpenCL library is loaded only for the OpenCL test and --list-devices.
int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err, const TGraphicsInterfaceFactory& OpenGraphics = OpenDefaultGraphicsInterface,
               const std::string& OpenCLLibraryName = "libOpenCL.so.1");
