#include "OpenCLTransferBenchmark.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "CL.h"
#include "DCLErrors.h"
#include "DCLText.h"
#include "ExceptionLine.h"
#include "HelperQuobix.h"
#include "LogNumbers.h"
#include "OpenCLDeviceLink.h"
#include "OpenCLSetUp.h"
#include "PassSummary.h"
#include "SystemMemory.h"

const TOpenCLTransferTest HostToDevicePageableTest{bmOpenCLHostToDevicePageable,
                                                   TTransferDirection::HostToDevice,
                                                   THostMemory::Pageable,
                                                   "Running OpenCL host to device test from pageable memory...",
                                                   "Host to device from pageable memory: ",
                                                   "Average host to device from pageable memory: ",
                                                   "Peak host to device from pageable memory: "};
const TOpenCLTransferTest HostToDevicePinnedTest{bmOpenCLHostToDevicePinned,
                                                 TTransferDirection::HostToDevice,
                                                 THostMemory::Pinned,
                                                 "Running OpenCL host to device test from pinned memory...",
                                                 "Host to device from pinned memory: ",
                                                 "Average host to device from pinned memory: ",
                                                 "Peak host to device from pinned memory: "};
const TOpenCLTransferTest DeviceToHostPageableTest{bmOpenCLDeviceToHostPageable,
                                                   TTransferDirection::DeviceToHost,
                                                   THostMemory::Pageable,
                                                   "Running OpenCL device to host test into pageable memory...",
                                                   "Device to host into pageable memory: ",
                                                   "Average device to host into pageable memory: ",
                                                   "Peak device to host into pageable memory: "};
const TOpenCLTransferTest DeviceToHostPinnedTest{bmOpenCLDeviceToHostPinned,
                                                 TTransferDirection::DeviceToHost,
                                                 THostMemory::Pinned,
                                                 "Running OpenCL device to host test into pinned memory...",
                                                 "Device to host into pinned memory: ",
                                                 "Average device to host into pinned memory: ",
                                                 "Peak device to host into pinned memory: "};

