#pragma once
// What the system RAM and GFX RAM tests share: their texts, the pass phase over one block and the
// summary of the pass times (average, peak, result). Each test keeps only how it gets its block
// and gives it back.

#include <cstdint>
#include <functional>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "TimedLoops.h"

// Times one pass over a block: the real loops, or a script of known times in the tests.
using TPassTimer = std::function<double(void* PMemory, std::uint64_t MemoryChunkSize)>;

// One memory-walk test: its result type, its timed loop and the captions of its lines.
struct TMemoryWalkTest {
  TBenchmarkType Type;
  TTimedLoop Loop;             // the loop that times its passes
  bool ReadsBlock;             // the loop reads the block rather than writes it
  const char* StartLine;       // "Running system RAM read test..."
  const char* PassCaption;     // "Read from system memory: "
  const char* AverageCaption;  // "Average system RAM read: "
  const char* PeakCaption;     // "Peak system RAM read: "
};

// The block one pass walks.
struct TMemorySpan {
  void* Address;
  std::uint64_t Size;  // bytes
};

// Where a memory-walk test's block comes from and where it goes back to.
class TMemoryBlockSource {
 public:
  virtual ~TMemoryBlockSource() = default;
  // Takes a block for a request of MemorySize bytes and logs the outcome; returns the bytes the
  // passes walk, which a source may make smaller than asked for (and says so).
  virtual std::int64_t Acquire(std::int64_t MemorySize) = 0;
  // The block the next pass walks.
  virtual TMemorySpan PassBlock() = 0;
  // Gives the block back and logs it; runs however the pass phase ends.
  virtual void Release() = 0;
};

// The whole test: the block taken, every pass timed and logged, the block given back, then the
// average and peak lines and the peak speed as the result. Every size and speed in the lines is
// that of the block the source acquired, as a rule the settings' MemorySize. Never lets an error
// escape: it ends in one "Exception: " line, after the block went back. Stopped by the user (the
// settings' StopToken), it ends after the current pass: the block goes back, one line says the
// user stopped it, and there is no result.
void RunMemoryWalkTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                       TBenchmarkReporter& Reporter, TMemoryBlockSource& Source, const TPassTimer& PassTimer);
