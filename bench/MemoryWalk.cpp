#include "MemoryWalk.h"

#include <cmath>
#include <exception>
#include <vector>

#include "ExceptionLine.h"
#include "HelperQuobix.h"
#include "LogNumbers.h"
#include "PassSummary.h"

namespace {

// The loops time in milliseconds from a nanosecond clock; the record keeps whole nanoseconds.
std::uint64_t Nanoseconds(double Milliseconds) {
  return Milliseconds > 0.0 ? static_cast<std::uint64_t>(std::llround(Milliseconds * 1e6)) : 0;
}

// The times of the passes that ran: all of them, or fewer when the user stopped the run. MemorySize
// is the block's, which the pass lines show.
std::vector<double> RunPasses(const TMemoryWalkTest& Test, std::int64_t MemorySize,
                              const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                              TMemoryBlockSource& Source, const TPassTimer& PassTimer) {
  // Sized once, before the first pass: nothing is allocated between two timed passes but the line.
  std::vector<double> PassTimes(static_cast<std::size_t>(BenchmarkSettings.Passes), 0.0);
  Reporter.Log(Test.StartLine);
  std::size_t Done = 0;
  // Asked before every pass, the first included: a stop during a long allocation walks nothing.
  for (; Done < PassTimes.size() && !BenchmarkSettings.StopToken.stop_requested(); ++Done) {
    const TMemorySpan Block = Source.PassBlock();
    PassTimes[Done] = PassTimer(Block.Address, Block.Size);
    Reporter.Log(TimedLine(Test.PassCaption, MemorySize, PassTimes[Done]));
    Reporter.PassTimed({Nanoseconds(PassTimes[Done]), static_cast<std::uint64_t>(MemorySize)});
  }
  PassTimes.resize(Done);
  return PassTimes;
}

// The average and the peak line, and the peak speed in bytes per second as the test's result.
void ReportPassSummary(const TMemoryWalkTest& Test, std::int64_t MemorySize, const std::vector<double>& PassTimes,
                       TBenchmarkReporter& Reporter) {
  const TPassSummary Summary = SummarisePasses(PassTimes);
  Reporter.Log(TimedLine(Test.AverageCaption, MemorySize, Summary.Average));
  Reporter.Log(TimedLine(Test.PeakCaption, MemorySize, Summary.Shortest));
  Reporter.SendResult(FormatByteSizeFloat(static_cast<double>(MemorySize) / (Summary.Shortest / 1000.0)) + "/s",
                      Test.Type, false);
  Reporter.TestEnded(TTestStatus::Completed, "");
}

}  // namespace

void RunMemoryWalkTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                       TBenchmarkReporter& Reporter, TMemoryBlockSource& Source, const TPassTimer& PassTimer) {
  Reporter.TestStarted(Test.Type, BenchmarkSettings.MemorySize);
  try {
    CheckPassCount(BenchmarkSettings.Passes);
    const std::int64_t MemorySize = Source.Acquire(BenchmarkSettings.MemorySize);
    std::vector<double> PassTimes;
    try {
      PassTimes = RunPasses(Test, MemorySize, BenchmarkSettings, Reporter, Source, PassTimer);
    } catch (...) {
      Source.Release();
      throw;
    }
    Source.Release();
    if (EndedByStop(PassTimes.size(), BenchmarkSettings.Passes, Reporter)) return;
    ReportPassSummary(Test, MemorySize, PassTimes, Reporter);
  } catch (...) {
    ReportTestException(Reporter, std::current_exception());
  }
}
