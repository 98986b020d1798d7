#pragma once
// One OpenCL device of a platform: every property it exposes, read once when it is made, its
// extension list, and a context of its own in which its factories make queues, buffers, images and
// programs. Devices are made and owned by their platform.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CL.h"
#include "DCLObjects.h"
#include "DCLSet.h"

enum TDCLDeviceFPConfig : std::uint8_t {
  dfpcDenorm,          // CL_FP_DENORM
  dfpcInfNan,          // CL_FP_INF_NAN
  dfpcRoundToNearest,  // CL_FP_ROUND_TO_NEAREST
  dfpcRoundToZero,     // CL_FP_ROUND_TO_ZERO
  dfpcRoundToInf,      // CL_FP_ROUND_TO_INF
  dfpcFMA,             // CL_FP_FMA
  dfpcSoftFloat,       // CL_FP_SOFT_FLOAT
};
using TDCLDeviceFPConfigSet = TDCLSet<TDCLDeviceFPConfig>;

enum TDCLDeviceExecutionCapabilities : std::uint8_t {
  decExecKernel,        // CL_EXEC_KERNEL
  decExecNativeKernel,  // CL_EXEC_NATIVE_KERNEL
};
using TDCLDeviceExecutionCapabilitiesSet = TDCLSet<TDCLDeviceExecutionCapabilities>;

enum TDCLDeviceMemCacheType : std::uint8_t {
  dmctNone,            // CL_NONE
  dmctReadOnlyCache,   // CL_READ_ONLY_CACHE
  dmctWriteOnlyCache,  // value 2, CL_READ_WRITE_CACHE
};

enum TDCLDeviceLocalMemType : std::uint8_t {
  dlmtLocal,   // CL_LOCAL
  dlmtGlobal,  // CL_GLOBAL
};

class TDCLDevice {
 public:
  // Reads the device. A failed query leaves its field at 0, false, empty or the first enumerator and
  // its code in Status until the next query; Status ends as the code of the last query.
  explicit TDCLDevice(PCL_device_id Device_id);
  ~TDCLDevice();
  TDCLDevice(const TDCLDevice&) = delete;
  TDCLDevice& operator=(const TDCLDevice&) = delete;

