#include "DCLObjects.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "DCLInfoQuery.h"

static_assert(sizeof(TCL_image_format) == sizeof(cl_image_format));
static_assert(sizeof(std::size_t) == sizeof(std::uint64_t), "sizes pass to OpenCL as 64-bit size_t");

cl_mem_flags ToCLMemFlags(TDCLMemFlagsSet Flags) {
  constexpr std::pair<TDCLMemFlags, cl_mem_flags> OpenCLFlags[] = {
      {mfReadWrite, CL_MEM_READ_WRITE},        {mfWriteOnly, CL_MEM_WRITE_ONLY},
      {mfReadOnly, CL_MEM_READ_ONLY},          {mfUseHostPtr, CL_MEM_USE_HOST_PTR},
      {mfAllocHostPtr, CL_MEM_ALLOC_HOST_PTR}, {mfCopyHostPtr, CL_MEM_COPY_HOST_PTR},
  };
  cl_mem_flags Result = 0;
  for (const auto& [Member, Flag] : OpenCLFlags)
    if (Flags.Contains(Member)) Result |= Flag;
  return Result;
}

// Each destructor checks its release function: a destructor must not raise, and a handle that the
// library cannot release is better kept than the program ended. A handle the runtime never made
// (it refused the object) is not released: there is nothing to release.

TDCLContext::TDCLContext(PCL_device_id Device_id) {
  FContext = CL::clCreateContext(nullptr, 1, &Device_id, nullptr, nullptr, &FStatus);
  try {
    cl_uint NumDevices = 0;
    FStatus = CL::clGetContextInfo(FContext, CL_CONTEXT_NUM_DEVICES, sizeof NumDevices, &NumDevices, nullptr);
    if (FStatus == CL_SUCCESS) FNumDevices = NumDevices;
  } catch (...) {
    Release();
    throw;
  }
}

TDCLContext::~TDCLContext() { Release(); }

void TDCLContext::Release() {
  if (FContext != nullptr && CL::clReleaseContext) FStatus = CL::clReleaseContext(FContext);
}

TDCLBuffer::TDCLBuffer(cl_context Context, TDCLMemFlagsSet Flags, std::uint64_t Size, void* Data) : FSize(Size) {
  FMem = CL::clCreateBuffer(Context, ToCLMemFlags(Flags), Size, Data, &FStatus);
}

TDCLBuffer::TDCLBuffer(const TDCLBuffer& Parent, std::uint64_t Origin, std::uint64_t Size) : FSize(Size) {
  const cl_buffer_region Region{Origin, Size};
  FMem = CL::clCreateSubBuffer(Parent.Handle(), 0, CL_BUFFER_CREATE_TYPE_REGION, &Region, &FStatus);
}

TDCLBuffer::~TDCLBuffer() {
  if (FMem != nullptr && CL::clReleaseMemObject) FStatus = CL::clReleaseMemObject(FMem);
}

TDCLImage2D::TDCLImage2D(cl_context Context, TDCLMemFlagsSet Flags, const TCL_image_format* Format, std::uint64_t Width,
                         std::uint64_t Height, std::uint64_t RowPitch, void* Data)
    : FRowPitch(RowPitch), FWidth(Width), FHeight(Height) {
  // No format is the runtime's error to report, not a crash here.
  if (Format != nullptr) FFormat = *Format;
  const cl_image_format OpenCLFormat{FFormat.Image_channel_order, FFormat.Image_channel_data_type};
  FMem = CL::clCreateImage2D(Context, ToCLMemFlags(Flags), Format != nullptr ? &OpenCLFormat : nullptr, Width, Height,
                             RowPitch, Data, &FStatus);
}

TDCLImage2D::~TDCLImage2D() {
  if (FMem != nullptr && CL::clReleaseMemObject) FStatus = CL::clReleaseMemObject(FMem);
}

TDCLKernel::TDCLKernel(cl_program Program, const char* KernelName) {
  FKernel = CL::clCreateKernel(Program, KernelName, &FStatus);
}

