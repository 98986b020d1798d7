#include "ConsoleOpenCL.h"

#include <exception>
#include <sstream>
#include <string>

#include "CL.h"
#include "DCLDevice.h"
#include "DCLPlatform.h"
#include "DCLText.h"
#include "HelperQuobix.h"
#include "TestTable.h"

namespace {

std::string DeviceType(const TDCLDevice& Device) {
  std::string Type;
  auto Add = [&](bool Present, const char* Name) {
    if (!Present) return;
    if (!Type.empty()) Type += "+";
    Type += Name;
  };
  Add(Device.IsCPU(), "CPU");
  Add(Device.IsGPU(), "GPU");
  Add(Device.IsAccelerator(), "accelerator");
  return Type.empty() ? "other" : Type;
}

}  // namespace

TOpenCLChoice ChooseOpenCL(const TConsoleOptions& Options) {
  TOpenCLChoice Choice;
  Choice.Platform = Options.Platform.value_or(-1);
  Choice.Device = Options.Device.value_or(-1);
  Choice.Cores = Options.Cores.value_or(GPUDefaultWorkItems);
  if (!OpenCLLibraryHandle || (Options.Platform && Options.Device && Options.Cores)) return Choice;
  try {
    const TDCLPlatforms Platforms;
    if (!Options.Platform && Platforms.PlatformCount() > 0) Choice.Platform = 0;
    const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(Choice.Platform));
    if (!Options.Device && Platform != nullptr && Platform->DeviceCount() > 0) Choice.Device = 0;
    const PDCLDevice Device =
        Platform != nullptr ? Platform->GetDevice(static_cast<std::uint32_t>(Choice.Device)) : nullptr;
    if (!Options.Cores && Device != nullptr) Choice.Cores = DefaultWorkItems(Device->IsGPU(), Device->MaxComputeUnits());
  } catch (const std::exception&) {
    // A runtime whose platforms cannot be listed: the command line's choices stand and the OpenCL
    // test, which lists them again, reports the failure as its one "Exception: " line.
  }
  return Choice;
}

std::optional<std::string> OpenCLChoiceProblem(const TConsoleOptions& Options) {
  if (!AnyUsesOpenCL(Options.Tests) || (!Options.Platform && !Options.Device)) return std::nullopt;
  const std::int32_t PlatformIndex = Options.Platform.value_or(0);
  const std::string Platform = "--platform " + std::to_string(PlatformIndex);
  if (!OpenCLLibraryHandle) return Platform + " names no OpenCL platform: no OpenCL library could be loaded";
  try {
    const TDCLPlatforms Platforms;
    const std::uint32_t Count = Platforms.PlatformCount();
    if (static_cast<std::uint32_t>(PlatformIndex) >= Count)
      return Platform + " names no OpenCL platform: there " + (Count == 1 ? "is 1" : "are " + std::to_string(Count)) +
             " (see --list-devices)";
    const std::uint32_t Devices = Platforms.GetPlatform(static_cast<std::uint32_t>(PlatformIndex))->DeviceCount();
    if (Options.Device && static_cast<std::uint32_t>(*Options.Device) >= Devices)
      return "--device " + std::to_string(*Options.Device) + " names no device of OpenCL platform " +
             std::to_string(PlatformIndex) + ": it has " + std::to_string(Devices) + " (see --list-devices)";
  } catch (const std::exception&) {
    // Platforms that cannot be listed: the OpenCL test lists them again and says why in its line.
  }
  return std::nullopt;
}

bool ListOpenCLDevices(std::ostream& Out) {
  if (!OpenCLLibraryHandle) {
    Out << "No OpenCL library could be loaded, so there is no OpenCL platform.\n";
    return true;
  }
  // Listed into a text first, so that a failure half-way prints its one line and nothing else.
  std::ostringstream List;
  try {
    const TDCLPlatforms Platforms;
    if (Platforms.PlatformCount() == 0) List << "The OpenCL library reports no platform.\n";
    for (std::uint32_t PlatformIndex = 0; PlatformIndex < Platforms.PlatformCount(); ++PlatformIndex) {
      const TDCLPlatform& Platform = *Platforms.GetPlatform(PlatformIndex);
      List << "Platform " << PlatformIndex << ": " << DisplayText(Platform.Name()) << "\n";
      if (Platform.DeviceCount() == 0) List << "  (no device)\n";
      for (std::uint32_t DeviceIndex = 0; DeviceIndex < Platform.DeviceCount(); ++DeviceIndex) {
        const TDCLDevice& Device = *Platform.GetDevice(DeviceIndex);
        List << "  Device " << DeviceIndex << ": " << DisplayText(Device.Name()) << " - " << DeviceType(Device)
             << ", " << Device.MaxComputeUnits() << " compute units, "
             << FormatByteSize(static_cast<std::int64_t>(Device.GlobalMemSize())) << " global memory, "
             << Device.MaxClockFrequency() << " MHz\n";
      }
    }
  } catch (const std::exception& Error) {
    Out << "The OpenCL platforms could not be listed: " << Error.what() << "\n";
    return false;
  }
  Out << List.str();
  return true;
}