  PCL_device_id Handle() const { return FDevice_id; }
  std::int32_t Status() const { return FStatus; }
  // The texts hold the bytes the runtime returned, terminating NUL included (see DisplayText).
  const std::string& Name() const { return FName; }
  const std::string& Vendor() const { return FVendor; }
  const std::string& Version() const { return FVersion; }
  const std::string& Profile() const { return FProfile; }
  bool IsCPU() const { return FIsCPU; }
  bool IsGPU() const { return FIsGPU; }
  bool IsAccelerator() const { return FIsAccelerator; }
  bool IsDefault() const { return FIsDefault; }
  std::uint64_t MaxWorkGroupSize() const { return FMaxWorkGroupSize; }
  std::uint32_t NativeVectorPreferredChar() const { return FNativeVectorPreferredChar; }
  std::uint32_t NativeVectorPreferredShort() const { return FNativeVectorPreferredShort; }
  std::uint32_t NativeVectorPreferredInt() const { return FNativeVectorPreferredInt; }
  std::uint32_t NativeVectorPreferredLong() const { return FNativeVectorPreferredLong; }
  std::uint32_t NativeVectorPreferredFloat() const { return FNativeVectorPreferredFloat; }
  std::uint32_t NativeVectorPreferredDouble() const { return FNativeVectorPreferredDouble; }
  std::uint32_t NativeVectorPreferredHalf() const { return FNativeVectorPreferredHalf; }
  std::uint32_t NativeVectorWidthChar() const { return FNativeVectorWidthChar; }
  std::uint32_t NativeVectorWidthShort() const { return FNativeVectorWidthShort; }
  std::uint32_t NativeVectorWidthInt() const { return FNativeVectorWidthInt; }
  std::uint32_t NativeVectorWidthLong() const { return FNativeVectorWidthLong; }
  std::uint32_t NativeVectorWidthFloat() const { return FNativeVectorWidthFloat; }
  std::uint32_t NativeVectorWidthDouble() const { return FNativeVectorWidthDouble; }
  std::uint32_t NativeVectorWidthHalf() const { return FNativeVectorWidthHalf; }
  std::uint32_t MaxClockFrequency() const { return FMaxClockFrequency; }  // MHz
  std::uint32_t AddressBits() const { return FAddressBits; }
  std::uint64_t MaxMemAllocSize() const { return FMaxMemAllocSize; }
  bool IsImageSupport() const { return FIsImageSupport; }
  std::uint32_t MaxReadImageArgs() const { return FMaxReadImageArgs; }
  std::uint32_t MaxWriteImageArgs() const { return FMaxWriteImageArgs; }
  std::uint64_t Image2DMaxWidth() const { return FImage2DMaxWidth; }
  std::uint64_t Image2DMaxHeight() const { return FImage2DMaxHeight; }
  std::uint64_t Image3DMaxWidth() const { return FImage3DMaxWidth; }
  std::uint64_t Image3DMaxHeight() const { return FImage3DMaxHeight; }
  std::uint64_t Image3DMaxDepth() const { return FImage3DMaxDepth; }
  std::uint32_t MaxSamplers() const { return FMaxSamplers; }
  std::uint64_t MaxParameterSize() const { return FMaxParameterSize; }
  std::uint32_t MemBaseAddrAlign() const { return FMemBaseAddrAlign; }
  std::uint32_t MinDataTypeAlignSize() const { return FMinDataTypeAlignSize; }
  std::uint32_t GlobalMemCacheLineSize() const { return FGlobalMemCacheLineSize; }
  std::uint64_t GlobalMemCacheSize() const { return FGlobalMemCacheSize; }
  std::uint64_t GlobalMemSize() const { return FGlobalMemSize; }
  std::uint64_t MaxConstantBufferSize() const { return FMaxConstantBufferSize; }
  std::uint32_t MaxConstantArgs() const { return FMaxConstantArgs; }
  std::uint64_t LocalMemSize() const { return FLocalMemSize; }
  bool IsErrorCorrectionSupport() const { return FIsErrorCorrectionSupport; }
  bool IsHostUnifiedMemory() const { return FIsHostUnifiedMemory; }
  std::uint64_t ProfilingTimerResolution() const { return FProfilingTimerResolution; }  // nanoseconds
  bool IsEndianLittle() const { return FIsEndianLittle; }
  bool IsAvailable() const { return FIsAvailable; }
  bool IsCompilerAvailable() const { return FIsCompilerAvailable; }
  std::uint32_t VendorId() const { return FVendorId; }
  std::uint32_t MaxComputeUnits() const { return FMaxComputeUnits; }
  std::uint32_t MaxWorkItemDimensions() const { return FMaxWorkItemDimensions; }
  const std::string& ExtensionsString() const { return FExtensionsString; }
  const std::string& OpenCLCVersion() const { return FOpenCLCVersion; }
  const std::string& DriverVersion() const { return FDriverVersion; }
  std::uint64_t ExtensionsCount() const { return FExtensionsCount; }
  // The device's own context; it lives as long as the device.
  const TDCLContext& Context() const { return *FContext; }
  TDCLDeviceMemCacheType GlobalMemCacheType() const { return FGlobalMemCacheType; }
  TDCLDeviceLocalMemType LocalMemType() const { return FLocalMemType; }
  TDCLDeviceExecutionCapabilitiesSet ExecutionCapabilities() const { return FExecutionCapabilities; }

  // Entry Index of the upper-cased extension list; the empty text when Index is out of range.
  std::string GetExtensions(std::uint64_t Index) const;
  bool IsPresentExtension(const std::string& ExtensionName) const;
  bool IsPresentInFPConfig(TDCLDeviceFPConfig FPConfig) const { return FFPConfigSet.Contains(FPConfig); }

  // The factories' objects belong to the caller, who frees them before the device. Unless a context
  // is given, they are made in the device's own context.
  std::unique_ptr<TDCLContext> CreateContext() const;
  std::unique_ptr<TDCLCommandQueue> CreateCommandQueue(TDCLCommandQueuePropertiesSet Properties) const;
  std::unique_ptr<TDCLCommandQueue> CreateCommandQueue(const TDCLContext& Context,
                                                       TDCLCommandQueuePropertiesSet Properties) const;
  std::unique_ptr<TDCLBuffer> CreateBuffer(std::uint64_t Size, void* Data, TDCLMemFlagsSet Flags) const;
  std::unique_ptr<TDCLImage2D> CreateImage2D(const TCL_image_format* Format, std::uint64_t Width, std::uint64_t Height,
                                             std::uint64_t RowPitch, void* Data, TDCLMemFlagsSet Flags) const;
  // Source: the address of a pointer to NUL-terminated text; Options: NUL-terminated text or null.
  std::unique_ptr<TDCLProgram> CreateProgramString(const char** Source, const char* Options) const;
  // Reads the file (see ReadProgramSource) and builds it. A file that cannot be read raises
  // std::runtime_error, naming the file, before any OpenCL call.
  std::unique_ptr<TDCLProgram> CreateProgram(const std::string& FileName, const char* Options) const;

