#include "DCLPlatform.h"

#include "DCLInfoQuery.h"
#include "DCLText.h"

TDCLPlatform::TDCLPlatform(PCL_platform_id Platform_id) : FPlatform_id(Platform_id) {
  FProfile = QueryText(CL_PLATFORM_PROFILE);
  FVersion = QueryText(CL_PLATFORM_VERSION);
  FName = QueryText(CL_PLATFORM_NAME);
  FVendor = QueryText(CL_PLATFORM_VENDOR);
  FExtensionsString = QueryText(CL_PLATFORM_EXTENSIONS);
  FExtensions = SplitPlatformExtensions(FExtensionsString);
  FExtensionsCount = FExtensions.size();

  cl_uint DeviceCount = 0;
  FStatus = CL::clGetDeviceIDs(FPlatform_id, CL_DEVICE_TYPE_ALL, 0, nullptr, &DeviceCount);
  // A failed count query may leave anything in its out-parameter: it counts as no device.
  FDeviceCount = FStatus == CL_SUCCESS ? DeviceCount : 0;
  if (FDeviceCount == 0) return;
  CheckOpenCLObjectCount(FDeviceCount, "devices on one platform");

  std::vector<cl_device_id> Handles(FDeviceCount, nullptr);
  FStatus = CL::clGetDeviceIDs(FPlatform_id, CL_DEVICE_TYPE_ALL, FDeviceCount, Handles.data(), nullptr);
  FDevices.reserve(FDeviceCount);
  for (std::uint32_t Index = 0; Index < FDeviceCount; ++Index) {
    const TDCLDevice& Device = *FDevices.emplace_back(std::make_unique<TDCLDevice>(Handles[Index]));
    if (Device.IsCPU()) FCPUs.push_back(Index);
    if (Device.IsGPU()) FGPUs.push_back(Index);
    if (Device.IsAccelerator()) FAccelerators.push_back(Index);
  }
  FCPUCount = static_cast<std::uint32_t>(FCPUs.size());
  FGPUCount = static_cast<std::uint32_t>(FGPUs.size());
  FAcceleratorCount = static_cast<std::uint32_t>(FAccelerators.size());
}

TDCLPlatform::~TDCLPlatform() {
  // In index order, each device releasing its own context.
  for (std::unique_ptr<TDCLDevice>& Device : FDevices) Device.reset();
}

std::string TDCLPlatform::QueryText(cl_platform_info Parameter) {
  return QueryInfoText(
      [&](std::size_t Size, void* Value, std::size_t* SizeReturned) {
        return CL::clGetPlatformInfo(FPlatform_id, Parameter, Size, Value, SizeReturned);
      },
      FStatus);
}

PDCLDevice TDCLPlatform::GetDevice(std::uint32_t Index) const {
  return Index < FDeviceCount ? FDevices[Index].get() : nullptr;
}

PDCLDevice TDCLPlatform::DeviceOfList(const std::vector<std::uint32_t>& List, std::uint32_t Index) const {
  return Index < List.size() ? FDevices[List[Index]].get() : nullptr;
}

PDCLDevice TDCLPlatform::GetCPU(std::uint32_t Index) const { return DeviceOfList(FCPUs, Index); }
PDCLDevice TDCLPlatform::GetGPU(std::uint32_t Index) const { return DeviceOfList(FGPUs, Index); }
PDCLDevice TDCLPlatform::GetAccelerator(std::uint32_t Index) const { return DeviceOfList(FAccelerators, Index); }

std::string TDCLPlatform::GetExtensions(std::uint64_t Index) const {
  return Index < FExtensionsCount ? FExtensions[Index] : std::string();
}

bool TDCLPlatform::IsPresentExtension(const std::string& ExtensionName) const {
  return IsExtensionInList(FExtensions, ExtensionName);
}

template <typename TValue>
PDCLDevice TDCLPlatform::DeviceWithMax(TValue (TDCLDevice::*Property)() const) const {
  if (FDeviceCount == 0) return nullptr;
  TValue Best = (*FDevices[0].*Property)();
  std::uint32_t Chosen = 0;
  for (std::uint32_t Index = 1; Index < FDeviceCount; ++Index) {
    const TValue Value = (*FDevices[Index].*Property)();
    if (Value > Best) {
      Best = Value;
      Chosen = Index;
    }
  }
  return FDevices[Chosen].get();
}

