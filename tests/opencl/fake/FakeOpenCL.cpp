// A scripted OpenCL runtime for the tests: the functions the OpenCL layer calls, plus the eight
// functions new in OpenCL 1.1 (left out when built with FAKE_OPENCL_1_0). Handles are tokens that
// the fake never dereferences, so a wrong or stale handle is recorded instead of crashing.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "FakeOpenCLControl.h"

namespace {

TFakeOpenCL State;
std::uint64_t Sequence = 0;
std::uintptr_t NextHandle = 0x40000000;

// Platform i is token 0x1000 + i; device j of platform i is 0x100000 + i * 0x1000 + j.
cl_platform_id PlatformHandle(std::size_t Index) { return reinterpret_cast<cl_platform_id>(0x1000 + Index); }
cl_device_id DeviceHandle(std::size_t Platform, std::size_t Device) {
  return reinterpret_cast<cl_device_id>(0x100000 + Platform * 0x1000 + Device);
}

TFakePlatform* FindPlatform(cl_platform_id Handle) {
  for (std::size_t Index = 0; Index < State.Platforms.size(); ++Index)
    if (PlatformHandle(Index) == Handle) return &State.Platforms[Index];
  return nullptr;
}

TFakeDevice* FindDevice(cl_device_id Handle) {
  for (std::size_t Platform = 0; Platform < State.Platforms.size(); ++Platform)
    for (std::size_t Device = 0; Device < State.Platforms[Platform].Devices.size(); ++Device)
      if (DeviceHandle(Platform, Device) == Handle) return &State.Platforms[Platform].Devices[Device];
  return nullptr;
}

void Record(const char* Function) { State.Calls.emplace_back(Function); }

template <typename THandle>
THandle NewHandle(TFakeHandleKind Kind) {
  const THandle Handle = reinterpret_cast<THandle>(NextHandle);
  NextHandle += 0x10;
  State.Handles.push_back({Kind, Handle, 0, ++Sequence, 0});
  return Handle;
}

// True for a handle of that kind that was made and not yet released; anything else is recorded.
bool IsLive(const void* Handle, TFakeHandleKind Kind) {
  const TFakeHandle* Found = State.FindHandle(Handle);
  if (Found != nullptr && Found->Kind == Kind && Found->Releases == 0) return true;
  ++State.UnknownHandleUses;
  return false;
}

cl_int Release(const void* Handle, TFakeHandleKind Kind, cl_int InvalidCode) {
  for (TFakeHandle& Found : State.Handles) {
    if (Found.Value != Handle || Found.Kind != Kind) continue;
    if (++Found.Releases == 1) Found.ReleasedAt = ++Sequence;
    return Found.Releases == 1 ? CL_SUCCESS : InvalidCode;
  }
  ++State.UnknownReleases;
  return InvalidCode;
}

void SetError(cl_int* ErrorCode, cl_int Code) {
  if (ErrorCode != nullptr) *ErrorCode = Code;
}

// What a creating call returns when it refuses: no handle, and the code through errcode_ret.
std::nullptr_t Refuse(cl_int* ErrorCode, cl_int Code) {
  SetError(ErrorCode, Code);
  return nullptr;
}

// The clGet...Info protocol: the size always, the value only into a buffer large enough.
cl_int Answer(const void* Bytes, std::size_t Size, std::size_t ValueSize, void* Value, std::size_t* SizeReturned) {
  if (SizeReturned != nullptr) *SizeReturned = Size;
  if (Value == nullptr) return CL_SUCCESS;
  if (ValueSize < Size) return CL_INVALID_VALUE;
  std::memcpy(Value, Bytes, Size);
  return CL_SUCCESS;
}

cl_int AnswerText(const std::string& Text, std::size_t ValueSize, void* Value, std::size_t* SizeReturned) {
  return Answer(Text.c_str(), Text.size() + 1, ValueSize, Value, SizeReturned);
}

template <typename TValue>
cl_int AnswerValue(TValue Number, std::size_t ValueSize, void* Value, std::size_t* SizeReturned) {
  return Answer(&Number, sizeof Number, ValueSize, Value, SizeReturned);
}

// The width of every numeric device parameter in the OpenCL API.
std::size_t DeviceValueWidth(cl_device_info Parameter) {
  switch (Parameter) {
    case CL_DEVICE_TYPE:
    case CL_DEVICE_SINGLE_FP_CONFIG:
    case CL_DEVICE_EXECUTION_CAPABILITIES:
    case CL_DEVICE_QUEUE_PROPERTIES:
    case CL_DEVICE_MAX_MEM_ALLOC_SIZE:
    case CL_DEVICE_GLOBAL_MEM_CACHE_SIZE:
    case CL_DEVICE_GLOBAL_MEM_SIZE:
    case CL_DEVICE_MAX_CONSTANT_BUFFER_SIZE:
    case CL_DEVICE_LOCAL_MEM_SIZE:
      return sizeof(cl_ulong);
    case CL_DEVICE_MAX_WORK_GROUP_SIZE:
    case CL_DEVICE_IMAGE2D_MAX_WIDTH:
    case CL_DEVICE_IMAGE2D_MAX_HEIGHT:
    case CL_DEVICE_IMAGE3D_MAX_WIDTH:
    case CL_DEVICE_IMAGE3D_MAX_HEIGHT:
    case CL_DEVICE_IMAGE3D_MAX_DEPTH:
    case CL_DEVICE_MAX_PARAMETER_SIZE:
    case CL_DEVICE_PROFILING_TIMER_RESOLUTION:
      return sizeof(std::size_t);
    case CL_DEVICE_VENDOR_ID:
    case CL_DEVICE_MAX_COMPUTE_UNITS:
    case CL_DEVICE_MAX_WORK_ITEM_DIMENSIONS:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_CHAR:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_SHORT:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_INT:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_LONG:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_FLOAT:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_DOUBLE:
    case CL_DEVICE_PREFERRED_VECTOR_WIDTH_HALF:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_CHAR:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_SHORT:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_INT:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_LONG:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_FLOAT:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_DOUBLE:
    case CL_DEVICE_NATIVE_VECTOR_WIDTH_HALF:
    case CL_DEVICE_MAX_CLOCK_FREQUENCY:
    case CL_DEVICE_ADDRESS_BITS:
    case CL_DEVICE_MAX_READ_IMAGE_ARGS:
    case CL_DEVICE_MAX_WRITE_IMAGE_ARGS:
    case CL_DEVICE_MAX_SAMPLERS:
    case CL_DEVICE_MEM_BASE_ADDR_ALIGN:
    case CL_DEVICE_MIN_DATA_TYPE_ALIGN_SIZE:
    case CL_DEVICE_GLOBAL_MEM_CACHE_TYPE:
    case CL_DEVICE_GLOBAL_MEM_CACHELINE_SIZE:
    case CL_DEVICE_MAX_CONSTANT_ARGS:
    case CL_DEVICE_LOCAL_MEM_TYPE:
      return sizeof(cl_uint);
    case CL_DEVICE_IMAGE_SUPPORT:
    case CL_DEVICE_ERROR_CORRECTION_SUPPORT:
    case CL_DEVICE_HOST_UNIFIED_MEMORY:
    case CL_DEVICE_ENDIAN_LITTLE:
    case CL_DEVICE_AVAILABLE:
    case CL_DEVICE_COMPILER_AVAILABLE:
      return sizeof(cl_bool);
    default:
      return 0;
  }
}

struct TFakeEvent {
  cl_event Handle;
  cl_command_queue Queue;
  TFakeTiming Timing;
  bool Complete;
  double RunSeconds = 0;  // how long the command runs before it is complete
};
std::vector<TFakeEvent> Events;

TFakeEvent* FindEvent(cl_event Handle) {
  for (TFakeEvent& Event : Events)
    if (Event.Handle == Handle) return &Event;
  return nullptr;
}

// Checks shared by every enqueue; the command is recorded only when it is accepted.
cl_int AcceptCommand(TFakeCommand& Command, cl_command_queue Queue, cl_uint WaitListLength, cl_event* Event,
                     bool Complete, bool Timed = true) {
  Command.Queue = Queue;
  Command.WaitListLength = WaitListLength;
  if (!IsLive(Queue, TFakeHandleKind::CommandQueue)) return CL_INVALID_COMMAND_QUEUE;
  if (State.EnqueueError != CL_SUCCESS) return State.EnqueueError;
  TFakeTiming Timing;
  if (Timed && !State.Timings.empty()) {
    Timing = State.Timings.front();
    State.Timings.erase(State.Timings.begin());
  }
  if (Event != nullptr) {
    *Event = NewHandle<cl_event>(TFakeHandleKind::Event);
    Events.push_back({*Event, Queue, Timing, Complete});
    Command.Event = *Event;
  }
  State.Commands.push_back(Command);
  return CL_SUCCESS;
}

// On a device with a read bandwidth: the launch of Event runs for as long as its work items take to
// read the kernel's first buffer, and reports that time unless the test scripted one.
void SetLaunchTime(TFakeEvent& Event, cl_kernel Kernel, bool TimeScripted) {
  const TFakeQueue& Queue = State.Queues.at(Event.Queue);
  const TFakeDevice* Device = FindDevice(Queue.Device);
  const auto Argument = State.Kernels.at(Kernel).Arguments.find(0);
  if (Device == nullptr || Device->ReadBandwidth <= 0 || Argument == State.Kernels.at(Kernel).Arguments.end() ||
      Argument->second.size() != sizeof(cl_mem))
    return;
  cl_mem Buffer = nullptr;
  std::memcpy(&Buffer, Argument->second.data(), sizeof Buffer);
  const auto Memory = State.MemObjects.find(Buffer);
  if (Memory == State.MemObjects.end()) return;
  double WorkItems = 1;
  for (const std::size_t Size : State.Commands.back().GlobalWorkSize) WorkItems *= static_cast<double>(Size);
  Event.RunSeconds = WorkItems * static_cast<double>(Memory->second.Size) / Device->ReadBandwidth;
  if (!TimeScripted) Event.Timing = {0, static_cast<cl_ulong>(Event.RunSeconds * 1e9)};
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TFakeOpenCL* FakeOpenCLState() { return &State; }

cl_int CL_API_CALL clGetPlatformIDs(cl_uint num_entries, cl_platform_id* platforms, cl_uint* num_platforms) {
  Record(__func__);
  if ((num_entries == 0 && platforms != nullptr) || (platforms == nullptr && num_platforms == nullptr))
    return CL_INVALID_VALUE;
  const auto Count = static_cast<cl_uint>(State.Platforms.size());
  if (num_platforms != nullptr) *num_platforms = Count;
  if (Count == 0) return FakePlatformNotFound;
  for (cl_uint Index = 0; platforms != nullptr && Index < std::min(num_entries, Count); ++Index)
    platforms[Index] = PlatformHandle(Index);
  return CL_SUCCESS;
}

cl_int CL_API_CALL clGetPlatformInfo(cl_platform_id platform, cl_platform_info param_name, size_t param_value_size,
                                     void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  const TFakePlatform* Platform = FindPlatform(platform);
  if (Platform == nullptr) return CL_INVALID_PLATFORM;
  switch (param_name) {
    case CL_PLATFORM_PROFILE:
      return AnswerText(Platform->Profile, param_value_size, param_value, param_value_size_ret);
    case CL_PLATFORM_VERSION:
      return AnswerText(Platform->Version, param_value_size, param_value, param_value_size_ret);
    case CL_PLATFORM_NAME:
      return AnswerText(Platform->Name, param_value_size, param_value, param_value_size_ret);
    case CL_PLATFORM_VENDOR:
      return AnswerText(Platform->Vendor, param_value_size, param_value, param_value_size_ret);
    case CL_PLATFORM_EXTENSIONS:
      return AnswerText(Platform->Extensions, param_value_size, param_value, param_value_size_ret);
    default:
      return CL_INVALID_VALUE;
  }
}

cl_int CL_API_CALL clGetDeviceIDs(cl_platform_id platform, cl_device_type device_type, cl_uint num_entries,
                                  cl_device_id* devices, cl_uint* num_devices) {
  Record(__func__);
  const TFakePlatform* Platform = FindPlatform(platform);
  if (Platform == nullptr) return CL_INVALID_PLATFORM;
  if ((num_entries == 0 && devices != nullptr) || (devices == nullptr && num_devices == nullptr))
    return CL_INVALID_VALUE;
  const std::size_t PlatformIndex = static_cast<std::size_t>(Platform - State.Platforms.data());
  std::vector<cl_device_id> Matching;
  for (std::size_t Index = 0; Index < Platform->Devices.size(); ++Index)
    if (device_type == CL_DEVICE_TYPE_ALL || (Platform->Devices[Index].Type & device_type) != 0)
      Matching.push_back(DeviceHandle(PlatformIndex, Index));
  if (num_devices != nullptr) *num_devices = static_cast<cl_uint>(Matching.size());
  if (Platform->DeviceIDsError != CL_SUCCESS) return Platform->DeviceIDsError;
  if (Matching.empty()) return CL_DEVICE_NOT_FOUND;
  for (cl_uint Index = 0; devices != nullptr && Index < std::min<std::size_t>(num_entries, Matching.size()); ++Index)
    devices[Index] = Matching[Index];
  return CL_SUCCESS;
}

cl_int CL_API_CALL clGetDeviceInfo(cl_device_id device, cl_device_info param_name, size_t param_value_size,
                                   void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  const TFakeDevice* Device = FindDevice(device);
  if (Device == nullptr) return CL_INVALID_DEVICE;
  if (Device->FailingQueries.contains(param_name)) return CL_INVALID_VALUE;
  if (const auto Found = Device->Answers.find(param_name); Found != Device->Answers.end())
    return Answer(Found->second.data(), Found->second.size(), param_value_size, param_value, param_value_size_ret);
  switch (param_name) {
    case CL_DEVICE_NAME:
      return AnswerText(Device->Name, param_value_size, param_value, param_value_size_ret);
    case CL_DEVICE_VENDOR:
      return AnswerText(Device->Vendor, param_value_size, param_value, param_value_size_ret);
    case CL_DEVICE_VERSION:
      return AnswerText(Device->Version, param_value_size, param_value, param_value_size_ret);
    case CL_DEVICE_PROFILE:
      return AnswerText(Device->Profile, param_value_size, param_value, param_value_size_ret);
    case CL_DEVICE_EXTENSIONS:
      return AnswerText(Device->Extensions, param_value_size, param_value, param_value_size_ret);
    case CL_DEVICE_OPENCL_C_VERSION:
      return AnswerText(Device->OpenCLCVersion, param_value_size, param_value, param_value_size_ret);
    case CL_DRIVER_VERSION:
      return AnswerText(Device->DriverVersion, param_value_size, param_value, param_value_size_ret);
    default:
      break;
  }
  const std::size_t Width = DeviceValueWidth(param_name);
  if (Width == 0) return CL_INVALID_VALUE;
  cl_ulong Value = param_name == CL_DEVICE_TYPE ? Device->Type : 0;
  if (const auto Found = Device->Values.find(param_name); Found != Device->Values.end()) Value = Found->second;
  // Little-endian: the low bytes of the value are the narrower types.
  return Answer(&Value, Width, param_value_size, param_value, param_value_size_ret);
}

cl_context CL_API_CALL clCreateContext(const cl_context_properties* properties, cl_uint num_devices,
                                       const cl_device_id* devices,
                                       void(CL_CALLBACK* /*pfn_notify*/)(const char*, const void*, size_t, void*),
                                       void* /*user_data*/, cl_int* errcode_ret) {
  Record(__func__);
  if (num_devices == 0 || devices == nullptr) return Refuse(errcode_ret, CL_INVALID_VALUE);
  for (cl_uint Index = 0; Index < num_devices; ++Index) {
    const TFakeDevice* Device = FindDevice(devices[Index]);
    if (Device == nullptr) return Refuse(errcode_ret, CL_INVALID_DEVICE);
    if (Device->ContextError != CL_SUCCESS) return Refuse(errcode_ret, Device->ContextError);
  }
  const cl_context Context = NewHandle<cl_context>(TFakeHandleKind::Context);
  State.Contexts[Context] = {std::vector<cl_device_id>(devices, devices + num_devices), properties != nullptr};
  SetError(errcode_ret, CL_SUCCESS);
  return Context;
}

cl_int CL_API_CALL clGetContextInfo(cl_context context, cl_context_info param_name, size_t param_value_size,
                                    void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  if (!IsLive(context, TFakeHandleKind::Context)) return CL_INVALID_CONTEXT;
  const TFakeContext& Context = State.Contexts.at(context);
  if (param_name == CL_CONTEXT_NUM_DEVICES)
    return AnswerValue(static_cast<cl_uint>(Context.Devices.size()), param_value_size, param_value,
                       param_value_size_ret);
  if (param_name == CL_CONTEXT_DEVICES)
    return Answer(Context.Devices.data(), Context.Devices.size() * sizeof(cl_device_id), param_value_size, param_value,
                  param_value_size_ret);
  return CL_INVALID_VALUE;
}

cl_int CL_API_CALL clReleaseContext(cl_context context) {
  Record(__func__);
  return Release(context, TFakeHandleKind::Context, CL_INVALID_CONTEXT);
}

cl_command_queue CL_API_CALL clCreateCommandQueue(cl_context context, cl_device_id device,
                                                  cl_command_queue_properties properties, cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(context, TFakeHandleKind::Context)) return Refuse(errcode_ret, CL_INVALID_CONTEXT);
  const std::vector<cl_device_id>& Devices = State.Contexts.at(context).Devices;
  if (std::ranges::find(Devices, device) == Devices.end()) return Refuse(errcode_ret, CL_INVALID_DEVICE);
  const cl_command_queue Queue = NewHandle<cl_command_queue>(TFakeHandleKind::CommandQueue);
  State.Queues[Queue] = {context, device, properties};
  SetError(errcode_ret, CL_SUCCESS);
  return Queue;
}

cl_int CL_API_CALL clReleaseCommandQueue(cl_command_queue command_queue) {
  Record(__func__);
  return Release(command_queue, TFakeHandleKind::CommandQueue, CL_INVALID_COMMAND_QUEUE);
}

cl_mem CL_API_CALL clCreateBuffer(cl_context context, cl_mem_flags flags, size_t size, void* host_ptr,
                                  cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(context, TFakeHandleKind::Context)) return Refuse(errcode_ret, CL_INVALID_CONTEXT);
  if (size == 0) return Refuse(errcode_ret, CL_INVALID_BUFFER_SIZE);
  const bool WantsHostPtr = (flags & (CL_MEM_USE_HOST_PTR | CL_MEM_COPY_HOST_PTR)) != 0;
  if (WantsHostPtr != (host_ptr != nullptr)) return Refuse(errcode_ret, CL_INVALID_HOST_PTR);
  // As runtimes do: no buffer beyond a device's largest, where the script gives one.
  for (const cl_device_id Device : State.Contexts.at(context).Devices) {
    const auto& Values = FindDevice(Device)->Values;
    const auto Largest = Values.find(CL_DEVICE_MAX_MEM_ALLOC_SIZE);
    if (Largest != Values.end() && Largest->second > 0 && size > Largest->second)
      return Refuse(errcode_ret, CL_INVALID_BUFFER_SIZE);
  }
  if (State.BufferError != CL_SUCCESS) return Refuse(errcode_ret, State.BufferError);
  const cl_mem Mem = NewHandle<cl_mem>(TFakeHandleKind::MemObject);
  State.MemObjects[Mem] = {context, flags, size, host_ptr};
  SetError(errcode_ret, CL_SUCCESS);
  return Mem;
}