TDCLKernel::~TDCLKernel() {
  if (FKernel != nullptr && CL::clReleaseKernel) FStatus = CL::clReleaseKernel(FKernel);
}

std::string TDCLKernel::FunctionName() {
  const std::string Name = QueryInfoText(
      [this](std::size_t Size, void* Value, std::size_t* SizeReturned) {
        return CL::clGetKernelInfo(FKernel, CL_KERNEL_FUNCTION_NAME, Size, Value, SizeReturned);
      },
      FStatus);
  return Name.substr(0, Name.find('\0'));
}

std::uint32_t TDCLKernel::NumArgs() {
  cl_uint NumArgs = 0;
  FStatus = CL::clGetKernelInfo(FKernel, CL_KERNEL_NUM_ARGS, sizeof NumArgs, &NumArgs, nullptr);
  return FStatus == CL_SUCCESS ? NumArgs : 0;
}

void TDCLKernel::SetArg(std::uint32_t Index, std::uint64_t Size, const void* Value) {
  FStatus = CL::clSetKernelArg(FKernel, Index, Size, Value);
}

void TDCLKernel::SetArg(std::uint32_t Index, const TDCLBuffer& Value) {
  const cl_mem Mem = Value.Handle();
  SetArg(Index, sizeof Mem, &Mem);
}

void TDCLKernel::SetArg(std::uint32_t Index, const TDCLImage2D& Value) {
  const cl_mem Mem = Value.Handle();
  SetArg(Index, sizeof Mem, &Mem);
}

TDCLProgram::TDCLProgram(PCL_device_id Device_id, cl_context Context, const char** Source, const char* Options) {
  FProgram = CL::clCreateProgramWithSource(Context, 1, Source, nullptr, &FStatus);
  try {
    FStatus = CL::clBuildProgram(FProgram, 1, &Device_id, Options, nullptr, nullptr);
    FBuildStatus = FStatus;
    FLog = QueryInfoText(
        [&](std::size_t Size, void* Value, std::size_t* SizeReturned) {
          return CL::clGetProgramBuildInfo(FProgram, Device_id, CL_PROGRAM_BUILD_LOG, Size, Value, SizeReturned);
        },
        FStatus);
    FSource = QueryInfoText(
        [&](std::size_t Size, void* Value, std::size_t* SizeReturned) {
          return CL::clGetProgramInfo(FProgram, CL_PROGRAM_SOURCE, Size, Value, SizeReturned);
        },
        FStatus);
    std::size_t BinarySize = 0;
    FStatus = CL::clGetProgramInfo(FProgram, CL_PROGRAM_BINARY_SIZES, sizeof BinarySize, &BinarySize, nullptr);
    // The binary array must be as large as the runtime will write, so a size it did not report is none.
    FBinarySizes = FStatus == CL_SUCCESS ? BinarySize : 0;
    FBinaries.assign(1, std::vector<unsigned char>(FBinarySizes));
    unsigned char* Binaries[1] = {FBinaries[0].data()};
    FStatus = CL::clGetProgramInfo(FProgram, CL_PROGRAM_BINARIES, sizeof Binaries, Binaries, nullptr);
  } catch (...) {
    Release();
    throw;
  }
}

TDCLProgram::~TDCLProgram() { Release(); }

void TDCLProgram::Release() {
  if (FProgram != nullptr && CL::clReleaseProgram) FStatus = CL::clReleaseProgram(FProgram);
}

std::unique_ptr<TDCLKernel> TDCLProgram::CreateKernel(const char* KernelName) const {
  return std::make_unique<TDCLKernel>(FProgram, KernelName);
}

