#include "OpenCLSetUp.h"

#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "CL.h"
#include "DCLErrors.h"
#include "DCLText.h"
#include "ExecutableFolder.h"
#include "HelperQuobix.h"
#include "OpenCLLaunchPlan.h"
#include "ProgramFile.h"

namespace {

constexpr const char* KernelName = "speedreadkernel";
constexpr std::uint32_t KernelArguments = 3;  // source, destination, word count

std::string Bytes(std::uint64_t Size) { return FormatByteSize(static_cast<std::int64_t>(Size)); }


TOpenCLDeviceShape ShapeOf(const TDCLDevice& Device) {
  TOpenCLDeviceShape Shape;
  Shape.IsGPU = Device.IsGPU();
  Shape.ComputeUnits = Device.MaxComputeUnits();
  Shape.MaxWorkGroupSize = Device.MaxWorkGroupSize();
  Shape.GlobalMemCacheSize = Device.GlobalMemCacheSize();
  Shape.BaseAddressAlign = Device.MemBaseAddrAlign() / 8;  // the device reports bits
  Shape.HasSubBuffers = static_cast<bool>(CL::clCreateSubBuffer);
  return Shape;
}

// The first lines of a build log, joined into one: the compiler's first complaint.
std::string FirstLogLines(std::string Log) {
  Log = Log.substr(0, Log.find('\0'));
  std::string Lines;
  std::size_t Start = 0;
  for (int Count = 0; Count < 3 && Start < Log.size();) {
    const std::size_t End = std::min(Log.find('\n', Start), Log.size());
    std::string Line = Log.substr(Start, End - Start);
    while (!Line.empty() && (Line.back() == '\r' || Line.back() == ' ')) Line.pop_back();
    if (!Line.empty()) {
      Lines += (Count++ > 0 ? " | " : "") + Line;
    }
    Start = End + 1;
  }
  return Lines.empty() ? "no build log" : Lines;
}

// The parts of the block a pass launches over, as sub-buffers where there are several.
std::vector<TLaunchBuffers> MakeLaunchBuffers(const TOpenCLWorkingObjects& Objects, std::uint64_t MemorySize,
                                              std::uint32_t WorkItems, std::optional<std::uint32_t> ForcedParts) {
  const std::vector<TLaunchPart> Parts = PlanLaunchParts(MemorySize, WorkItems, ShapeOf(*Objects.Device), ForcedParts);
  std::vector<TLaunchBuffers> Launches;
  for (const TLaunchPart& Part : Parts) {
    TLaunchBuffers Launch;
    Launch.WordCount = Part.Size / 4;
    if (Parts.size() > 1) {
      const std::string What = "a part of " + Bytes(Part.Size) + " at " + Bytes(Part.Offset) + " of the ";
      Launch.Source = std::make_unique<TDCLBuffer>(*Objects.Source, Part.Offset, Part.Size);
      CheckMade(Launch.Source->Status(), Launch.Source->Handle() != nullptr, What + "source buffer");
      Launch.Destination = std::make_unique<TDCLBuffer>(*Objects.Destination, Part.Offset, Part.Size);
      CheckMade(Launch.Destination->Status(), Launch.Destination->Handle() != nullptr, What + "destination buffer");
    }
    Launches.push_back(std::move(Launch));
  }
  return Launches;
}

// The program built for the device and its kernel, with the arguments the test passes; anything
// else ends the test before a launch.
void MakeKernel(TOpenCLWorkingObjects& Objects, const std::string& KernelPath) {
  Objects.Program = Objects.Device->CreateProgram(KernelPath, nullptr);
  if (Objects.Program->BuildStatus() != CL_SUCCESS)
    throw std::runtime_error("The kernel file did not build (" + OpenCLErrorName(Objects.Program->BuildStatus()) +
                             "): " + FirstLogLines(Objects.Program->Log()));
  Objects.Kernel = Objects.Program->CreateKernel(KernelName);
  if (Objects.Kernel->Handle() == nullptr)
    throw std::runtime_error(std::string("The kernel file has no kernel ") + KernelName + " (" +
                             OpenCLErrorName(Objects.Kernel->Status()) + ")");
  const std::uint32_t Arguments = Objects.Kernel->NumArgs();
  if (Arguments != KernelArguments)
    throw std::runtime_error(std::string(KernelName) + " takes " + std::to_string(Arguments) + " arguments, not the " +
                             std::to_string(KernelArguments) + " the test passes");
  SetLaunchArguments(Objects, Objects.Launches.front());
}

bool FileExists(const std::string& Path) {
  struct stat Status {};
  return stat(Path.c_str(), &Status) == 0 && S_ISREG(Status.st_mode);
}

}  // namespace