cl_mem CL_API_CALL clCreateImage2D(cl_context context, cl_mem_flags flags, const cl_image_format* image_format,
                                   size_t image_width, size_t image_height, size_t image_row_pitch, void* host_ptr,
                                   cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(context, TFakeHandleKind::Context)) return Refuse(errcode_ret, CL_INVALID_CONTEXT);
  if (image_format == nullptr) return Refuse(errcode_ret, CL_INVALID_IMAGE_FORMAT_DESCRIPTOR);
  if (image_width == 0 || image_height == 0) return Refuse(errcode_ret, CL_INVALID_IMAGE_SIZE);
  const cl_mem Mem = NewHandle<cl_mem>(TFakeHandleKind::MemObject);
  State.MemObjects[Mem] = {context,      flags,          0, host_ptr, true, *image_format, image_width,
                           image_height, image_row_pitch};
  SetError(errcode_ret, CL_SUCCESS);
  return Mem;
}

cl_int CL_API_CALL clReleaseMemObject(cl_mem memobj) {
  Record(__func__);
  if (const auto Found = State.MemObjects.find(memobj); Found != State.MemObjects.end() && Found->second.Mappings > 0)
    ++State.ReleasesWhileMapped;
  return Release(memobj, TFakeHandleKind::MemObject, CL_INVALID_MEM_OBJECT);
}

