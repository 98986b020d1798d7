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

// Makes the video memory allocator; raises its error when it cannot.
using TVideoMemoryFactory = std::function<std::unique_ptr<TVraxDirect3D9>()>;

// The program's allocator: the default adapter over Vulkan, errors raised.
std::unique_ptr<TVraxDirect3D9> CreateVideoMemory();

// The version the title line shows.
std::string ConsoleFileVersion();

// The whole console program: parses Arguments (without the program name), prints the start-up
// lines, runs, and returns the exit status (0 after a run, 2 for a bad argument, 128 + the signal
// when Ctrl-C or SIGTERM stopped the run, which then prints the peaks of the tests it started). It
// takes Ctrl-C and SIGTERM while it runs tests (TConsoleStopSignals). Without an
// allocator the start-up line of the adapter is the allocator's error, and the GFX tests report
// that they have none. The OpenCL library is loaded only for the OpenCL test and --list-devices.
int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err, const TVideoMemoryFactory& MakeVideoMemory = CreateVideoMemory,
               const std::string& OpenCLLibraryName = "libOpenCL.so.1");
