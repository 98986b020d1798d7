#pragma once
// The OpenCL installation as the program sees it: every platform, each with its texts, its
// extension list and its devices, read once when the list is made. Whoever needs OpenCL builds its
// own list, reads it and frees it; objects made by the devices must be freed before the list.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CL.h"
#include "DCLDevice.h"

class TDCLPlatform {
 public:
  // Reads the platform and makes its devices. Failed queries are only recorded in Status.
  explicit TDCLPlatform(PCL_platform_id Platform_id);
  ~TDCLPlatform();
  TDCLPlatform(const TDCLPlatform&) = delete;
  TDCLPlatform& operator=(const TDCLPlatform&) = delete;

  // The texts hold the bytes the runtime returned, terminating NUL included (see DisplayText).
  const std::string& Profile() const { return FProfile; }
  const std::string& Version() const { return FVersion; }
  const std::string& Name() const { return FName; }
  const std::string& Vendor() const { return FVendor; }
  const std::string& ExtensionsString() const { return FExtensionsString; }
  std::uint32_t DeviceCount() const { return FDeviceCount; }
  std::uint32_t CPUCount() const { return FCPUCount; }
  std::uint32_t GPUCount() const { return FGPUCount; }
  std::uint32_t AcceleratorCount() const { return FAcceleratorCount; }
  std::int32_t Status() const { return FStatus; }
  std::uint64_t ExtensionsCount() const { return FExtensionsCount; }

  // Null when Index is out of range. GetCPU, GetGPU and GetAccelerator count only the devices of
  // that type, in device order; a device may be of several types or of none.
  PDCLDevice GetDevice(std::uint32_t Index) const;
  PDCLDevice GetCPU(std::uint32_t Index) const;
  PDCLDevice GetGPU(std::uint32_t Index) const;
  PDCLDevice GetAccelerator(std::uint32_t Index) const;
  // Entry Index of the upper-cased extension list; the empty text when Index is out of range.
  std::string GetExtensions(std::uint64_t Index) const;
  bool IsPresentExtension(const std::string& ExtensionName) const;

  // The device with the largest value of one property, the lowest index among equals; null for a
  // platform without devices.
  PDCLDevice DeviceWithMaxClockFrequency() const;
  PDCLDevice DeviceWithMaxComputeUnits() const;
  PDCLDevice DeviceWithMaxGlobalMemCacheLineSize() const;
  PDCLDevice DeviceWithMaxGlobalMemCacheSize() const;
  PDCLDevice DeviceWithMaxGlobalMemSize() const;
  PDCLDevice DeviceWithMaxImage2DWidth() const;
  PDCLDevice DeviceWithMaxImage2DHeight() const;
  PDCLDevice DeviceWithMaxImage3DWidth() const;
  PDCLDevice DeviceWithMaxImage3DHeight() const;
  PDCLDevice DeviceWithMaxImage3DDepth() const;
  PDCLDevice DeviceWithMaxLocalMemSize() const;
  PDCLDevice DeviceWithMaxConstantArgs() const;
  PDCLDevice DeviceWithMaxConstantBufferSize() const;
  PDCLDevice DeviceWithMaxMemAllocSize() const;
  PDCLDevice DeviceWithMaxParameterSize() const;
  PDCLDevice DeviceWithMaxReadImageArgs() const;
  PDCLDevice DeviceWithMaxSamplers() const;
  PDCLDevice DeviceWithMaxWorkGroupSize() const;
  PDCLDevice DeviceWithMaxWorkItemDimensions() const;
  PDCLDevice DeviceWithMaxWriteImageArgs() const;

 private:
  std::string QueryText(cl_platform_info Parameter);
  PDCLDevice DeviceOfList(const std::vector<std::uint32_t>& List, std::uint32_t Index) const;
  template <typename TValue>
  PDCLDevice DeviceWithMax(TValue (TDCLDevice::*Property)() const) const;

  PCL_platform_id FPlatform_id;
  std::string FProfile;
  std::string FVersion;
  std::string FName;
  std::string FVendor;
  std::string FExtensionsString;
  std::int32_t FStatus = CL_SUCCESS;
  std::vector<std::unique_ptr<TDCLDevice>> FDevices;
  std::uint32_t FDeviceCount = 0;
  std::vector<std::uint32_t> FCPUs;
  std::vector<std::uint32_t> FGPUs;
  std::vector<std::uint32_t> FAccelerators;
  std::uint32_t FCPUCount = 0;
  std::uint32_t FGPUCount = 0;
  std::uint32_t FAcceleratorCount = 0;
  std::uint64_t FExtensionsCount = 0;
  std::vector<std::string> FExtensions;
};

// A platform of the list; null when the index was out of range. Valid while the list lives.
using PDCLPlatform = const TDCLPlatform*;

class TDCLPlatforms {
 public:
  // Enumerates every platform. Without a loaded OpenCL library this raises
  // EOpenCLFunctionNotAvailable; a runtime that reports no platform gives an empty list.
  TDCLPlatforms();
  ~TDCLPlatforms();
  TDCLPlatforms(const TDCLPlatforms&) = delete;
  TDCLPlatforms& operator=(const TDCLPlatforms&) = delete;

  std::uint32_t PlatformCount() const { return FPlatformCount; }
  std::int32_t Status() const { return FStatus; }
  PDCLPlatform GetPlatform(std::uint32_t Index) const;

 private:
  std::vector<std::unique_ptr<TDCLPlatform>> FPlatforms;
  std::uint32_t FPlatformCount = 0;
  std::int32_t FStatus = CL_SUCCESS;
};