cl_program CL_API_CALL clCreateProgramWithSource(cl_context context, cl_uint count, const char** strings,
                                                 const size_t* lengths, cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(context, TFakeHandleKind::Context)) return Refuse(errcode_ret, CL_INVALID_CONTEXT);
  if (count == 0 || strings == nullptr) return Refuse(errcode_ret, CL_INVALID_VALUE);
  std::string Source;
  for (cl_uint Index = 0; Index < count; ++Index) {
    if (strings[Index] == nullptr) return Refuse(errcode_ret, CL_INVALID_VALUE);
    const bool Terminated = lengths == nullptr || lengths[Index] == 0;
    Source.append(strings[Index], Terminated ? std::strlen(strings[Index]) : lengths[Index]);
  }
  const cl_program Program = NewHandle<cl_program>(TFakeHandleKind::Program);
  TFakeProgram& Made = State.Programs[Program];
  Made.Context = context;
  Made.Source = Source;
  SetError(errcode_ret, CL_SUCCESS);
  return Program;
}

cl_int CL_API_CALL clBuildProgram(cl_program program, cl_uint num_devices, const cl_device_id* device_list,
                                  const char* options, void(CL_CALLBACK* /*pfn_notify*/)(cl_program, void*),
                                  void* /*user_data*/) {
  Record(__func__);
  if (!IsLive(program, TFakeHandleKind::Program)) return CL_INVALID_PROGRAM;
  TFakeProgram& Program = State.Programs.at(program);
  if (options != nullptr) Program.Options = options;
  if (device_list != nullptr) Program.BuildDevices.assign(device_list, device_list + num_devices);
  if (State.Program.BuildFails) return CL_BUILD_PROGRAM_FAILURE;
  Program.Built = true;
  return CL_SUCCESS;
}