PDCLDevice TDCLPlatform::DeviceWithMaxClockFrequency() const { return DeviceWithMax(&TDCLDevice::MaxClockFrequency); }
PDCLDevice TDCLPlatform::DeviceWithMaxComputeUnits() const { return DeviceWithMax(&TDCLDevice::MaxComputeUnits); }
PDCLDevice TDCLPlatform::DeviceWithMaxGlobalMemCacheLineSize() const {
  return DeviceWithMax(&TDCLDevice::GlobalMemCacheLineSize);
}
PDCLDevice TDCLPlatform::DeviceWithMaxGlobalMemCacheSize() const {
  return DeviceWithMax(&TDCLDevice::GlobalMemCacheSize);
}
PDCLDevice TDCLPlatform::DeviceWithMaxGlobalMemSize() const { return DeviceWithMax(&TDCLDevice::GlobalMemSize); }
PDCLDevice TDCLPlatform::DeviceWithMaxImage2DWidth() const { return DeviceWithMax(&TDCLDevice::Image2DMaxWidth); }
PDCLDevice TDCLPlatform::DeviceWithMaxImage2DHeight() const { return DeviceWithMax(&TDCLDevice::Image2DMaxHeight); }
PDCLDevice TDCLPlatform::DeviceWithMaxImage3DWidth() const { return DeviceWithMax(&TDCLDevice::Image3DMaxWidth); }
PDCLDevice TDCLPlatform::DeviceWithMaxImage3DHeight() const { return DeviceWithMax(&TDCLDevice::Image3DMaxHeight); }
PDCLDevice TDCLPlatform::DeviceWithMaxImage3DDepth() const { return DeviceWithMax(&TDCLDevice::Image3DMaxDepth); }
PDCLDevice TDCLPlatform::DeviceWithMaxLocalMemSize() const { return DeviceWithMax(&TDCLDevice::LocalMemSize); }
PDCLDevice TDCLPlatform::DeviceWithMaxConstantArgs() const { return DeviceWithMax(&TDCLDevice::MaxConstantArgs); }
PDCLDevice TDCLPlatform::DeviceWithMaxConstantBufferSize() const {
  return DeviceWithMax(&TDCLDevice::MaxConstantBufferSize);
}
PDCLDevice TDCLPlatform::DeviceWithMaxMemAllocSize() const { return DeviceWithMax(&TDCLDevice::MaxMemAllocSize); }
PDCLDevice TDCLPlatform::DeviceWithMaxParameterSize() const { return DeviceWithMax(&TDCLDevice::MaxParameterSize); }
PDCLDevice TDCLPlatform::DeviceWithMaxReadImageArgs() const { return DeviceWithMax(&TDCLDevice::MaxReadImageArgs); }
PDCLDevice TDCLPlatform::DeviceWithMaxSamplers() const { return DeviceWithMax(&TDCLDevice::MaxSamplers); }
PDCLDevice TDCLPlatform::DeviceWithMaxWorkGroupSize() const { return DeviceWithMax(&TDCLDevice::MaxWorkGroupSize); }
PDCLDevice TDCLPlatform::DeviceWithMaxWorkItemDimensions() const {
  return DeviceWithMax(&TDCLDevice::MaxWorkItemDimensions);
}
PDCLDevice TDCLPlatform::DeviceWithMaxWriteImageArgs() const { return DeviceWithMax(&TDCLDevice::MaxWriteImageArgs); }

TDCLPlatforms::TDCLPlatforms() {
  cl_uint PlatformCount = 0;
  FStatus = CL::clGetPlatformIDs(0, nullptr, &PlatformCount);
  if (FStatus != CL_SUCCESS || PlatformCount == 0) return;
  CheckOpenCLObjectCount(PlatformCount, "platforms");

  std::vector<cl_platform_id> Handles(PlatformCount, nullptr);
  FStatus = CL::clGetPlatformIDs(PlatformCount, Handles.data(), nullptr);
  FPlatforms.reserve(PlatformCount);
  for (cl_platform_id Handle : Handles) FPlatforms.push_back(std::make_unique<TDCLPlatform>(Handle));
  FPlatformCount = PlatformCount;
}

TDCLPlatforms::~TDCLPlatforms() {
  for (std::unique_ptr<TDCLPlatform>& Platform : FPlatforms) Platform.reset();
}

PDCLPlatform TDCLPlatforms::GetPlatform(std::uint32_t Index) const {
  return Index < FPlatformCount ? FPlatforms[Index].get() : nullptr;
}
