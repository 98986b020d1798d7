#pragma once
// The only way out of a test: log lines and the peak result. The window posts them to its
// event queue, the console prints them, the tests of the program record them.

#include <string>

#include "BenchmarkModel.h"

class TBenchmarkReporter {
 public:
  virtual ~TBenchmarkReporter() = default;
  // Callable from any thread; never blocks on the receiver.
  virtual void Log(const std::string& Text) = 0;
  virtual void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) = 0;
};
