#pragma once
// Thin owners of one OpenCL handle each: contexts, command queues, buffers, 2D images, programs and
// kernels. None raises for an OpenCL failure: each keeps the code of its last OpenCL call in Status.
// An object belongs to whoever made it and releases its handle once, when it is destroyed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CL.h"
#include "DCLSet.h"

// Memory flags; member n stands for the OpenCL flag of value 2^n.
enum TDCLMemFlags : std::uint8_t {
  mfReadWrite,     // CL_MEM_READ_WRITE
  mfWriteOnly,     // CL_MEM_WRITE_ONLY
  mfReadOnly,      // CL_MEM_READ_ONLY
  mfUseHostPtr,    // CL_MEM_USE_HOST_PTR
  mfAllocHostPtr,  // CL_MEM_ALLOC_HOST_PTR
  mfCopyHostPtr,   // CL_MEM_COPY_HOST_PTR
};
using TDCLMemFlagsSet = TDCLSet<TDCLMemFlags>;

enum TDCLCommandQueueProperties : std::uint8_t {
  cqpOutOfOrderExecModeEnable,  // CL_QUEUE_OUT_OF_ORDER_EXEC_MODE_ENABLE
};
using TDCLCommandQueuePropertiesSet = TDCLSet<TDCLCommandQueueProperties>;

// The layout of OpenCL's cl_image_format.
struct TCL_image_format {
  std::uint32_t Image_channel_order = 0;
  std::uint32_t Image_channel_data_type = 0;
};
using PCL_image_format = TCL_image_format*;

// The OpenCL memory flags for a set.
cl_mem_flags ToCLMemFlags(TDCLMemFlagsSet Flags);

class TDCLContext {
 public:
  // A context holding the one device Device_id.
  explicit TDCLContext(PCL_device_id Device_id);
  ~TDCLContext();
  TDCLContext(const TDCLContext&) = delete;
  TDCLContext& operator=(const TDCLContext&) = delete;

  cl_context Handle() const { return FContext; }
  std::int32_t Status() const { return FStatus; }
  std::uint32_t NumDevices() const { return FNumDevices; }

 private:
  void Release();

  cl_context FContext = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
  std::uint32_t FNumDevices = 0;
};

class TDCLBuffer {
 public:
  // Data: host memory of Size bytes, or null. A buffer over host memory (mfUseHostPtr) does not own
  // it: its maker keeps it valid until the buffer is destroyed.
  TDCLBuffer(cl_context Context, TDCLMemFlagsSet Flags, std::uint64_t Size, void* Data);
  // Size bytes of Parent from byte Origin on, with Parent's flags (OpenCL 1.1). Parent must outlive
  // it; Origin must be a multiple of the device's base address alignment.
  TDCLBuffer(const TDCLBuffer& Parent, std::uint64_t Origin, std::uint64_t Size);
  ~TDCLBuffer();
  TDCLBuffer(const TDCLBuffer&) = delete;
  TDCLBuffer& operator=(const TDCLBuffer&) = delete;

  cl_mem Handle() const { return FMem; }
  std::uint64_t Size() const { return FSize; }
  std::int32_t Status() const { return FStatus; }

 private:
  cl_mem FMem = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
  std::uint64_t FSize = 0;
};

class TDCLImage2D {
 public:
  TDCLImage2D(cl_context Context, TDCLMemFlagsSet Flags, const TCL_image_format* Format, std::uint64_t Width,
              std::uint64_t Height, std::uint64_t RowPitch, void* Data);
  ~TDCLImage2D();
  TDCLImage2D(const TDCLImage2D&) = delete;
  TDCLImage2D& operator=(const TDCLImage2D&) = delete;

  cl_mem Handle() const { return FMem; }
  std::uint64_t Width() const { return FWidth; }
  std::uint64_t Height() const { return FHeight; }
  std::uint64_t RowPitch() const { return FRowPitch; }
  std::int32_t Status() const { return FStatus; }

 private:
  cl_mem FMem = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
  TCL_image_format FFormat;
  std::uint64_t FRowPitch = 0;
  std::uint64_t FWidth = 0;
  std::uint64_t FHeight = 0;
};

class TDCLKernel {
 public:
  TDCLKernel(cl_program Program, const char* KernelName);
  ~TDCLKernel();
  TDCLKernel(const TDCLKernel&) = delete;
  TDCLKernel& operator=(const TDCLKernel&) = delete;

  cl_kernel Handle() const { return FKernel; }
  std::int32_t Status() const { return FStatus; }
  // Both asked of the runtime at every read.
  std::string FunctionName();
  std::uint32_t NumArgs();

  void SetArg(std::uint32_t Index, std::uint64_t Size, const void* Value);
  // The argument is the buffer's or the image's memory-object handle.
  void SetArg(std::uint32_t Index, const TDCLBuffer& Value);
  void SetArg(std::uint32_t Index, const TDCLImage2D& Value);

