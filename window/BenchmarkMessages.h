#pragma once
// The two message objects that carry a test's log lines and results to the window's thread, as
// events 1480 and 1481 (WindowEvents.h). The sender fills one on the heap and hands it over; from
// then on it belongs to the receiver.

#include <string>

#include "BenchmarkModel.h"

struct TLogMessage {
  std::string Text;  // one log line
};

struct TBenchmarkResultMessage {
  std::string Text;  // the peak text for the test's label; empty on a run's final message
  TBenchmarkType BenchmarkType = bmAll;
  bool Finished = false;  // true only on a run's final message
};