 private:
  cl_context ContextHandle() const { return FContext->Handle(); }
  std::string QueryText(cl_device_info Parameter);
  template <typename TValue>
  void QueryValue(cl_device_info Parameter, TValue& Field);
  void QueryFlag(cl_device_info Parameter, bool& Field);
  cl_ulong QueryBits(cl_device_info Parameter, std::size_t Width);

  PCL_device_id FDevice_id;
  std::int32_t FStatus = CL_SUCCESS;
  std::string FName;
  std::string FVendor;
  std::string FVersion;
  std::string FProfile;
  bool FIsCPU = false;
  bool FIsGPU = false;
  bool FIsAccelerator = false;
  bool FIsDefault = false;
  std::uint64_t FMaxWorkGroupSize = 0;
  std::uint32_t FNativeVectorPreferredChar = 0;
  std::uint32_t FNativeVectorPreferredShort = 0;
  std::uint32_t FNativeVectorPreferredInt = 0;
  std::uint32_t FNativeVectorPreferredLong = 0;
  std::uint32_t FNativeVectorPreferredFloat = 0;
  std::uint32_t FNativeVectorPreferredDouble = 0;
  std::uint32_t FNativeVectorPreferredHalf = 0;
  std::uint32_t FNativeVectorWidthChar = 0;
  std::uint32_t FNativeVectorWidthShort = 0;
  std::uint32_t FNativeVectorWidthInt = 0;
  std::uint32_t FNativeVectorWidthLong = 0;
  std::uint32_t FNativeVectorWidthFloat = 0;
  std::uint32_t FNativeVectorWidthDouble = 0;
  std::uint32_t FNativeVectorWidthHalf = 0;
  std::uint32_t FMaxClockFrequency = 0;
  std::uint32_t FAddressBits = 0;
  std::uint64_t FMaxMemAllocSize = 0;
  bool FIsImageSupport = false;
  std::uint32_t FMaxReadImageArgs = 0;
  std::uint32_t FMaxWriteImageArgs = 0;
  std::uint64_t FImage2DMaxWidth = 0;
  std::uint64_t FImage2DMaxHeight = 0;
  std::uint64_t FImage3DMaxWidth = 0;
  std::uint64_t FImage3DMaxHeight = 0;
  std::uint64_t FImage3DMaxDepth = 0;
  std::uint32_t FMaxSamplers = 0;
  std::uint64_t FMaxParameterSize = 0;
  std::uint32_t FMemBaseAddrAlign = 0;
  std::uint32_t FMinDataTypeAlignSize = 0;
  std::uint32_t FGlobalMemCacheLineSize = 0;
  std::uint64_t FGlobalMemCacheSize = 0;
  std::uint64_t FGlobalMemSize = 0;
  std::uint64_t FMaxConstantBufferSize = 0;
  std::uint32_t FMaxConstantArgs = 0;
  std::uint64_t FLocalMemSize = 0;
  bool FIsErrorCorrectionSupport = false;
  bool FIsHostUnifiedMemory = false;
  std::uint64_t FProfilingTimerResolution = 0;
  bool FIsEndianLittle = false;
  bool FIsAvailable = false;
  bool FIsCompilerAvailable = false;
  std::uint32_t FVendorId = 0;
  std::uint32_t FMaxComputeUnits = 0;
  std::uint32_t FMaxWorkItemDimensions = 0;
  std::string FExtensionsString;
  std::string FOpenCLCVersion;
  std::string FDriverVersion;
  std::uint64_t FExtensionsCount = 0;
  std::vector<std::string> FExtensions;
  std::unique_ptr<TDCLContext> FContext;
  TDCLDeviceFPConfigSet FFPConfigSet;
  TDCLDeviceExecutionCapabilitiesSet FExecutionCapabilities;
  TDCLDeviceMemCacheType FGlobalMemCacheType = dmctNone;
  TDCLDeviceLocalMemType FLocalMemType = dlmtLocal;
};

// A device of a platform; null when the index was out of range. Valid while the platform list
// that owns the device lives.
using PDCLDevice = const TDCLDevice*;