namespace {

std::string Bytes(std::uint64_t Size) { return FormatByteSize(static_cast<std::int64_t>(Size)); }

// Everything a transfer test makes, declared in the order of making, so that it goes in reverse
// however the test ends: the device's buffer, the pinned memory's mapping and buffer, the pageable
// block, the queue, then the platform tree.
struct TTransferObjects : TOpenCLDeviceQueue {
  std::unique_ptr<TSystemMemoryBlock> PageableBlock;
  std::unique_ptr<TDCLBuffer> PinnedBuffer;
  std::unique_ptr<TDCLMappedBuffer> PinnedMapping;
  std::unique_ptr<TDCLBuffer> DeviceBuffer;
  void* Host = nullptr;  // the host memory every pass copies from or into
  TOpenCLRecord Record;  // the device, as the record of the run keeps it
};

// A copy that the runtime refused or that failed on the device ends the test: its time would be
// none, or that of a copy that did not happen.
void CheckCopy(const TDCLCommandQueue& Queue, const std::string& Which) {
  if (Queue.Status() != CL_SUCCESS && Queue.Status() != CL_PROFILING_INFO_NOT_AVAILABLE)
    throw std::runtime_error("The copy " + Which + " failed (" + OpenCLErrorName(Queue.Status()) + ")");
}

void Copy(const TOpenCLTransferTest& Test, TTransferObjects& Objects, std::uint64_t MemorySize) {
  if (Test.Direction == TTransferDirection::HostToDevice)
    Objects.Queue->WriteBuffer(*Objects.DeviceBuffer, MemorySize, Objects.Host);
  else
    Objects.Queue->ReadBuffer(*Objects.DeviceBuffer, MemorySize, Objects.Host);
}

// The host memory of the test: a block of the process whose every page is backed before the first
// pass, or a buffer the runtime places in host memory, mapped and written once so that its pages
// are backed as well. Pages nobody wrote would all be the kernel's one zero page, and copying from
// them would time a cache.
void MakeHostMemory(const TOpenCLTransferTest& Test, TTransferObjects& Objects, std::uint64_t MemorySize,
                    const TAvailableMemoryProbe& AvailableMemory) {
  if (Test.HostMemory == THostMemory::Pageable) {
    Objects.PageableBlock =
        TSystemMemory(AvailableMemory).Allocate(static_cast<std::int64_t>(MemorySize), TBlockBacking::Populated);
    Objects.Host = Objects.PageableBlock->Address();
    return;
  }
  Objects.PinnedBuffer = Objects.Device->CreateBuffer(MemorySize, nullptr, {mfReadWrite, mfAllocHostPtr});
  CheckMade(Objects.PinnedBuffer->Status(), Objects.PinnedBuffer->Handle() != nullptr,
            "the pinned host buffer of " + Bytes(MemorySize));
  Objects.PinnedMapping = std::make_unique<TDCLMappedBuffer>(*Objects.Queue, *Objects.PinnedBuffer);
  if (Objects.PinnedMapping->Address() == nullptr)
    Refused("to map the pinned host buffer of " + Bytes(MemorySize), Objects.PinnedMapping->Status());
  Objects.Host = Objects.PinnedMapping->Address();
  std::memset(Objects.Host, 0, MemorySize);
}

// Makes and checks every object, logging the set-up lines as it goes.
std::unique_ptr<TTransferObjects> PrepareTransfer(const TOpenCLTransferTest& Test,
                                                  const TBenchmarkSettings& BenchmarkSettings,
                                                  TBenchmarkReporter& Reporter, const TOpenCLTransferOptions& Options) {
  const auto MemorySize = static_cast<std::uint64_t>(BenchmarkSettings.MemorySize);
  auto Objects = std::make_unique<TTransferObjects>();
  // No kernel runs: no work items, and one command a pass.
  Objects->Record = OpenChosenDevice(*Objects, BenchmarkSettings, 0, Reporter);
  const TDCLDevice& Device = *Objects->Device;
  Reporter.Log("OpenCL: Allocating buffer... " + FormatByteSizeFloat(static_cast<double>(MemorySize)));
  CheckBlockFits(Device, MemorySize, {1, "buffer"}, Options.AvailableMemory);
  Reporter.Log("OpenCL: Creating buffer...");
  MakeHostMemory(Test, *Objects, MemorySize, Options.AvailableMemory);
  Objects->DeviceBuffer = Device.CreateBuffer(MemorySize, nullptr, {mfReadWrite});
  CheckMade(Objects->DeviceBuffer->Status(), Objects->DeviceBuffer->Handle() != nullptr,
            "the device buffer of " + Bytes(MemorySize));
  // Runtimes place a buffer on first use: one copy before the passes, not timed, so that no pass
  // pays for that and a device to host copy reads memory that was written.
  Objects->Queue->WriteBuffer(*Objects->DeviceBuffer, MemorySize, Objects->Host);
  CheckCopy(*Objects->Queue, "that places the block in the device's buffer before the passes");
  return Objects;
}

// The passes that ran: how many were made, and the milliseconds of each that reported a time.
struct TTransferPasses {
  std::int32_t Made = 0;  // all of them, or fewer when the user stopped the run
  std::vector<double> Times;
};

// Runs and logs every pass, asking before each whether the user stopped the run.
TTransferPasses RunTransferPasses(const TOpenCLTransferTest& Test, TTransferObjects& Objects,
                                  const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  const std::int64_t MemorySize = BenchmarkSettings.MemorySize;
  TTransferPasses Done;
  Done.Times.reserve(static_cast<std::size_t>(BenchmarkSettings.Passes));
  for (; Done.Made < BenchmarkSettings.Passes && !BenchmarkSettings.StopToken.stop_requested(); ++Done.Made) {
    Copy(Test, Objects, static_cast<std::uint64_t>(MemorySize));
    CheckCopy(*Objects.Queue, "of pass " + std::to_string(Done.Made + 1));
    const std::uint64_t Nanoseconds = Objects.Queue->ExecuteTime();
    if (Nanoseconds == 0) {
      // A device without a time: no speed to show, none to count.
      Reporter.Log(Test.PassCaption + FormatByteSize(MemorySize) + ", no execution time was reported");
    } else {
      const double Milliseconds = static_cast<double>(Nanoseconds) / 1e6;
      Reporter.Log(TimedLine(Test.PassCaption, MemorySize, Milliseconds));
      Done.Times.push_back(Milliseconds);
    }
    Reporter.PassTimed({Nanoseconds, static_cast<std::uint64_t>(MemorySize)});
  }
  return Done;
}

// "Peak share of the link's rate: 42.6 % of 30048.1MB/s per direction over PCIe 4.0 x16"
std::optional<std::string> LinkShareLine(double PeakBytesPerSecond, const TPciLink& Link) {
  const std::optional<double> LinkRate = PciLinkBytesPerSecond(Link);
  if (!LinkRate) return std::nullopt;
  return "Peak share of the link's rate: " + PercentText(PeakBytesPerSecond / *LinkRate) + " of " +
         FormatRateFigure(*LinkRate / static_cast<double>(BytesPerMegabyte)) + "MB/s per direction over " + PciLinkText(Link);
}

// The average and the peak line, the peak's share of the link, and the peak speed as the result.
void ReportTransferSummary(const TOpenCLTransferTest& Test, std::int64_t MemorySize,
                           const std::vector<double>& PassTimes, const std::optional<TPciLink>& Link,
                           TBenchmarkReporter& Reporter) {
  if (PassTimes.empty())
    throw std::runtime_error("No pass of the transfer test reported an execution time, so there is no speed");
  const TPassSummary Summary = SummarisePasses(PassTimes);
  Reporter.Log(TimedLine(Test.AverageCaption, MemorySize, Summary.Average));
  Reporter.Log(TimedLine(Test.PeakCaption, MemorySize, Summary.Shortest));
  const double PeakBytesPerSecond = static_cast<double>(MemorySize) / (Summary.Shortest / 1000.0);
  if (Link)
    if (const std::optional<std::string> Line = LinkShareLine(PeakBytesPerSecond, *Link)) Reporter.Log(*Line);
  Reporter.SendResult(FormatByteSizeFloat(PeakBytesPerSecond) + "/s", Test.Type, false);
  Reporter.TestEnded(TTestStatus::Completed, "");
}

}  // namespace