cl_int CL_API_CALL clGetProgramBuildInfo(cl_program program, cl_device_id /*device*/, cl_program_build_info param_name,
                                         size_t param_value_size, void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  if (!IsLive(program, TFakeHandleKind::Program)) return CL_INVALID_PROGRAM;
  if (param_name != CL_PROGRAM_BUILD_LOG) return CL_INVALID_VALUE;
  return AnswerText(State.Program.BuildLog, param_value_size, param_value, param_value_size_ret);
}

cl_int CL_API_CALL clGetProgramInfo(cl_program program, cl_program_info param_name, size_t param_value_size,
                                    void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  if (!IsLive(program, TFakeHandleKind::Program)) return CL_INVALID_PROGRAM;
  const TFakeProgram& Program = State.Programs.at(program);
  const std::size_t DeviceCount = State.Contexts.at(Program.Context).Devices.size();
  const std::size_t BinarySize = Program.Built ? State.Program.Binary.size() : 0;
  const std::size_t ReportedSize = State.Program.ReportedBinarySize.value_or(BinarySize);
  switch (param_name) {
    case CL_PROGRAM_SOURCE:
      return AnswerText(Program.Source, param_value_size, param_value, param_value_size_ret);
    case CL_PROGRAM_BINARY_SIZES: {
      const std::vector<std::size_t> Sizes(DeviceCount, ReportedSize);
      return Answer(Sizes.data(), Sizes.size() * sizeof(std::size_t), param_value_size, param_value,
                    param_value_size_ret);
    }
    case CL_PROGRAM_BINARIES: {
      if (param_value_size_ret != nullptr) *param_value_size_ret = DeviceCount * sizeof(unsigned char*);
      if (param_value == nullptr) return CL_SUCCESS;
      if (param_value_size < DeviceCount * sizeof(unsigned char*)) return CL_INVALID_VALUE;
      auto* const* Binaries = static_cast<unsigned char* const*>(param_value);
      for (std::size_t Index = 0; Index < DeviceCount; ++Index)
        if (Binaries[Index] != nullptr && BinarySize > 0)
          std::memcpy(Binaries[Index], State.Program.Binary.data(), std::min(BinarySize, ReportedSize));
      return CL_SUCCESS;
    }
    default:
      return CL_INVALID_VALUE;
  }
}

