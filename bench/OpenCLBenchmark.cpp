#include "OpenCLBenchmark.h"

#include <sys/stat.h>

#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>
#include <stop_token>
#include <vector>

#include "CL.h"
#include "DCLDevice.h"
#include "DCLObjects.h"
#include "DCLPlatform.h"
#include "DCLText.h"
#include "ExceptionLine.h"
#include "ExecutableFolder.h"
#include "HelperQuobix.h"
#include "PassSummary.h"
#include "ProgramFile.h"
#include "SystemMemory.h"

namespace {

// Everything the test makes, declared in the order of making, so that it goes in reverse however
// the test ends: kernel, program, buffers, queue, host block, then the platform tree.
struct TOpenCLWorkingObjects {
  std::unique_ptr<const TDCLPlatforms> Platforms;
  const TDCLDevice* Device = nullptr;  // owned by Platforms
  std::unique_ptr<TDCLCommandQueue> Queue;
  std::unique_ptr<TSystemMemoryBlock> HostBlock;
  std::unique_ptr<TDCLBuffer> Source;
  std::unique_ptr<TDCLBuffer> Destination;
  std::unique_ptr<TDCLProgram> Program;
  std::unique_ptr<TDCLKernel> Kernel;
};

bool FileExists(const std::string& Path) {
  struct stat Status {};
  return stat(Path.c_str(), &Status) == 0 && S_ISREG(Status.st_mode);
}

const TDCLPlatform& ChosenPlatform(const TDCLPlatforms& Platforms, std::int32_t PlatformIndex) {
  if (Platforms.PlatformCount() == 0)
    throw std::out_of_range("There is no OpenCL platform: the OpenCL library reports none");
  // -1: nothing selected, which only an empty list in the window leaves.
  const std::string Found = " (" + std::to_string(Platforms.PlatformCount()) + " found)";
  if (PlatformIndex < 0) throw std::out_of_range("No OpenCL platform was chosen" + Found);
  const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(PlatformIndex));
  if (Platform == nullptr) throw std::out_of_range("There is no OpenCL platform " + std::to_string(PlatformIndex) + Found);
  return *Platform;
}

const TDCLDevice& ChosenDevice(const TDCLPlatform& Platform, std::int32_t PlatformIndex, std::int32_t DeviceIndex) {
  const std::string OnPlatform = " on platform " + std::to_string(PlatformIndex);
  if (Platform.DeviceCount() == 0) throw std::out_of_range("There is no OpenCL device" + OnPlatform);
  const std::string Found = " (" + std::to_string(Platform.DeviceCount()) + " found)";
  if (DeviceIndex < 0) throw std::out_of_range("No OpenCL device was chosen" + OnPlatform + Found);
  const PDCLDevice Device = Platform.GetDevice(static_cast<std::uint32_t>(DeviceIndex));
  if (Device == nullptr)
    throw std::out_of_range("There is no OpenCL device " + std::to_string(DeviceIndex) + OnPlatform + Found);
  return *Device;
}

// The text of a speed in bytes per second, truncated toward zero to a whole number.
std::string OpenCLSpeedText(double BytesPerSecond) {
  const double Whole = std::trunc(BytesPerSecond);
  // A conversion of a speed beyond 64 bits would be undefined; from 1024 bytes on both texts are
  // made from the double anyway, so the text is the same.
  if (Whole >= -0x1p63 && Whole < 0x1p63) return FormatByteSize(static_cast<std::int64_t>(Whole));
  return FormatByteSizeFloat(Whole);
}

