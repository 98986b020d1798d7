#pragma once
// What the system RAM and GFX RAM tests share: their texts, the pass phase over one block and
// the summary of the pass times (average, peak, result).

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "TimedLoops.h"

// Times one pass over a block: the real loops, or a script of known times in the tests.
using TPassTimer = std::function<double(void* PMemory, std::uint64_t MemoryChunkSize)>;

// One memory-walk test: its result type, its timed loop and the captions of its lines.
struct TMemoryWalkTest {
  TBenchmarkType Type;
  TTimedLoop Loop;  // the loop that times its passes
  bool ReadsBlock;  // the loop reads the block rather than writes it
  const char* StartLine;       // "Running system RAM read test..."
  const char* PassCaption;     // "Read from system memory: "
  const char* AverageCaption;  // "Average system RAM read: "
  const char* PeakCaption;     // "Peak system RAM read: "
};

// Refuses a pass count that leaves nothing to average.
void CheckPassCount(std::int32_t Passes);

// Logs the average and the peak line and sends the peak speed, in bytes per second, as the
// test's result. Of equal shortest passes the earlier one stands; every pass counts.
void ReportPassSummary(const TMemoryWalkTest& Test, std::int64_t MemorySize, const std::vector<double>& PassTimes,
                       TBenchmarkReporter& Reporter);

// "Exception: " followed by the message of the exception being handled.
std::string ExceptionLine(std::exception_ptr Error);
