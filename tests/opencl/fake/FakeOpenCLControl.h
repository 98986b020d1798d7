#pragma once
// The fake OpenCL library that the tests build and load by file name with LoadOpenCL: what a test
// scripts (platforms, devices, programs, timings, refusals) and what the library records (every
// call, every handle it made and how often it was released, the arguments of each command).
//
// The state lives in the loaded module; a test reaches it through the exported FakeOpenCLState,
// found with dlsym on that same module (see FakeOpenCLState below). The library is built twice: as
// an OpenCL 1.1 library and as an OpenCL 1.0 one that lacks the eight functions new in 1.1.

#include <CL/cl.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What the fake answers clGetPlatformIDs with when it has no platform, as the ICD loader does.
constexpr cl_int FakePlatformNotFound = -1001;  // CL_PLATFORM_NOT_FOUND_KHR

struct TFakeDevice {
  // Texts are given without their NUL; the fake returns each with one, as runtimes do.
  std::string Name = "Fake Device";
  std::string Vendor = "Fake Vendor";
  std::string Version = "OpenCL 1.1 Fake";
  std::string Profile = "FULL_PROFILE";
  std::string Extensions;
  std::string OpenCLCVersion = "OpenCL C 1.1";
  std::string DriverVersion = "1.0";
  cl_device_type Type = CL_DEVICE_TYPE_GPU;
  // Every other parameter: numbers, flags, bit fields and enumerations. Unscripted ones answer 0.
  // The fake writes each with its width in the OpenCL API and refuses a smaller buffer.
  std::map<cl_device_info, cl_ulong> Values;
  std::set<cl_device_info> FailingQueries;  // answered with CL_INVALID_VALUE, nothing written
  // Parameters answered with these bytes as they are, whatever their width: the structures and
  // vendor queries that say where a device sits on the PCI bus (cl_khr_pci_bus_info's 0x410F,
  // NVIDIA's 0x4008 and 0x4009, AMD's topology 0x4037).
  std::map<cl_device_info, std::vector<unsigned char>> Answers;
  cl_int ContextError = CL_SUCCESS;         // clCreateContext with this device refuses with this code
  // The memory bandwidth of the card it stands for, in bytes per second (a GeForce RTX 3080: 760e9).
  // A kernel launch then takes as long as every work item reading the buffer of the kernel's first
  // argument once: clFinish waits that long, and the launch's event reports that time unless
  // Timings scripts one. 0: launches take no time.
  double ReadBandwidth = 0;
};

struct TFakePlatform {
  std::string Profile = "FULL_PROFILE";
  std::string Version = "OpenCL 1.1 Fake";
  std::string Name = "Fake Platform";
  std::string Vendor = "Fake Vendor";
  std::string Extensions;
  std::vector<TFakeDevice> Devices;
  // clGetDeviceIDs fails with this code, still writing the true device count.
  cl_int DeviceIDsError = CL_SUCCESS;
};

// How every program made from source behaves.
struct TFakeProgramScript {
  bool BuildFails = false;
  std::string BuildLog = "build ok";
  std::vector<unsigned char> Binary = {0x7F, 'F', 'A', 'K', 'E'};
  std::map<std::string, cl_uint> Kernels = {{"speedreadkernel", 3}};  // name: number of arguments
  std::map<cl_uint, cl_int> RefusedArguments;  // argument index: the code clSetKernelArg answers
  // The binary size that CL_PROGRAM_BINARY_SIZES reports, when it is not the binary's own.
  std::optional<std::size_t> ReportedBinarySize;
};

// The device counters of one timed command (a kernel launch or a buffer or image transfer), handed
// out in order, one per enqueue; maps and unmaps take none.
struct TFakeTiming {
  cl_ulong Start = 0;
  cl_ulong End = 0;
  // The command fails on the device with this code, as CommandError makes every command fail.
  cl_int Error = CL_SUCCESS;
};

enum class TFakeHandleKind { Context, CommandQueue, MemObject, Program, Kernel, Event };

struct TFakeHandle {
  TFakeHandleKind Kind;
  const void* Value;
  int Releases = 0;
  std::uint64_t CreatedAt = 0;   // position in the sequence of creations and releases
  std::uint64_t ReleasedAt = 0;  // of the first release; 0 while not released
};

struct TFakeContext {
  std::vector<cl_device_id> Devices;
  bool HasProperties = false;
};

