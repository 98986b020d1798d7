#include "DCLDevice.h"

#include "DCLInfoQuery.h"
#include "DCLText.h"
#include "ProgramSource.h"

TDCLDevice::TDCLDevice(PCL_device_id Device_id) : FDevice_id(Device_id) {
  FName = QueryText(CL_DEVICE_NAME);
  FVendor = QueryText(CL_DEVICE_VENDOR);
  FVersion = QueryText(CL_DEVICE_VERSION);
  FProfile = QueryText(CL_DEVICE_PROFILE);

  const cl_ulong Type = QueryBits(CL_DEVICE_TYPE, sizeof(cl_device_type));
  FIsCPU = (Type & CL_DEVICE_TYPE_CPU) != 0;
  FIsGPU = (Type & CL_DEVICE_TYPE_GPU) != 0;
  FIsAccelerator = (Type & CL_DEVICE_TYPE_ACCELERATOR) != 0;
  FIsDefault = (Type & CL_DEVICE_TYPE_DEFAULT) != 0;

  QueryValue(CL_DEVICE_MAX_WORK_GROUP_SIZE, FMaxWorkGroupSize);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_CHAR, FNativeVectorPreferredChar);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_SHORT, FNativeVectorPreferredShort);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_INT, FNativeVectorPreferredInt);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_LONG, FNativeVectorPreferredLong);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_FLOAT, FNativeVectorPreferredFloat);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_DOUBLE, FNativeVectorPreferredDouble);
  QueryValue(CL_DEVICE_PREFERRED_VECTOR_WIDTH_HALF, FNativeVectorPreferredHalf);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_CHAR, FNativeVectorWidthChar);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_SHORT, FNativeVectorWidthShort);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_INT, FNativeVectorWidthInt);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_LONG, FNativeVectorWidthLong);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_FLOAT, FNativeVectorWidthFloat);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_DOUBLE, FNativeVectorWidthDouble);
  QueryValue(CL_DEVICE_NATIVE_VECTOR_WIDTH_HALF, FNativeVectorWidthHalf);
  QueryValue(CL_DEVICE_MAX_CLOCK_FREQUENCY, FMaxClockFrequency);
  QueryValue(CL_DEVICE_ADDRESS_BITS, FAddressBits);
  QueryValue(CL_DEVICE_MAX_MEM_ALLOC_SIZE, FMaxMemAllocSize);
  QueryFlag(CL_DEVICE_IMAGE_SUPPORT, FIsImageSupport);
  QueryValue(CL_DEVICE_MAX_READ_IMAGE_ARGS, FMaxReadImageArgs);
  QueryValue(CL_DEVICE_MAX_WRITE_IMAGE_ARGS, FMaxWriteImageArgs);
  QueryValue(CL_DEVICE_IMAGE2D_MAX_WIDTH, FImage2DMaxWidth);
  QueryValue(CL_DEVICE_IMAGE2D_MAX_HEIGHT, FImage2DMaxHeight);
  QueryValue(CL_DEVICE_IMAGE3D_MAX_WIDTH, FImage3DMaxWidth);
  QueryValue(CL_DEVICE_IMAGE3D_MAX_HEIGHT, FImage3DMaxHeight);
  QueryValue(CL_DEVICE_IMAGE3D_MAX_DEPTH, FImage3DMaxDepth);
  QueryValue(CL_DEVICE_MAX_SAMPLERS, FMaxSamplers);
  QueryValue(CL_DEVICE_MAX_PARAMETER_SIZE, FMaxParameterSize);
  QueryValue(CL_DEVICE_MEM_BASE_ADDR_ALIGN, FMemBaseAddrAlign);
  QueryValue(CL_DEVICE_MIN_DATA_TYPE_ALIGN_SIZE, FMinDataTypeAlignSize);
  QueryValue(CL_DEVICE_GLOBAL_MEM_CACHELINE_SIZE, FGlobalMemCacheLineSize);
  QueryValue(CL_DEVICE_GLOBAL_MEM_CACHE_SIZE, FGlobalMemCacheSize);
  QueryValue(CL_DEVICE_GLOBAL_MEM_SIZE, FGlobalMemSize);
  QueryValue(CL_DEVICE_MAX_CONSTANT_BUFFER_SIZE, FMaxConstantBufferSize);
  QueryValue(CL_DEVICE_MAX_CONSTANT_ARGS, FMaxConstantArgs);
  QueryValue(CL_DEVICE_LOCAL_MEM_SIZE, FLocalMemSize);
  QueryFlag(CL_DEVICE_ERROR_CORRECTION_SUPPORT, FIsErrorCorrectionSupport);
  QueryFlag(CL_DEVICE_HOST_UNIFIED_MEMORY, FIsHostUnifiedMemory);
  QueryValue(CL_DEVICE_PROFILING_TIMER_RESOLUTION, FProfilingTimerResolution);
  QueryFlag(CL_DEVICE_ENDIAN_LITTLE, FIsEndianLittle);
  QueryFlag(CL_DEVICE_AVAILABLE, FIsAvailable);
  QueryFlag(CL_DEVICE_COMPILER_AVAILABLE, FIsCompilerAvailable);
  QueryValue(CL_DEVICE_VENDOR_ID, FVendorId);
  QueryValue(CL_DEVICE_MAX_COMPUTE_UNITS, FMaxComputeUnits);
  QueryValue(CL_DEVICE_MAX_WORK_ITEM_DIMENSIONS, FMaxWorkItemDimensions);

  FExtensionsString = QueryText(CL_DEVICE_EXTENSIONS);
  FExtensions = SplitDeviceExtensions(FExtensionsString);
  FExtensionsCount = FExtensions.size();
  FOpenCLCVersion = QueryText(CL_DEVICE_OPENCL_C_VERSION);
  FDriverVersion = QueryText(CL_DRIVER_VERSION);

  const cl_ulong FPConfig = QueryBits(CL_DEVICE_SINGLE_FP_CONFIG, sizeof(cl_device_fp_config));
  for (std::uint8_t Member = dfpcDenorm; Member <= dfpcSoftFloat; ++Member)
    if (FPConfig & (cl_ulong{1} << Member)) FFPConfigSet.Include(static_cast<TDCLDeviceFPConfig>(Member));

  const cl_ulong Capabilities = QueryBits(CL_DEVICE_EXECUTION_CAPABILITIES, sizeof(cl_device_exec_capabilities));
  if (Capabilities & CL_EXEC_KERNEL) FExecutionCapabilities.Include(decExecKernel);
  if (Capabilities & CL_EXEC_NATIVE_KERNEL) FExecutionCapabilities.Include(decExecNativeKernel);

  const cl_ulong CacheType = QueryBits(CL_DEVICE_GLOBAL_MEM_CACHE_TYPE, sizeof(cl_device_mem_cache_type));
  if (CacheType & CL_READ_ONLY_CACHE) FGlobalMemCacheType = dmctReadOnlyCache;
  if (CacheType & CL_READ_WRITE_CACHE) FGlobalMemCacheType = dmctWriteOnlyCache;

  const cl_ulong LocalMemType = QueryBits(CL_DEVICE_LOCAL_MEM_TYPE, sizeof(cl_device_local_mem_type));
  if (LocalMemType & CL_LOCAL) FLocalMemType = dlmtLocal;
  if (LocalMemType & CL_GLOBAL) FLocalMemType = dlmtGlobal;

  // A context the runtime refused still exists as an object and keeps the failure in its Status.
  FContext = std::make_unique<TDCLContext>(FDevice_id);
}