void TDCLProgram::SaveToFile(const std::string& FileName) const {
  struct TCloseFile {
    void operator()(std::FILE* File) const { std::fclose(File); }
  };
  std::unique_ptr<std::FILE, TCloseFile> File(std::fopen(FileName.c_str(), "wb"));
  if (!File) throw std::runtime_error("Cannot create file \"" + FileName + "\": " + std::strerror(errno));
  const std::vector<unsigned char>& Binary = FBinaries.at(0);
  const bool Written = Binary.empty() || std::fwrite(Binary.data(), 1, Binary.size(), File.get()) == Binary.size();
  // Bytes still buffered when the close fails never reach the file: that is a write error too.
  const bool Closed = std::fclose(File.release()) == 0;
  if (!Written || !Closed) throw std::runtime_error("Cannot write file \"" + FileName + "\": " + std::strerror(errno));
}

TDCLCommandQueue::TDCLCommandQueue(PCL_device_id Device_id, cl_context Context,
                                   TDCLCommandQueuePropertiesSet Properties)
    : FProperties(Properties) {
  cl_command_queue_properties QueueProperties = CL_QUEUE_PROFILING_ENABLE;
  if (Properties.Contains(cqpOutOfOrderExecModeEnable)) QueueProperties |= CL_QUEUE_OUT_OF_ORDER_EXEC_MODE_ENABLE;
  FCommandQueue = CL::clCreateCommandQueue(Context, Device_id, QueueProperties, &FStatus);
}

TDCLCommandQueue::~TDCLCommandQueue() {
  if (FCommandQueue != nullptr && CL::clReleaseCommandQueue) FStatus = CL::clReleaseCommandQueue(FCommandQueue);
}

void TDCLCommandQueue::TimeCommand(cl_int EnqueueStatus, cl_event Event) {
  FStatus = EnqueueStatus;
  FExecuteTime = 0;
  // A refused command has no event: there is nothing to wait for, query or release, and its code
  // stays in Status.
  if (EnqueueStatus != CL_SUCCESS || Event == nullptr) return;
  struct TReleaseEvent {
    void operator()(cl_event Event) const {
      if (CL::clReleaseEvent) CL::clReleaseEvent(Event);
    }
  };
  const std::unique_ptr<std::remove_pointer_t<cl_event>, TReleaseEvent> OwnedEvent(Event);
  // A command the device gave up on (a kernel a display driver's watchdog stopped) has no time, and
  // its code says why.
  FStatus = CL::clFinish(FCommandQueue);
  if (FStatus != CL_SUCCESS) return;
  cl_int CommandStatus = CL_COMPLETE;
  FStatus = CL::clGetEventInfo(Event, CL_EVENT_COMMAND_EXECUTION_STATUS, sizeof CommandStatus, &CommandStatus, nullptr);
  if (FStatus == CL_SUCCESS && CommandStatus < 0) FStatus = CommandStatus;
  if (FStatus != CL_SUCCESS) return;
  cl_ulong Start = 0;
  cl_ulong End = 0;
  const cl_int StartStatus =
      CL::clGetEventProfilingInfo(Event, CL_PROFILING_COMMAND_START, sizeof Start, &Start, nullptr);
  FStatus = StartStatus;
  FStatus = CL::clGetEventProfilingInfo(Event, CL_PROFILING_COMMAND_END, sizeof End, &End, nullptr);
  // A counter the device did not report is no time at all, not a time counted from zero; an end
  // before the start is no time either, not a difference wrapped to centuries.
  if (StartStatus == CL_SUCCESS && FStatus == CL_SUCCESS && End >= Start) FExecuteTime = End - Start;
}

void TDCLCommandQueue::Execute(const TDCLKernel& Kernel, std::uint64_t Size) {
  Execute(Kernel, std::vector<std::uint64_t>{Size});
}

void TDCLCommandQueue::Execute(const TDCLKernel& Kernel, const std::vector<std::uint64_t>& Size) {
  Launch(Kernel, Size, nullptr);
}

void TDCLCommandQueue::Execute(const TDCLKernel& Kernel, std::uint64_t Size, std::uint64_t LocalSize) {
  Launch(Kernel, {Size}, &LocalSize);
}