 private:
  cl_kernel FKernel = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
};

class TDCLProgram {
 public:
  // Builds Source (the address of a pointer to NUL-terminated text) for the device with Options
  // (NUL-terminated, or null for none), then keeps the build log, the source as the runtime returns
  // it and the binary. Status is the code of the last of those queries, not the build's.
  TDCLProgram(PCL_device_id Device_id, cl_context Context, const char** Source, const char* Options);
  ~TDCLProgram();
  TDCLProgram(const TDCLProgram&) = delete;
  TDCLProgram& operator=(const TDCLProgram&) = delete;

  cl_program Handle() const { return FProgram; }
  std::int32_t Status() const { return FStatus; }
  // The code of the build itself: CL_SUCCESS once the program built for the device.
  std::int32_t BuildStatus() const { return FBuildStatus; }
  // Both with the length the runtime reported, terminating NUL included.
  const std::string& Source() const { return FSource; }
  const std::string& Log() const { return FLog; }
  std::uint64_t BinarySizes() const { return FBinarySizes; }

  std::unique_ptr<TDCLKernel> CreateKernel(const char* KernelName) const;
  // Writes the program binary, BinarySizes bytes, to a new or truncated file; raises
  // std::runtime_error naming the file when it cannot be written.
  void SaveToFile(const std::string& FileName) const;

 private:
  void Release();

  cl_program FProgram = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
  std::int32_t FBuildStatus = CL_SUCCESS;
  std::string FSource;
  std::string FLog;
  std::uint64_t FBinarySizes = 0;
  std::vector<std::vector<unsigned char>> FBinaries;
};

class TDCLCommandQueue {
 public:
  // Profiling is always on, whatever Properties says: every timed command reports the device's
  // own start and end counters.
  TDCLCommandQueue(PCL_device_id Device_id, cl_context Context, TDCLCommandQueuePropertiesSet Properties);
  ~TDCLCommandQueue();
  TDCLCommandQueue(const TDCLCommandQueue&) = delete;
  TDCLCommandQueue& operator=(const TDCLCommandQueue&) = delete;

  cl_command_queue Handle() const { return FCommandQueue; }
  std::int32_t Status() const { return FStatus; }
  TDCLCommandQueuePropertiesSet Properties() const { return FProperties; }
  // Nanoseconds the device spent on the last timed command; 0 when the command was refused, failed
  // on the device (Status then holds the code) or the device reported no time for it.
  std::uint64_t ExecuteTime() const { return FExecuteTime; }

  // The timed commands: each waits until the queue is idle. Transfers are blocking.
  void Execute(const TDCLKernel& Kernel, std::uint64_t Size);
  void Execute(const TDCLKernel& Kernel, const std::vector<std::uint64_t>& Size);
  // One dimension of Size work items in work-groups of LocalSize.
  void Execute(const TDCLKernel& Kernel, std::uint64_t Size, std::uint64_t LocalSize);
  void ReadBuffer(const TDCLBuffer& Buffer, std::uint64_t Size, void* Data);
  void WriteBuffer(const TDCLBuffer& Buffer, std::uint64_t Size, const void* Data);
  void ReadImage2D(const TDCLImage2D& Image, void* Data);
  void WriteImage2D(const TDCLImage2D& Image, std::uint64_t Width, std::uint64_t Height, const void* Data);

 private:
  // Takes the enqueue's code and the event it returned, if any.
  void TimeCommand(cl_int EnqueueStatus, cl_event Event);
  void Launch(const TDCLKernel& Kernel, const std::vector<std::uint64_t>& Size, const std::uint64_t* LocalSize);

  cl_command_queue FCommandQueue = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
  TDCLCommandQueuePropertiesSet FProperties;
  std::uint64_t FExecuteTime = 0;
};

// A whole buffer mapped into the process for reading and writing, for as long as this object lives.
// The mapping is made through a queue and undone through it, so the queue and the buffer must
// outlive it.
class TDCLMappedBuffer {
 public:
  // Maps Buffer blocking. Address is null and Status holds the code when the runtime refused.
  TDCLMappedBuffer(const TDCLCommandQueue& Queue, const TDCLBuffer& Buffer);
  // Unmaps it and waits until the unmap is done, so that the buffer can go right after.
  ~TDCLMappedBuffer();
  TDCLMappedBuffer(const TDCLMappedBuffer&) = delete;
  TDCLMappedBuffer& operator=(const TDCLMappedBuffer&) = delete;

  void* Address() const { return FAddress; }
  std::int32_t Status() const { return FStatus; }

 private:
  cl_command_queue FQueue;
  cl_mem FMem;
  void* FAddress = nullptr;
  std::int32_t FStatus = CL_SUCCESS;
};