TDCLDevice::~TDCLDevice() {
  // The context goes first, while the device's texts and lists are still whole.
  FContext.reset();
}

std::string TDCLDevice::QueryText(cl_device_info Parameter) {
  return QueryInfoText(
      [&](std::size_t Size, void* Value, std::size_t* SizeReturned) {
        return CL::clGetDeviceInfo(FDevice_id, Parameter, Size, Value, SizeReturned);
      },
      FStatus);
}

template <typename TValue>
void TDCLDevice::QueryValue(cl_device_info Parameter, TValue& Field) {
  // Queried into a temporary, so that a failed query cannot leave a partial value in the field.
  TValue Value = 0;
  FStatus = CL::clGetDeviceInfo(FDevice_id, Parameter, sizeof Value, &Value, nullptr);
  if (FStatus == CL_SUCCESS) Field = Value;
}

void TDCLDevice::QueryFlag(cl_device_info Parameter, bool& Field) {
  cl_bool Value = CL_FALSE;
  FStatus = CL::clGetDeviceInfo(FDevice_id, Parameter, sizeof Value, &Value, nullptr);
  Field = FStatus == CL_SUCCESS && Value == CL_TRUE;
}

cl_ulong TDCLDevice::QueryBits(cl_device_info Parameter, std::size_t Width) {
  if (Width == sizeof(cl_uint)) {
    cl_uint Value = 0;
    QueryValue(Parameter, Value);
    return Value;
  }
  cl_ulong Value = 0;
  QueryValue(Parameter, Value);
  return Value;
}

std::string TDCLDevice::GetExtensions(std::uint64_t Index) const {
  return Index < FExtensionsCount ? FExtensions[Index] : std::string();
}

bool TDCLDevice::IsPresentExtension(const std::string& ExtensionName) const {
  return IsExtensionInList(FExtensions, ExtensionName);
}

std::unique_ptr<TDCLContext> TDCLDevice::CreateContext() const { return std::make_unique<TDCLContext>(FDevice_id); }

std::unique_ptr<TDCLCommandQueue> TDCLDevice::CreateCommandQueue(TDCLCommandQueuePropertiesSet Properties) const {
  return std::make_unique<TDCLCommandQueue>(FDevice_id, ContextHandle(), Properties);
}

std::unique_ptr<TDCLCommandQueue> TDCLDevice::CreateCommandQueue(const TDCLContext& Context,
                                                                 TDCLCommandQueuePropertiesSet Properties) const {
  return std::make_unique<TDCLCommandQueue>(FDevice_id, Context.Handle(), Properties);
}

std::unique_ptr<TDCLBuffer> TDCLDevice::CreateBuffer(std::uint64_t Size, void* Data, TDCLMemFlagsSet Flags) const {
  return std::make_unique<TDCLBuffer>(ContextHandle(), Flags, Size, Data);
}

std::unique_ptr<TDCLImage2D> TDCLDevice::CreateImage2D(const TCL_image_format* Format, std::uint64_t Width,
                                                       std::uint64_t Height, std::uint64_t RowPitch, void* Data,
                                                       TDCLMemFlagsSet Flags) const {
  return std::make_unique<TDCLImage2D>(ContextHandle(), Flags, Format, Width, Height, RowPitch, Data);
}

std::unique_ptr<TDCLProgram> TDCLDevice::CreateProgramString(const char** Source, const char* Options) const {
  return std::make_unique<TDCLProgram>(FDevice_id, ContextHandle(), Source, Options);
}

std::unique_ptr<TDCLProgram> TDCLDevice::CreateProgram(const std::string& FileName, const char* Options) const {
  // The program takes its own copy of the text through OpenCL; this one goes when the call returns.
  const std::string Source = ReadProgramSource(FileName);
  const char* Text = Source.c_str();
  return CreateProgramString(&Text, Options);
}
