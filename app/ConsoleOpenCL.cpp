#include "ConsoleOpenCL.h"

#include <string>

#include "CL.h"
#include "DCLDevice.h"
#include "DCLPlatform.h"
#include "DCLText.h"
#include "HelperQuobix.h"

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
  if (!OpenCLLibraryHandle) {
    Choice.Platform = Options.Platform.value_or(-1);
    Choice.Device = Options.Device.value_or(-1);
    Choice.Cores = Options.Cores.value_or(GPUDefaultWorkItems);
    return Choice;
  }
  const TDCLPlatforms Platforms;
  Choice.Platform = Options.Platform.value_or(Platforms.PlatformCount() > 0 ? 0 : -1);
  const PDCLPlatform Platform = Platforms.GetPlatform(static_cast<std::uint32_t>(Choice.Platform));
  Choice.Device = Options.Device.value_or(Platform != nullptr && Platform->DeviceCount() > 0 ? 0 : -1);
  const PDCLDevice Device = Platform != nullptr ? Platform->GetDevice(static_cast<std::uint32_t>(Choice.Device))
                                                : nullptr;
  if (Options.Cores) {
    Choice.Cores = *Options.Cores;
  } else if (Device != nullptr && !Device->IsGPU() && Device->MaxComputeUnits() > 0) {
    Choice.Cores = static_cast<std::int32_t>(Device->MaxComputeUnits());
  }
  return Choice;
}

void ListOpenCLDevices(std::ostream& Out) {
  if (!OpenCLLibraryHandle) {
    Out << "No OpenCL library could be loaded, so there is no OpenCL platform.\n";
    return;
  }
  const TDCLPlatforms Platforms;
  if (Platforms.PlatformCount() == 0) Out << "The OpenCL library reports no platform.\n";
  for (std::uint32_t PlatformIndex = 0; PlatformIndex < Platforms.PlatformCount(); ++PlatformIndex) {
    const TDCLPlatform& Platform = *Platforms.GetPlatform(PlatformIndex);
    Out << "Platform " << PlatformIndex << ": " << DisplayText(Platform.Name()) << "\n";
    if (Platform.DeviceCount() == 0) Out << "  (no device)\n";
    for (std::uint32_t DeviceIndex = 0; DeviceIndex < Platform.DeviceCount(); ++DeviceIndex) {
      const TDCLDevice& Device = *Platform.GetDevice(DeviceIndex);
      Out << "  Device " << DeviceIndex << ": " << DisplayText(Device.Name()) << " - " << DeviceType(Device) << ", "
          << Device.MaxComputeUnits() << " compute units, "
          << FormatByteSize(static_cast<std::int64_t>(Device.GlobalMemSize())) << " global memory, "
          << Device.MaxClockFrequency() << " MHz\n";
    }
  }
}