cl_int CL_API_CALL clReleaseProgram(cl_program program) {
  Record(__func__);
  return Release(program, TFakeHandleKind::Program, CL_INVALID_PROGRAM);
}

cl_kernel CL_API_CALL clCreateKernel(cl_program program, const char* kernel_name, cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(program, TFakeHandleKind::Program)) return Refuse(errcode_ret, CL_INVALID_PROGRAM);
  if (!State.Programs.at(program).Built) return Refuse(errcode_ret, CL_INVALID_PROGRAM_EXECUTABLE);
  if (kernel_name == nullptr) return Refuse(errcode_ret, CL_INVALID_VALUE);
  if (!State.Program.Kernels.contains(kernel_name)) return Refuse(errcode_ret, CL_INVALID_KERNEL_NAME);
  const cl_kernel Kernel = NewHandle<cl_kernel>(TFakeHandleKind::Kernel);
  TFakeKernel& Made = State.Kernels[Kernel];
  Made.Program = program;
  Made.Name = kernel_name;
  SetError(errcode_ret, CL_SUCCESS);
  return Kernel;
}

cl_int CL_API_CALL clSetKernelArg(cl_kernel kernel, cl_uint arg_index, size_t arg_size, const void* arg_value) {
  Record(__func__);
  if (!IsLive(kernel, TFakeHandleKind::Kernel)) return CL_INVALID_KERNEL;
  TFakeKernel& Kernel = State.Kernels.at(kernel);
  if (arg_index >= State.Program.Kernels.at(Kernel.Name)) return CL_INVALID_ARG_INDEX;
  if (const auto Refused = State.Program.RefusedArguments.find(arg_index); Refused != State.Program.RefusedArguments.end())
    return Refused->second;
  if (arg_value == nullptr) return CL_INVALID_ARG_VALUE;
  const auto* Bytes = static_cast<const unsigned char*>(arg_value);
  Kernel.Arguments[arg_index].assign(Bytes, Bytes + arg_size);
  return CL_SUCCESS;
}

