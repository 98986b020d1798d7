#include "OpenCLBenchmark.h"

#include <sys/stat.h>

#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "CL.h"
#include "DCLDevice.h"
#include "DCLObjects.h"
#include "DCLPlatform.h"
#include "ExecutableFolder.h"
#include "HelperQuobix.h"
#include "MemoryWalkTest.h"
#include "SystemMemory.h"

namespace {

bool FileExists(const std::string& Path) {
  struct stat Status {};
  return stat(Path.c_str(), &Status) == 0 && S_ISREG(Status.st_mode);
}

const TDCLDevice& ChosenDevice(const TDCLPlatforms& Platforms, std::int32_t PlatformIndex, std::int32_t DeviceIndex) {
  // The indices are unsigned there: -1, no selection in the window, names nothing.
  const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(PlatformIndex));
  if (Platform == nullptr)
    throw std::out_of_range("There is no OpenCL platform " + std::to_string(PlatformIndex) + " (" +
                            std::to_string(Platforms.PlatformCount()) + " found)");
  const PDCLDevice Device = Platform->GetDevice(static_cast<std::uint32_t>(DeviceIndex));
  if (Device == nullptr)
    throw std::out_of_range("There is no OpenCL device " + std::to_string(DeviceIndex) + " on platform " +
                            std::to_string(PlatformIndex) + " (" + std::to_string(Platform->DeviceCount()) +
                            " found)");
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

}  // namespace

void RunOpenCLTest(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                   const std::string& KernelFolder) {
  Reporter.Log("Running OpenCL GFX RAM read & write test...");
  try {
    const auto MemorySize = static_cast<std::uint64_t>(BenchmarkSettings.MemorySize);
    const auto WorkItems = static_cast<std::uint32_t>(BenchmarkSettings.OpenCLComputeCoreCount);
    CheckPassCount(BenchmarkSettings.Passes);
    if (!OpenCLLibraryHandle) throw std::runtime_error("OpenCL is not available: no OpenCL library is loaded");

    const std::uint64_t BytesPerPass = std::uint64_t{WorkItems} * MemorySize;
    // Seconds of each pass; 0 for a pass whose launch reported no time.
    std::vector<double> PassTimes(static_cast<std::size_t>(BenchmarkSettings.Passes), 0.0);
    double Shortest = std::numeric_limits<double>::max();
    {
      // Declared in the order of making, so that they go in reverse order however this block is
      // left: kernel, program, buffers, queue, host block, then the platform tree.
      const TDCLPlatforms Platforms;
      const TDCLDevice& Device =
          ChosenDevice(Platforms, BenchmarkSettings.OpenCLPlatform, BenchmarkSettings.OpenCLDevice);
      Reporter.Log("OpenCL: Creating command queue...");
      const std::unique_ptr<TDCLCommandQueue> Queue = Device.CreateCommandQueue({});
      const std::uint64_t WordCount = MemorySize / 4;
      Reporter.Log("OpenCL: Allocating buffer... " + FormatByteSizeFloat(static_cast<double>(MemorySize)));
      // Never written by the test, but backed by real zeroed pages: where the device reads host
      // memory directly (a CPU device), pages nobody wrote would all be the kernel's one zero page.
      const std::unique_ptr<TSystemMemoryBlock> HostBlock =
          TSystemMemory().Allocate(BenchmarkSettings.MemorySize, TBlockBacking::Populated);
      Reporter.Log("OpenCL: Creating buffer...");
      const std::unique_ptr<TDCLBuffer> Source =
          Device.CreateBuffer(MemorySize, HostBlock->Address(), {mfReadOnly, mfUseHostPtr});
      const std::unique_ptr<TDCLBuffer> Destination = Device.CreateBuffer(MemorySize, nullptr, {mfWriteOnly});
      Reporter.Log("OpenCL: Creating program...");
      const std::string KernelPath = KernelFolder + KernelFileName;
      if (!FileExists(KernelPath)) {
        Reporter.Log("OpenCL: Error: File not found: " + KernelPath);
        return;
      }
      const std::unique_ptr<TDCLProgram> Program = Device.CreateProgram(KernelPath, nullptr);
      const std::unique_ptr<TDCLKernel> Kernel = Program->CreateKernel("speedreadkernel");
      Kernel->SetArg(0, *Source);
      Kernel->SetArg(1, *Destination);
      Kernel->SetArg(2, sizeof WordCount, &WordCount);

      for (std::size_t Pass = 0; Pass < PassTimes.size(); ++Pass) {
        Reporter.Log("OpenCL: Pass " + std::to_string(Pass + 1) + "...");
        Queue->Execute(*Kernel, WorkItems);
        const std::uint64_t Nanoseconds = Queue->ExecuteTime();
        Reporter.Log("OpenCL: Execution time: " + std::to_string(static_cast<std::int64_t>(Nanoseconds)) + " ns.");
        if (Nanoseconds == 0) {
          // A refused launch or a device without a time: no speed to show, none to count.
          Reporter.Log("OpenCL: Speed: no execution time was reported");
          continue;
        }
        const double Time = static_cast<double>(Nanoseconds) / 1000000000.0;
        Reporter.Log("OpenCL: Speed: " + OpenCLSpeedText(static_cast<double>(BytesPerPass) / Time) + "/s");
        if (Shortest > Time) Shortest = Time;
        PassTimes[Pass] = Time;
      }
      Reporter.Log("OpenCL: Freeing...");
    }

    double Sum = 0.0;
    std::size_t TimedPasses = 0;
    for (const double Time : PassTimes)
      if (Time > 0.0) {
        Sum += Time;
        ++TimedPasses;
      }
    Reporter.Log("OpenCL test finished.");
    if (TimedPasses == 0)
      throw std::runtime_error("No pass of the OpenCL test reported an execution time, so there is no speed");
    const double Average = Sum / static_cast<double>(TimedPasses);
    Reporter.Log("OpenCL GFX RAM read & write test average: " +
                 OpenCLSpeedText(static_cast<double>(BytesPerPass) / Average) + "/s");
    const std::string Peak = OpenCLSpeedText(static_cast<double>(BytesPerPass) / Shortest);
    Reporter.Log("OpenCL GFX RAM read & write test peak: " + Peak + "/s");
    Reporter.SendResult(Peak + "/s", bmOpenCLRAMReadWrite, false);
  } catch (...) {
    Reporter.Log(ExceptionLine(std::current_exception()));
  }
}

void BenchmarkOpenCLGFXRAMReadWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter) {
  std::string Folder;
  try {
    Folder = ExecutableFolder();
  } catch (...) {
    Reporter.Log("Running OpenCL GFX RAM read & write test...");
    Reporter.Log(ExceptionLine(std::current_exception()));
    return;
  }
  RunOpenCLTest(BenchmarkSettings, Reporter, Folder);
}
