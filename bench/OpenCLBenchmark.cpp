#include "OpenCLBenchmark.h"

#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>
#include <stop_token>
#include <vector>

#include "CL.h"
#include "DCLErrors.h"
#include "ExceptionLine.h"
#include "HelperQuobix.h"
#include "OpenCLSetUp.h"
#include "PassSummary.h"

namespace {

// The text of a speed in bytes per second, truncated toward zero to a whole number.
std::string OpenCLSpeedText(double BytesPerSecond) {
  const double Whole = std::trunc(BytesPerSecond);
  // A conversion of a speed beyond 64 bits would be undefined; from 1024 bytes on both texts are
  // made from the double anyway, so the text is the same.
  if (Whole >= -0x1p63 && Whole < 0x1p63) return FormatByteSize(static_cast<std::int64_t>(Whole));
  return FormatByteSizeFloat(Whole);
}

// A launch whose command failed on the device, not one that merely has no counters.
bool LaunchFailed(std::int32_t Status) { return Status != CL_SUCCESS && Status != CL_PROFILING_INFO_NOT_AVAILABLE; }

// One pass: a launch over every part of the block in turn, all work items each time. Its time is
// the sum of the launches' kernel times; 0 when a launch reported none. A launch that fails ends
// the test: after a watchdog stopped a kernel the device is of no more use.
std::uint64_t RunOnePass(const TOpenCLWorkingObjects& Objects, std::uint32_t WorkItems, std::int32_t Pass) {
  std::uint64_t Nanoseconds = 0;
  bool Untimed = false;
  for (const TLaunchBuffers& Launch : Objects.Launches) {
    if (Objects.Launches.size() > 1) SetLaunchArguments(Objects, Launch);
    TDCLCommandQueue& Queue = *Objects.Queue;
    if (Objects.WorkGroupSize) Queue.Execute(*Objects.Kernel, WorkItems, *Objects.WorkGroupSize);
    else Queue.Execute(*Objects.Kernel, WorkItems);
    if (LaunchFailed(Queue.Status()))
      throw std::runtime_error("The kernel failed in pass " + std::to_string(Pass) + " (" +
                               OpenCLErrorName(Queue.Status()) +
                               "); a display driver stops kernels that run for seconds, and fewer work items or a "
                               "smaller block make them shorter");
    Untimed = Untimed || Queue.ExecuteTime() == 0;
    Nanoseconds += Queue.ExecuteTime();
  }
  return Untimed ? 0 : Nanoseconds;
}

// The passes that ran: how many were launched, and the seconds of each that reported a time.
struct TOpenCLPasses {
  std::int32_t Launched = 0;  // all of them, or fewer when the user stopped the run
  std::vector<double> Times;  // in pass order
};

// Runs and logs every pass, asking before each launch whether the user stopped the run.
TOpenCLPasses RunOpenCLPasses(const TOpenCLWorkingObjects& Objects, std::uint32_t WorkItems, std::int32_t Passes,
                              std::uint64_t BytesPerPass, const std::stop_token& StopToken,
                              TBenchmarkReporter& Reporter) {
  TOpenCLPasses Done;
  Done.Times.reserve(static_cast<std::size_t>(Passes));
  for (std::int32_t Pass = 1; Pass <= Passes; ++Pass) {
    if (StopToken.stop_requested()) break;
    ++Done.Launched;
    Reporter.Log("OpenCL: Pass " + std::to_string(Pass) + "...");
    const std::uint64_t Nanoseconds = RunOnePass(Objects, WorkItems, Pass);
    Reporter.Log("OpenCL: Execution time: " + std::to_string(static_cast<std::int64_t>(Nanoseconds)) + " ns.");
    if (Nanoseconds == 0) {
      // A device without a time: no speed to show, none to count.
      Reporter.Log("OpenCL: Speed: no execution time was reported");
      Reporter.PassTimed({0, BytesPerPass});
      continue;
    }
    const double Time = static_cast<double>(Nanoseconds) / 1000000000.0;
    Reporter.Log("OpenCL: Speed: " + OpenCLSpeedText(static_cast<double>(BytesPerPass) / Time) + "/s");
    Reporter.PassTimed({Nanoseconds, BytesPerPass});
    Done.Times.push_back(Time);
  }
  return Done;
}

// The closing lines and the result: the average speed is the bytes of one pass over the mean pass
// time, the peak the bytes over the shortest.
void ReportOpenCLSummary(std::uint64_t BytesPerPass, const std::vector<double>& PassTimes,
                         TBenchmarkReporter& Reporter) {
  Reporter.Log("OpenCL test finished.");
  if (PassTimes.empty())
    throw std::runtime_error("No pass of the OpenCL test reported an execution time, so there is no speed");
  const TPassSummary Summary = SummarisePasses(PassTimes);
  Reporter.Log("OpenCL GFX RAM read & write test average: " +
               OpenCLSpeedText(static_cast<double>(BytesPerPass) / Summary.Average) + "/s");
  const std::string Peak = OpenCLSpeedText(static_cast<double>(BytesPerPass) / Summary.Shortest);
  Reporter.Log("OpenCL GFX RAM read & write test peak: " + Peak + "/s");
  Reporter.SendResult(Peak + "/s", bmOpenCLRAMReadWrite, false);
  Reporter.TestEnded(TTestStatus::Completed, "");
}

// A count below 1 would wrap to billions of work items, each reading the whole block.
void CheckWorkItemCount(std::int32_t WorkItems) {
  if (WorkItems < 1)
    throw std::invalid_argument("The number of OpenCL work items must be at least 1, not " + std::to_string(WorkItems));
}

}  // namespace

void RunOpenCLTest(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                   const TOpenCLTestOptions& Options) {
  Reporter.TestStarted(bmOpenCLRAMReadWrite, BenchmarkSettings.MemorySize);
  Reporter.Log("Running OpenCL GFX RAM read & write test...");
  try {
    CheckWorkItemCount(BenchmarkSettings.OpenCLComputeCoreCount);
    const auto WorkItems = static_cast<std::uint32_t>(BenchmarkSettings.OpenCLComputeCoreCount);
    CheckPassCount(BenchmarkSettings.Passes);
    CheckOpenCLLoaded();
    const std::uint64_t BytesPerPass =
        std::uint64_t{WorkItems} * static_cast<std::uint64_t>(BenchmarkSettings.MemorySize);
    TOpenCLPasses Passes;
    {
      const std::unique_ptr<TOpenCLWorkingObjects> Objects =
          PrepareOpenCLTest(BenchmarkSettings, Reporter, Options);
      if (!Objects) return;
      Passes = RunOpenCLPasses(*Objects, WorkItems, BenchmarkSettings.Passes, BytesPerPass,
                               BenchmarkSettings.StopToken, Reporter);
      Reporter.Log("OpenCL: Freeing...");
    }
    if (EndedByStop(static_cast<std::size_t>(Passes.Launched), BenchmarkSettings.Passes, Reporter)) return;
    ReportOpenCLSummary(BytesPerPass, Passes.Times, Reporter);
  } catch (...) {
    ReportTestException(Reporter, std::current_exception());
  }
}

void BenchmarkOpenCLGFXRAMReadWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunOpenCLTest(BenchmarkSettings, Reporter, TOpenCLTestOptions{});
}