void Refused(const std::string& What, std::int32_t Code) {
  throw std::runtime_error("OpenCL refused " + What + ": " + OpenCLErrorName(Code));
}

void CheckMade(std::int32_t Status, bool Made, const std::string& What) {
  if (Status != CL_SUCCESS || !Made) Refused(What, Status != CL_SUCCESS ? Status : CL_INVALID_VALUE);
}

void CheckOpenCLLoaded() {
  if (!OpenCLLibraryHandle) throw std::runtime_error("OpenCL is not available: no OpenCL library is loaded");
}

TChosenOpenCLDevice ChooseOpenCLDevice(const TDCLPlatforms& Platforms, const TBenchmarkSettings& BenchmarkSettings) {
  const std::int32_t PlatformIndex = BenchmarkSettings.OpenCLPlatform;
  const std::int32_t DeviceIndex = BenchmarkSettings.OpenCLDevice;
  if (Platforms.PlatformCount() == 0)
    throw std::out_of_range("There is no OpenCL platform: the OpenCL library reports none");
  // -1: nothing selected, which only an empty list in the window leaves.
  const std::string PlatformsFound = " (" + std::to_string(Platforms.PlatformCount()) + " found)";
  if (PlatformIndex < 0) throw std::out_of_range("No OpenCL platform was chosen" + PlatformsFound);
  const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(PlatformIndex));
  if (Platform == nullptr)
    throw std::out_of_range("There is no OpenCL platform " + std::to_string(PlatformIndex) + PlatformsFound);
  const std::string OnPlatform = " on platform " + std::to_string(PlatformIndex);
  if (Platform->DeviceCount() == 0) throw std::out_of_range("There is no OpenCL device" + OnPlatform);
  const std::string DevicesFound = " (" + std::to_string(Platform->DeviceCount()) + " found)";
  if (DeviceIndex < 0) throw std::out_of_range("No OpenCL device was chosen" + OnPlatform + DevicesFound);
  const PDCLDevice Device = Platform->GetDevice(static_cast<std::uint32_t>(DeviceIndex));
  if (Device == nullptr)
    throw std::out_of_range("There is no OpenCL device " + std::to_string(DeviceIndex) + OnPlatform + DevicesFound);
  return {Platform, Device};
}

// A block the device cannot hold, or that the machine cannot back, is refused before any of it is
// made: the runtime would refuse the buffers, fail a command, or let the out-of-memory killer end
// the program.
void CheckBlockFits(const TDCLDevice& Device, std::uint64_t MemorySize, const TOpenCLBlockUse& Use,
                    const TAvailableMemoryProbe& AvailableMemory) {
  if (Device.MaxMemAllocSize() > 0 && MemorySize > Device.MaxMemAllocSize())
    throw std::runtime_error("The block of " + Bytes(MemorySize) + " is larger than this OpenCL device's largest buffer of " +
                             Bytes(Device.MaxMemAllocSize()));
  const std::uint64_t OnDevice = Use.DeviceBuffers * MemorySize;
  if (Device.GlobalMemSize() > 0 && OnDevice > Device.GlobalMemSize()) {
    const std::string Global = "this OpenCL device's global memory of " + Bytes(Device.GlobalMemSize());
    if (Use.DeviceBuffers == 1) throw std::runtime_error("The block of " + Bytes(MemorySize) + " is larger than " + Global);
    const std::string Count = Use.DeviceBuffers == 2 ? "two" : std::to_string(Use.DeviceBuffers);
    throw std::runtime_error("The " + Count + " buffers of " +
                             Bytes(MemorySize) + " each need " + Bytes(OnDevice) + ", more than " + Global);
  }
  const std::optional<std::uint64_t> Available = AvailableMemory ? AvailableMemory() : std::nullopt;
  if (!Available) return;
  const std::string AvailableText = " (" + Bytes(*Available) + " available)";
  // The host block; and, on a device that works in system memory, the buffer it keeps there too.
  if (Device.IsCPU() || Device.IsHostUnifiedMemory()) {
    if (2 * MemorySize > *Available)
      throw std::runtime_error("Not enough free system memory for the block of " + Bytes(MemorySize) +
                               " and this device's " + Use.SystemMemoryBuffer + " of " + Bytes(MemorySize) +
                               AvailableText);
  } else if (MemorySize > *Available) {
    throw std::runtime_error("Not enough free system memory for a block of " + Bytes(MemorySize) + AvailableText);
  }
}