cl_int CL_API_CALL clGetKernelInfo(cl_kernel kernel, cl_kernel_info param_name, size_t param_value_size,
                                   void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  if (!IsLive(kernel, TFakeHandleKind::Kernel)) return CL_INVALID_KERNEL;
  const TFakeKernel& Kernel = State.Kernels.at(kernel);
  if (param_name == CL_KERNEL_FUNCTION_NAME)
    return AnswerText(Kernel.Name, param_value_size, param_value, param_value_size_ret);
  if (param_name == CL_KERNEL_NUM_ARGS)
    return AnswerValue(State.Program.Kernels.at(Kernel.Name), param_value_size, param_value, param_value_size_ret);
  return CL_INVALID_VALUE;
}

cl_int CL_API_CALL clReleaseKernel(cl_kernel kernel) {
  Record(__func__);
  return Release(kernel, TFakeHandleKind::Kernel, CL_INVALID_KERNEL);
}

cl_int CL_API_CALL clEnqueueNDRangeKernel(cl_command_queue command_queue, cl_kernel kernel, cl_uint work_dim,
                                          const size_t* global_work_offset, const size_t* global_work_size,
                                          const size_t* local_work_size, cl_uint num_events_in_wait_list,
                                          const cl_event* /*event_wait_list*/, cl_event* event) {
  Record(__func__);
  if (!IsLive(kernel, TFakeHandleKind::Kernel)) return CL_INVALID_KERNEL;
  if (work_dim < 1 || work_dim > 3) return CL_INVALID_WORK_DIMENSION;
  if (global_work_size == nullptr) return CL_INVALID_GLOBAL_WORK_SIZE;
  TFakeCommand Command;
  Command.Function = __func__;
  Command.Object = kernel;
  Command.WorkDim = work_dim;
  Command.GlobalWorkSize.assign(global_work_size, global_work_size + work_dim);
  Command.HasGlobalOffset = global_work_offset != nullptr;
  Command.HasLocalWorkSize = local_work_size != nullptr;
  if (local_work_size != nullptr) Command.LocalWorkSize.assign(local_work_size, local_work_size + work_dim);
  Command.Arguments = State.Kernels.at(kernel).Arguments;
  const bool TimeScripted = !State.Timings.empty();
  // A kernel runs until the queue is finished: its counters are not there before.
  const cl_int Accepted = AcceptCommand(Command, command_queue, num_events_in_wait_list, event, false);
  if (Accepted == CL_SUCCESS && event != nullptr) SetLaunchTime(*FindEvent(*event), kernel, TimeScripted);
  return Accepted;
}

namespace {

cl_int EnqueueBufferTransfer(const char* Function, cl_command_queue Queue, cl_mem Buffer, cl_bool Blocking,
                             size_t Offset, size_t Size, const void* Data, cl_uint WaitListLength, cl_event* Event) {
  if (!IsLive(Buffer, TFakeHandleKind::MemObject)) return CL_INVALID_MEM_OBJECT;
  TFakeCommand Command;
  Command.Function = Function;
  Command.Object = Buffer;
  Command.Blocking = Blocking;
  Command.Offset = Offset;
  Command.Size = Size;
  Command.Data = Data;
  return AcceptCommand(Command, Queue, WaitListLength, Event, Blocking == CL_TRUE);
}

cl_int EnqueueImageTransfer(const char* Function, cl_command_queue Queue, cl_mem Image, cl_bool Blocking,
                            const size_t* Origin, const size_t* Region, size_t RowPitch, size_t SlicePitch,
                            const void* Data, cl_uint WaitListLength, cl_event* Event) {
  if (!IsLive(Image, TFakeHandleKind::MemObject)) return CL_INVALID_MEM_OBJECT;
  if (Origin == nullptr || Region == nullptr) return CL_INVALID_VALUE;
  TFakeCommand Command;
  Command.Function = Function;
  Command.Object = Image;
  Command.Blocking = Blocking;
  std::copy(Origin, Origin + 3, Command.Origin.begin());
  std::copy(Region, Region + 3, Command.Region.begin());
  Command.RowPitch = RowPitch;
  Command.SlicePitch = SlicePitch;
  Command.Data = Data;
  return AcceptCommand(Command, Queue, WaitListLength, Event, Blocking == CL_TRUE);
}

}  // namespace

cl_int CL_API_CALL clEnqueueReadBuffer(cl_command_queue command_queue, cl_mem buffer, cl_bool blocking_read,
                                       size_t offset, size_t size, void* ptr, cl_uint num_events_in_wait_list,
                                       const cl_event* /*event_wait_list*/, cl_event* event) {
  Record(__func__);
  return EnqueueBufferTransfer(__func__, command_queue, buffer, blocking_read, offset, size, ptr,
                               num_events_in_wait_list, event);
}

cl_int CL_API_CALL clEnqueueWriteBuffer(cl_command_queue command_queue, cl_mem buffer, cl_bool blocking_write,
                                        size_t offset, size_t size, const void* ptr, cl_uint num_events_in_wait_list,
                                        const cl_event* /*event_wait_list*/, cl_event* event) {
  Record(__func__);
  return EnqueueBufferTransfer(__func__, command_queue, buffer, blocking_write, offset, size, ptr,
                               num_events_in_wait_list, event);
}

cl_int CL_API_CALL clEnqueueReadImage(cl_command_queue command_queue, cl_mem image, cl_bool blocking_read,
                                      const size_t* origin, const size_t* region, size_t row_pitch, size_t slice_pitch,
                                      void* ptr, cl_uint num_events_in_wait_list, const cl_event* /*event_wait_list*/,
                                      cl_event* event) {
  Record(__func__);
  return EnqueueImageTransfer(__func__, command_queue, image, blocking_read, origin, region, row_pitch, slice_pitch,
                              ptr, num_events_in_wait_list, event);
}

