#pragma once
// The headless front-end: runs the chosen tests on this thread and prints every log line as it
// comes, then the peak of each test that ran.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "BenchmarkReporter.h"

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

// The caption of a test's peak, as the window's result box reads ("Peak write SYS RAM:").
std::string PeakCaption(TBenchmarkType BenchmarkType);

// The whole console program: parses Arguments (without the program name), runs, and returns the
// exit status (0 after a run, 2 for a bad argument).
int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err);