// Sets the kernel's three arguments for one launch; a refused one ends the test.
void SetLaunchArguments(const TOpenCLWorkingObjects& Objects, const TLaunchBuffers& Launch) {
  TDCLKernel& Kernel = *Objects.Kernel;
  const auto Check = [&](std::uint32_t Index) {
    if (Kernel.Status() != CL_SUCCESS)
      Refused("argument " + std::to_string(Index) + " of " + KernelName, Kernel.Status());
  };
  Kernel.SetArg(0, Launch.Source ? *Launch.Source : *Objects.Source);
  Check(0);
  Kernel.SetArg(1, Launch.Destination ? *Launch.Destination : *Objects.Destination);
  Check(1);
  Kernel.SetArg(2, sizeof Launch.WordCount, &Launch.WordCount);
  Check(2);
}

TOpenCLRecord OpenChosenDevice(TOpenCLDeviceQueue& Objects, const TBenchmarkSettings& BenchmarkSettings,
                               std::uint32_t WorkItems, TBenchmarkReporter& Reporter) {
  Objects.Platforms = std::make_unique<const TDCLPlatforms>();
  const TChosenOpenCLDevice Chosen = ChooseOpenCLDevice(*Objects.Platforms, BenchmarkSettings);
  Objects.Device = Chosen.Device;
  const TOpenCLRecord Record{DisplayText(Chosen.Platform->Name()), DisplayText(Chosen.Device->Name()),
                             DisplayText(Chosen.Device->DriverVersion()), WorkItems, 1, ""};
  Reporter.OpenCLDeviceUsed(Record);
  Reporter.Log("OpenCL: Creating command queue...");
  Objects.Queue = Chosen.Device->CreateCommandQueue({});
  CheckMade(Objects.Queue->Status(), Objects.Queue->Handle() != nullptr, "the command queue");
  return Record;
}

std::unique_ptr<TOpenCLWorkingObjects> PrepareOpenCLTest(const TBenchmarkSettings& BenchmarkSettings,
                                                         TBenchmarkReporter& Reporter,
                                                         const TOpenCLTestOptions& Options) {
  const auto MemorySize = static_cast<std::uint64_t>(BenchmarkSettings.MemorySize);
  const auto WorkItems = static_cast<std::uint32_t>(BenchmarkSettings.OpenCLComputeCoreCount);
  auto Objects = std::make_unique<TOpenCLWorkingObjects>();
  TOpenCLRecord Record = OpenChosenDevice(*Objects, BenchmarkSettings, WorkItems, Reporter);
  const TDCLDevice& Device = *Objects->Device;
  Reporter.Log("OpenCL: Allocating buffer... " + FormatByteSizeFloat(static_cast<double>(MemorySize)));
  // The source buffer lies over the host block; the destination is the device's own.
  CheckBlockFits(Device, MemorySize, {2, "destination buffer"}, Options.AvailableMemory);
  // Never written by the test, but backed by real zeroed pages: where the device reads host
  // memory directly (a CPU device), pages nobody wrote would all be the kernel's one zero page.
  Objects->HostBlock =
      TSystemMemory(Options.AvailableMemory).Allocate(BenchmarkSettings.MemorySize, TBlockBacking::Populated);
  Reporter.Log("OpenCL: Creating buffer...");
  Objects->Source = Device.CreateBuffer(MemorySize, Objects->HostBlock->Address(), {mfReadOnly, mfUseHostPtr});
  CheckMade(Objects->Source->Status(), Objects->Source->Handle() != nullptr,
            "the source buffer of " + Bytes(MemorySize));
  Objects->Destination = Device.CreateBuffer(MemorySize, nullptr, {mfWriteOnly});
  CheckMade(Objects->Destination->Status(), Objects->Destination->Handle() != nullptr,
            "the destination buffer of " + Bytes(MemorySize));
  Objects->Launches = MakeLaunchBuffers(*Objects, MemorySize, WorkItems, Options.LaunchesPerPass);
  Record.LaunchesPerPass = static_cast<std::uint32_t>(Objects->Launches.size());
  Reporter.OpenCLDeviceUsed(Record);
  Objects->WorkGroupSize = PlanWorkGroupSize(WorkItems, ShapeOf(Device));
  Reporter.Log("OpenCL: Creating program...");
  const std::string KernelPath =
      FindProgramFile(Options.KernelFolder ? *Options.KernelFolder : ExecutableFolder(), KernelFileName);
  if (!FileExists(KernelPath)) {
    Reporter.Log("OpenCL: Error: File not found: " + KernelPath);
    Reporter.TestEnded(TTestStatus::Failed, "File not found: " + KernelPath);
    return nullptr;
  }
  MakeKernel(*Objects, KernelPath);
  return Objects;
}