cl_int CL_API_CALL clEnqueueWriteImage(cl_command_queue command_queue, cl_mem image, cl_bool blocking_write,
                                       const size_t* origin, const size_t* region, size_t input_row_pitch,
                                       size_t input_slice_pitch, const void* ptr, cl_uint num_events_in_wait_list,
                                       const cl_event* /*event_wait_list*/, cl_event* event) {
  Record(__func__);
  return EnqueueImageTransfer(__func__, command_queue, image, blocking_write, origin, region, input_row_pitch,
                              input_slice_pitch, ptr, num_events_in_wait_list, event);
}

// A map hands out the caller's own host memory where the buffer was made over it, and memory of
// the fake's own otherwise.
void* CL_API_CALL clEnqueueMapBuffer(cl_command_queue command_queue, cl_mem buffer, cl_bool blocking_map,
                                     cl_map_flags /*map_flags*/, size_t offset, size_t size,
                                     cl_uint num_events_in_wait_list, const cl_event* /*event_wait_list*/,
                                     cl_event* event, cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(buffer, TFakeHandleKind::MemObject)) return Refuse(errcode_ret, CL_INVALID_MEM_OBJECT);
  TFakeMemObject& Memory = State.MemObjects.at(buffer);
  if (Memory.IsImage || size == 0 || offset + size > Memory.Size) return Refuse(errcode_ret, CL_INVALID_VALUE);
  if (State.MapError != CL_SUCCESS) return Refuse(errcode_ret, State.MapError);
  TFakeCommand Command;
  Command.Function = __func__;
  Command.Object = buffer;
  Command.Blocking = blocking_map;
  Command.Offset = offset;
  Command.Size = size;
  if (Memory.HostPtr == nullptr && Memory.Storage.empty()) Memory.Storage.resize(Memory.Size);
  void* Mapped = (Memory.HostPtr != nullptr ? static_cast<unsigned char*>(Memory.HostPtr) : Memory.Storage.data()) + offset;
  Command.Data = Mapped;
  const cl_int Accepted =
      AcceptCommand(Command, command_queue, num_events_in_wait_list, event, blocking_map == CL_TRUE, false);
  if (Accepted != CL_SUCCESS) return Refuse(errcode_ret, Accepted);
  ++Memory.Mappings;
  SetError(errcode_ret, CL_SUCCESS);
  return Mapped;
}

cl_int CL_API_CALL clEnqueueUnmapMemObject(cl_command_queue command_queue, cl_mem memobj, void* mapped_ptr,
                                           cl_uint num_events_in_wait_list, const cl_event* /*event_wait_list*/,
                                           cl_event* event) {
  Record(__func__);
  if (!IsLive(memobj, TFakeHandleKind::MemObject)) return CL_INVALID_MEM_OBJECT;
  TFakeMemObject& Memory = State.MemObjects.at(memobj);
  // Only a pointer that a map of this object handed out, while it is mapped.
  bool Mapped = false;
  for (const TFakeCommand& Map : State.Commands)
    Mapped = Mapped || (Map.Function == "clEnqueueMapBuffer" && Map.Object == memobj && Map.Data == mapped_ptr);
  if (!Mapped || Memory.Mappings == 0) return CL_INVALID_VALUE;
  TFakeCommand Command;
  Command.Function = __func__;
  Command.Object = memobj;
  Command.Data = mapped_ptr;
  const cl_int Accepted = AcceptCommand(Command, command_queue, num_events_in_wait_list, event, false, false);
  if (Accepted == CL_SUCCESS) --Memory.Mappings;
  return Accepted;
}

cl_int CL_API_CALL clFinish(cl_command_queue command_queue) {
  Record(__func__);
  if (!IsLive(command_queue, TFakeHandleKind::CommandQueue)) return CL_INVALID_COMMAND_QUEUE;
  cl_int Failed = State.CommandError;
  for (TFakeEvent& Event : Events)
    if (Event.Queue == command_queue && !Event.Complete) {
      std::this_thread::sleep_for(std::chrono::duration<double>(Event.RunSeconds));
      Event.Complete = true;
      if (Failed == CL_SUCCESS) Failed = Event.Timing.Error;
    }
  return Failed;
}

cl_int CL_API_CALL clGetEventInfo(cl_event event, cl_event_info param_name, size_t param_value_size, void* param_value,
                                  size_t* param_value_size_ret) {
  Record(__func__);
  if (!IsLive(event, TFakeHandleKind::Event)) return CL_INVALID_EVENT;
  if (param_name != CL_EVENT_COMMAND_EXECUTION_STATUS) return CL_INVALID_VALUE;
  const TFakeEvent& Event = *FindEvent(event);
  const cl_int Error = State.CommandError != CL_SUCCESS ? State.CommandError : Event.Timing.Error;
  const cl_int Status = !Event.Complete ? CL_QUEUED : Error != CL_SUCCESS ? Error : CL_COMPLETE;
  return AnswerValue(Status, param_value_size, param_value, param_value_size_ret);
}