// Makes the working objects and sets the kernel's arguments. Null, after the one line that says
// so, when the kernel file is not there; what was made by then is released on the way out.
std::unique_ptr<TOpenCLWorkingObjects> PrepareOpenCLTest(const TBenchmarkSettings& BenchmarkSettings,
                                                         TBenchmarkReporter& Reporter,
                                                         const std::optional<std::string>& KernelFolder) {
  const auto MemorySize = static_cast<std::uint64_t>(BenchmarkSettings.MemorySize);
  auto Objects = std::make_unique<TOpenCLWorkingObjects>();
  Objects->Platforms = std::make_unique<const TDCLPlatforms>();
  const TDCLPlatform& Platform = ChosenPlatform(*Objects->Platforms, BenchmarkSettings.OpenCLPlatform);
  Objects->Device = &ChosenDevice(Platform, BenchmarkSettings.OpenCLPlatform, BenchmarkSettings.OpenCLDevice);
  const TDCLDevice& Device = *Objects->Device;
  Reporter.OpenCLDeviceUsed({DisplayText(Platform.Name()), DisplayText(Device.Name()),
                             DisplayText(Device.DriverVersion()),
                             static_cast<std::uint32_t>(BenchmarkSettings.OpenCLComputeCoreCount), 1});
  Reporter.Log("OpenCL: Creating command queue...");
  Objects->Queue = Device.CreateCommandQueue({});
  Reporter.Log("OpenCL: Allocating buffer... " + FormatByteSizeFloat(static_cast<double>(MemorySize)));
  // Never written by the test, but backed by real zeroed pages: where the device reads host
  // memory directly (a CPU device), pages nobody wrote would all be the kernel's one zero page.
  Objects->HostBlock = TSystemMemory().Allocate(BenchmarkSettings.MemorySize, TBlockBacking::Populated);
  Reporter.Log("OpenCL: Creating buffer...");
  Objects->Source = Device.CreateBuffer(MemorySize, Objects->HostBlock->Address(), {mfReadOnly, mfUseHostPtr});
  Objects->Destination = Device.CreateBuffer(MemorySize, nullptr, {mfWriteOnly});
  Reporter.Log("OpenCL: Creating program...");
  const std::string KernelPath = FindProgramFile(KernelFolder ? *KernelFolder : ExecutableFolder(), KernelFileName);
  if (!FileExists(KernelPath)) {
    Reporter.Log("OpenCL: Error: File not found: " + KernelPath);
    Reporter.TestEnded(TTestStatus::Failed, "File not found: " + KernelPath);
    return nullptr;
  }
  Objects->Program = Device.CreateProgram(KernelPath, nullptr);
  Objects->Kernel = Objects->Program->CreateKernel("speedreadkernel");
  const std::uint64_t WordCount = MemorySize / 4;
  Objects->Kernel->SetArg(0, *Objects->Source);
  Objects->Kernel->SetArg(1, *Objects->Destination);
  Objects->Kernel->SetArg(2, sizeof WordCount, &WordCount);
  return Objects;
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
    Objects.Queue->Execute(*Objects.Kernel, WorkItems);
    const std::uint64_t Nanoseconds = Objects.Queue->ExecuteTime();
    Reporter.Log("OpenCL: Execution time: " + std::to_string(static_cast<std::int64_t>(Nanoseconds)) + " ns.");
    if (Nanoseconds == 0) {
      // A refused launch or a device without a time: no speed to show, none to count.
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

}  // namespace

void RunOpenCLTest(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                   const std::optional<std::string>& KernelFolder) {
  Reporter.TestStarted(bmOpenCLRAMReadWrite, BenchmarkSettings.MemorySize);
  Reporter.Log("Running OpenCL GFX RAM read & write test...");
  try {
    const auto WorkItems = static_cast<std::uint32_t>(BenchmarkSettings.OpenCLComputeCoreCount);
    CheckPassCount(BenchmarkSettings.Passes);
    if (!OpenCLLibraryHandle) throw std::runtime_error("OpenCL is not available: no OpenCL library is loaded");
    const std::uint64_t BytesPerPass =
        std::uint64_t{WorkItems} * static_cast<std::uint64_t>(BenchmarkSettings.MemorySize);
    TOpenCLPasses Passes;
    {
      const std::unique_ptr<TOpenCLWorkingObjects> Objects =
          PrepareOpenCLTest(BenchmarkSettings, Reporter, KernelFolder);
      if (!Objects) return;
      Passes = RunOpenCLPasses(*Objects, WorkItems, BenchmarkSettings.Passes, BytesPerPass,
                               BenchmarkSettings.StopToken, Reporter);
      Reporter.Log("OpenCL: Freeing...");
    }
    if (Passes.Launched < BenchmarkSettings.Passes) {
      const std::string Stopped = StoppedByUserLine(static_cast<std::size_t>(Passes.Launched), BenchmarkSettings.Passes);
      Reporter.Log(Stopped);
      Reporter.TestEnded(TTestStatus::Stopped, Stopped);
      return;
    }
    ReportOpenCLSummary(BytesPerPass, Passes.Times, Reporter);
  } catch (...) {
    ReportTestException(Reporter, std::current_exception());
  }
}

void BenchmarkOpenCLGFXRAMReadWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  RunOpenCLTest(BenchmarkSettings, Reporter, std::nullopt);
}