void TDCLCommandQueue::Launch(const TDCLKernel& Kernel, const std::vector<std::uint64_t>& Size,
                              const std::uint64_t* LocalSize) {
  // A kernel that was never made (its program did not build) is refused here with the code the
  // standard gives: some runtimes (PoCL 3.1) crash on a null kernel instead of answering it.
  if (Kernel.Handle() == nullptr) {
    TimeCommand(CL_INVALID_KERNEL, nullptr);
    return;
  }
  const std::vector<std::size_t> GlobalWorkSize(Size.begin(), Size.end());
  const std::size_t LocalWorkSize = LocalSize ? *LocalSize : 0;
  cl_event Event = nullptr;
  const cl_int EnqueueStatus =
      CL::clEnqueueNDRangeKernel(FCommandQueue, Kernel.Handle(), static_cast<cl_uint>(GlobalWorkSize.size()), nullptr,
                                 GlobalWorkSize.data(), LocalSize ? &LocalWorkSize : nullptr, 0, nullptr, &Event);
  TimeCommand(EnqueueStatus, Event);
}

void TDCLCommandQueue::ReadBuffer(const TDCLBuffer& Buffer, std::uint64_t Size, void* Data) {
  cl_event Event = nullptr;
  const cl_int EnqueueStatus =
      CL::clEnqueueReadBuffer(FCommandQueue, Buffer.Handle(), CL_TRUE, 0, Size, Data, 0, nullptr, &Event);
  TimeCommand(EnqueueStatus, Event);
}

void TDCLCommandQueue::WriteBuffer(const TDCLBuffer& Buffer, std::uint64_t Size, const void* Data) {
  cl_event Event = nullptr;
  const cl_int EnqueueStatus =
      CL::clEnqueueWriteBuffer(FCommandQueue, Buffer.Handle(), CL_TRUE, 0, Size, Data, 0, nullptr, &Event);
  TimeCommand(EnqueueStatus, Event);
}

void TDCLCommandQueue::ReadImage2D(const TDCLImage2D& Image, void* Data) {
  const std::size_t Origin[3] = {0, 0, 0};
  const std::size_t Region[3] = {Image.Width(), Image.Height(), 1};
  cl_event Event = nullptr;
  const cl_int EnqueueStatus =
      CL::clEnqueueReadImage(FCommandQueue, Image.Handle(), CL_TRUE, Origin, Region, 0, 0, Data, 0, nullptr, &Event);
  TimeCommand(EnqueueStatus, Event);
}

void TDCLCommandQueue::WriteImage2D(const TDCLImage2D& Image, std::uint64_t Width, std::uint64_t Height,
                                    const void* Data) {
  const std::size_t Origin[3] = {0, 0, 0};
  const std::size_t Region[3] = {Width, Height, 1};
  cl_event Event = nullptr;
  const cl_int EnqueueStatus =
      CL::clEnqueueWriteImage(FCommandQueue, Image.Handle(), CL_TRUE, Origin, Region, 0, 0, Data, 0, nullptr, &Event);
  TimeCommand(EnqueueStatus, Event);
}

TDCLMappedBuffer::TDCLMappedBuffer(const TDCLCommandQueue& Queue, const TDCLBuffer& Buffer)
    : FQueue(Queue.Handle()), FMem(Buffer.Handle()) {
  void* Address = CL::clEnqueueMapBuffer(FQueue, FMem, CL_TRUE, CL_MAP_READ | CL_MAP_WRITE, 0, Buffer.Size(), 0,
                                         nullptr, nullptr, &FStatus);
  // A runtime that answers success without an address has mapped nothing this object could undo.
  if (FStatus == CL_SUCCESS && Address == nullptr) FStatus = CL_INVALID_VALUE;
  if (FStatus == CL_SUCCESS) FAddress = Address;
}

TDCLMappedBuffer::~TDCLMappedBuffer() {
  if (FAddress == nullptr || !CL::clEnqueueUnmapMemObject || !CL::clFinish) return;
  FStatus = CL::clEnqueueUnmapMemObject(FQueue, FMem, FAddress, 0, nullptr, nullptr);
  if (FStatus == CL_SUCCESS) FStatus = CL::clFinish(FQueue);
}