cl_int CL_API_CALL clGetEventProfilingInfo(cl_event event, cl_profiling_info param_name, size_t param_value_size,
                                           void* param_value, size_t* param_value_size_ret) {
  Record(__func__);
  if (!IsLive(event, TFakeHandleKind::Event)) return CL_INVALID_EVENT;
  const TFakeEvent& Event = *FindEvent(event);
  const bool Profiled = (State.Queues.at(Event.Queue).Properties & CL_QUEUE_PROFILING_ENABLE) != 0;
  if (!Profiled || !Event.Complete || State.CommandError != CL_SUCCESS || Event.Timing.Error != CL_SUCCESS ||
      param_name == State.FailingProfilingQuery)
    return CL_PROFILING_INFO_NOT_AVAILABLE;
  switch (param_name) {
    case CL_PROFILING_COMMAND_QUEUED:
    case CL_PROFILING_COMMAND_SUBMIT:
    case CL_PROFILING_COMMAND_START:
      return AnswerValue(Event.Timing.Start, param_value_size, param_value, param_value_size_ret);
    case CL_PROFILING_COMMAND_END:
      return AnswerValue(Event.Timing.End, param_value_size, param_value, param_value_size_ret);
    default:
      return CL_INVALID_VALUE;
  }
}

cl_int CL_API_CALL clReleaseEvent(cl_event event) {
  Record(__func__);
  return Release(event, TFakeHandleKind::Event, CL_INVALID_EVENT);
}

#ifndef FAKE_OPENCL_1_0
// New in OpenCL 1.1, left out of the 1.0 build. The layer calls only clCreateSubBuffer (a pass split
// into launches over parts of the block); the others are here so that the 1.1 library exports them.

cl_mem CL_API_CALL clCreateSubBuffer(cl_mem buffer, cl_mem_flags flags, cl_buffer_create_type buffer_create_type,
                                     const void* buffer_create_info, cl_int* errcode_ret) {
  Record(__func__);
  if (!IsLive(buffer, TFakeHandleKind::MemObject)) return Refuse(errcode_ret, CL_INVALID_MEM_OBJECT);
  const TFakeMemObject Parent = State.MemObjects.at(buffer);
  if (Parent.IsImage || Parent.Parent != nullptr) return Refuse(errcode_ret, CL_INVALID_MEM_OBJECT);
  if (buffer_create_type != CL_BUFFER_CREATE_TYPE_REGION || buffer_create_info == nullptr)
    return Refuse(errcode_ret, CL_INVALID_VALUE);
  const auto& Region = *static_cast<const cl_buffer_region*>(buffer_create_info);
  if (Region.size == 0) return Refuse(errcode_ret, CL_INVALID_BUFFER_SIZE);
  if (Region.origin + Region.size > Parent.Size) return Refuse(errcode_ret, CL_INVALID_VALUE);
  // The origin must be aligned as every device of the context asks (MEM_BASE_ADDR_ALIGN, in bits).
  for (const cl_device_id Device : State.Contexts.at(Parent.Context).Devices) {
    const auto& Values = FindDevice(Device)->Values;
    const auto Align = Values.find(CL_DEVICE_MEM_BASE_ADDR_ALIGN);
    if (Align != Values.end() && Align->second >= 8 && Region.origin % (Align->second / 8) != 0)
      return Refuse(errcode_ret, CL_MISALIGNED_SUB_BUFFER_OFFSET);
  }
  const cl_mem Mem = NewHandle<cl_mem>(TFakeHandleKind::MemObject);
  TFakeMemObject Made = Parent;
  Made.Storage.clear();
  Made.Mappings = 0;
  if (flags != 0) Made.Flags = flags;
  Made.Size = Region.size;
  Made.Parent = buffer;
  Made.Origin = Region.origin;
  State.MemObjects[Mem] = Made;
  SetError(errcode_ret, CL_SUCCESS);
  return Mem;
}

cl_event CL_API_CALL clCreateUserEvent(cl_context, cl_int* errcode_ret) {
  Record(__func__);
  return Refuse(errcode_ret, CL_INVALID_OPERATION);
}

cl_int CL_API_CALL clSetUserEventStatus(cl_event, cl_int) {
  Record(__func__);
  return CL_INVALID_OPERATION;
}

cl_int CL_API_CALL clSetEventCallback(cl_event, cl_int, void(CL_CALLBACK*)(cl_event, cl_int, void*), void*) {
  Record(__func__);
  return CL_INVALID_OPERATION;
}

cl_int CL_API_CALL clSetMemObjectDestructorCallback(cl_mem, void(CL_CALLBACK*)(cl_mem, void*), void*) {
  Record(__func__);
  return CL_INVALID_OPERATION;
}

cl_int CL_API_CALL clEnqueueReadBufferRect(cl_command_queue, cl_mem, cl_bool, const size_t*, const size_t*,
                                           const size_t*, size_t, size_t, size_t, size_t, void*, cl_uint,
                                           const cl_event*, cl_event*) {
  Record(__func__);
  return CL_INVALID_OPERATION;
}

cl_int CL_API_CALL clEnqueueWriteBufferRect(cl_command_queue, cl_mem, cl_bool, const size_t*, const size_t*,
                                            const size_t*, size_t, size_t, size_t, size_t, const void*, cl_uint,
                                            const cl_event*, cl_event*) {
  Record(__func__);
  return CL_INVALID_OPERATION;
}

cl_int CL_API_CALL clEnqueueCopyBufferRect(cl_command_queue, cl_mem, cl_mem, const size_t*, const size_t*,
                                           const size_t*, size_t, size_t, size_t, size_t, cl_uint, const cl_event*,
                                           cl_event*) {
  Record(__func__);
  return CL_INVALID_OPERATION;
}
#endif