void RunOpenCLTransferTest(const TOpenCLTransferTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                           TBenchmarkReporter& Reporter, const TOpenCLTransferOptions& Options) {
  Reporter.TestStarted(Test.Type, BenchmarkSettings.MemorySize);
  Reporter.Log(Test.StartLine);
  try {
    CheckPassCount(BenchmarkSettings.Passes);
    CheckOpenCLLoaded();
    TTransferPasses Passes;
    std::optional<TPciLink> Link;
    {
      const std::unique_ptr<TTransferObjects> Objects = PrepareTransfer(Test, BenchmarkSettings, Reporter, Options);
      Passes = RunTransferPasses(Test, *Objects, BenchmarkSettings, Reporter);
      // Read while the link still runs as it did for the copies: cards lower it soon after.
      Link = OpenCLDeviceLink(*Objects->Device, Options.SysfsRoot);
      if (Link) {
        Objects->Record.PCIeLink = PciLinkText(*Link);
        Reporter.OpenCLDeviceUsed(Objects->Record);
      }
      Reporter.Log("OpenCL: Freeing...");
    }
    if (EndedByStop(static_cast<std::size_t>(Passes.Made), BenchmarkSettings.Passes, Reporter)) return;
    ReportTransferSummary(Test, BenchmarkSettings.MemorySize, Passes.Times, Link, Reporter);
  } catch (...) {
    ReportTestException(Reporter, std::current_exception());
  }
}

void BenchmarkOpenCLHostToDevicePageable(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunOpenCLTransferTest(HostToDevicePageableTest, BenchmarkSettings, Reporter, {});
}

void BenchmarkOpenCLHostToDevicePinned(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunOpenCLTransferTest(HostToDevicePinnedTest, BenchmarkSettings, Reporter, {});
}

void BenchmarkOpenCLDeviceToHostPageable(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunOpenCLTransferTest(DeviceToHostPageableTest, BenchmarkSettings, Reporter, {});
}

void BenchmarkOpenCLDeviceToHostPinned(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunOpenCLTransferTest(DeviceToHostPinnedTest, BenchmarkSettings, Reporter, {});
}
