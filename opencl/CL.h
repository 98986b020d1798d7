#pragma once
// The OpenCL runtime, opened at run time: the program links no OpenCL library, so it starts and runs
// its other tests on a machine without one. Every OpenCL call of the program goes through the entry
// points declared here.

#include <CL/cl.h>

#include <cstddef>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

// The OpenCL library the program loads: the ICD loader, which finds every installed runtime.
constexpr const char* DefaultOpenCLLibraryName = "libOpenCL.so.1";

// Opens the OpenCL library FileName (DefaultOpenCLLibraryName in the program) and binds the 73
// entry points by name. A module loaded before is released first. A function the library does not
// export leaves its entry point null, which is no error. True when the library was loaded.
bool LoadOpenCL(const std::string& FileName);

// The loaded OpenCL module: null until a load succeeds, and again after a load that failed.
class TOpenCLLibrary {
 public:
  constexpr TOpenCLLibrary() = default;
  // The runtime stays loaded until the process ends: a benchmark worker may still be inside it while
  // the process exits, and unloading it under that worker would crash the exit.
  ~TOpenCLLibrary() { (void)FModule.release(); }
  TOpenCLLibrary(const TOpenCLLibrary&) = delete;
  TOpenCLLibrary& operator=(const TOpenCLLibrary&) = delete;

  void* Get() const { return FModule.get(); }
  explicit operator bool() const { return FModule != nullptr; }
  friend bool operator==(const TOpenCLLibrary& Library, std::nullptr_t) { return Library.Get() == nullptr; }

 private:
  friend bool LoadOpenCL(const std::string& FileName);
  struct TCloseModule {
    void operator()(void* Module) const;
  };
  std::unique_ptr<void, TCloseModule> FModule;
};

extern TOpenCLLibrary OpenCLLibraryHandle;

// The type handles that the platform and device classes keep.
using PCL_platform_id = cl_platform_id;
using PCL_device_id = cl_device_id;

// A call through an entry point that the loaded library does not provide, or made before any
// library was loaded.
class EOpenCLFunctionNotAvailable : public std::runtime_error {
 public:
  explicit EOpenCLFunctionNotAvailable(const std::string& FunctionName)
      : std::runtime_error("OpenCL function " + FunctionName + " is not available") {}
};

// The entry points live in this namespace because <CL/cl.h> declares a prototype of the same name
// for every one of them in the global namespace, and those headers offer no switch to leave the
// prototypes out. Code calls them qualified, CL::clGetPlatformIDs(...); an unqualified call would
// reach the prototype and fail to link, as the program links no OpenCL library.
namespace CL {

// What every entry point has, whatever its signature: its name and the address bound to it.
class TEntryPointSlot {
 public:
  using TAnyFunction = void (*)();
  TEntryPointSlot(const TEntryPointSlot&) = delete;
  TEntryPointSlot& operator=(const TEntryPointSlot&) = delete;

  const char* Name() const { return FName; }
  TAnyFunction Address() const { return FAddress; }
  explicit operator bool() const { return FAddress != nullptr; }
  friend bool operator==(const TEntryPointSlot& Slot, std::nullptr_t) { return Slot.FAddress == nullptr; }

 protected:
  constexpr explicit TEntryPointSlot(const char* Name) : FName(Name) {}
  [[noreturn]] void RaiseNotAvailable() const { throw EOpenCLFunctionNotAvailable(FName); }
  TAnyFunction FAddress = nullptr;

 private:
  friend bool ::LoadOpenCL(const std::string& FileName);
  const char* FName;
};

template <typename TSignature>
class TEntryPoint;

// One OpenCL function, typed with the signature that the Khronos header gives it.
template <typename TResult, typename... TArguments>
class TEntryPoint<TResult (*)(TArguments...)> : public TEntryPointSlot {
 public:
  using TFunction = TResult (*)(TArguments...);
  constexpr explicit TEntryPoint(const char* Name) : TEntryPointSlot(Name) {}

  // A null entry point is never called: the call raises instead, naming the function.
  TResult operator()(TArguments... Arguments) const {
    if (FAddress == nullptr) RaiseNotAvailable();
    return reinterpret_cast<TFunction>(FAddress)(Arguments...);
  }
  TFunction Get() const { return reinterpret_cast<TFunction>(FAddress); }
};

// The 73 functions of the OpenCL 1.1 API, in the order in which they are declared and bound.
#define VELMORA_OPENCL_ENTRY_POINTS(X)                                                                  \
  X(clGetPlatformIDs) X(clGetPlatformInfo) X(clGetDeviceIDs) X(clGetDeviceInfo) X(clCreateContext)     \
  X(clCreateContextFromType) X(clRetainContext) X(clReleaseContext) X(clGetContextInfo)                \
  X(clCreateCommandQueue) X(clRetainCommandQueue) X(clReleaseCommandQueue) X(clGetCommandQueueInfo)    \
  X(clCreateBuffer) X(clCreateSubBuffer) X(clCreateImage2D) X(clCreateImage3D) X(clRetainMemObject)    \
  X(clReleaseMemObject) X(clGetSupportedImageFormats) X(clGetMemObjectInfo) X(clGetImageInfo)          \
  X(clSetMemObjectDestructorCallback) X(clCreateSampler) X(clRetainSampler) X(clReleaseSampler)        \
  X(clGetSamplerInfo) X(clCreateProgramWithSource) X(clCreateProgramWithBinary) X(clRetainProgram)     \
  X(clReleaseProgram) X(clBuildProgram) X(clUnloadCompiler) X(clGetProgramInfo)                        \
  X(clGetProgramBuildInfo) X(clCreateKernel) X(clCreateKernelsInProgram) X(clRetainKernel)             \
  X(clReleaseKernel) X(clSetKernelArg) X(clGetKernelInfo) X(clGetKernelWorkGroupInfo)                  \
  X(clWaitForEvents) X(clGetEventInfo) X(clCreateUserEvent) X(clRetainEvent) X(clReleaseEvent)         \
  X(clSetUserEventStatus) X(clSetEventCallback) X(clGetEventProfilingInfo) X(clFlush) X(clFinish)      \
  X(clEnqueueReadBuffer) X(clEnqueueReadBufferRect) X(clEnqueueWriteBuffer)                            \
  X(clEnqueueWriteBufferRect) X(clEnqueueCopyBuffer) X(clEnqueueCopyBufferRect) X(clEnqueueReadImage)  \
  X(clEnqueueWriteImage) X(clEnqueueCopyImage) X(clEnqueueCopyImageToBuffer)                           \
  X(clEnqueueCopyBufferToImage) X(clEnqueueMapBuffer) X(clEnqueueMapImage) X(clEnqueueUnmapMemObject)  \
  X(clEnqueueNDRangeKernel) X(clEnqueueTask) X(clEnqueueNativeKernel) X(clEnqueueMarker)               \
  X(clEnqueueWaitForEvents) X(clEnqueueBarrier) X(clGetExtensionFunctionAddress)

#define VELMORA_DECLARE_OPENCL_ENTRY_POINT(Name) extern TEntryPoint<decltype(&::Name)> Name;
VELMORA_OPENCL_ENTRY_POINTS(VELMORA_DECLARE_OPENCL_ENTRY_POINT)
#undef VELMORA_DECLARE_OPENCL_ENTRY_POINT

// Every entry point, in binding order.
std::span<const TEntryPointSlot* const> EntryPoints();

}  // namespace CL