struct TFakeQueue {
  cl_context Context = nullptr;
  cl_device_id Device = nullptr;
  cl_command_queue_properties Properties = 0;
};

struct TFakeMemObject {
  cl_context Context = nullptr;
  cl_mem_flags Flags = 0;
  std::size_t Size = 0;
  void* HostPtr = nullptr;
  bool IsImage = false;
  cl_image_format Format{};
  std::size_t Width = 0;
  std::size_t Height = 0;
  std::size_t RowPitch = 0;
  cl_mem Parent = nullptr;  // of a sub-buffer, which starts at Origin of it
  std::size_t Origin = 0;
  // What a map hands out for a buffer without host memory of its caller's (CL_MEM_ALLOC_HOST_PTR
  // or none): memory of the fake's own, made at the first map.
  std::vector<unsigned char> Storage{};
  int Mappings = 0;  // maps not yet undone
};

struct TFakeProgram {
  cl_context Context = nullptr;
  std::string Source;                  // the strings received, joined
  std::optional<std::string> Options;  // empty when no options were passed
  std::vector<cl_device_id> BuildDevices;
  bool Built = false;
};

struct TFakeKernel {
  cl_program Program = nullptr;
  std::string Name;
  std::map<cl_uint, std::vector<unsigned char>> Arguments;  // index: the bytes set
};

// One command that was enqueued.
struct TFakeCommand {
  std::string Function;
  cl_command_queue Queue = nullptr;
  const void* Object = nullptr;  // the kernel or the memory object
  cl_uint WorkDim = 0;
  std::vector<std::size_t> GlobalWorkSize;
  bool HasGlobalOffset = false;
  bool HasLocalWorkSize = false;
  std::vector<std::size_t> LocalWorkSize;
  std::map<cl_uint, std::vector<unsigned char>> Arguments;  // of the kernel, as they were at the launch
  cl_bool Blocking = CL_FALSE;
  std::size_t Offset = 0;
  std::size_t Size = 0;
  std::array<std::size_t, 3> Origin{};
  std::array<std::size_t, 3> Region{};
  std::size_t RowPitch = 0;
  std::size_t SlicePitch = 0;
  const void* Data = nullptr;
  cl_uint WaitListLength = 0;
  cl_event Event = nullptr;
};

struct TFakeOpenCL {
  // Script.
  std::vector<TFakePlatform> Platforms;
  TFakeProgramScript Program;
  std::vector<TFakeTiming> Timings;             // used up in order; later commands get 0 and 0
  cl_int EnqueueError = CL_SUCCESS;             // every enqueue is refused with this code and gives no event
  // Every accepted command fails on the device with this code, as a kernel that a display driver's
  // watchdog stops: clFinish answers it, the event's status is it, and there are no counters.
  cl_int CommandError = CL_SUCCESS;
  cl_int BufferError = CL_SUCCESS;              // every clCreateBuffer is refused with this code
  cl_int MapError = CL_SUCCESS;                 // every clEnqueueMapBuffer is refused with this code
  cl_profiling_info FailingProfilingQuery = 0;  // answered with CL_PROFILING_INFO_NOT_AVAILABLE

  // Records.
  std::vector<std::string> Calls;  // every OpenCL function called, in order
  std::vector<TFakeHandle> Handles;
  int UnknownReleases = 0;    // releases of handles never made (null included)
  int UnknownHandleUses = 0;  // other calls on handles never made or already released
  int ReleasesWhileMapped = 0;  // memory objects released with a map not undone
  std::map<cl_context, TFakeContext> Contexts;
  std::map<cl_command_queue, TFakeQueue> Queues;
  std::map<cl_mem, TFakeMemObject> MemObjects;
  std::map<cl_program, TFakeProgram> Programs;
  std::map<cl_kernel, TFakeKernel> Kernels;
  std::vector<TFakeCommand> Commands;

  const TFakeHandle* FindHandle(const void* Value) const {
    for (const TFakeHandle& Handle : Handles)
      if (Handle.Value == Value) return &Handle;
    return nullptr;
  }
  int CallCount(const std::string& Function) const {
    int Count = 0;
    for (const std::string& Call : Calls) Count += Call == Function;
    return Count;
  }
};

// Exported by the fake library. The state starts empty (no platform) each time the module loads.
extern "C" TFakeOpenCL* FakeOpenCLState();
using TFakeOpenCLStateFunction = TFakeOpenCL* (*)();
