#pragma once
// The host-device transfer tests: the chosen OpenCL device copies one block per pass between host
// memory and a buffer of its own with clEnqueueWriteBuffer (host to device) or clEnqueueReadBuffer
// (device to host), each pass timed by the device's own profiling counters. The host memory is
// pageable (an ordinary block of the process, which a driver copies through memory of its own) or
// pinned (a buffer the runtime allocates in host memory with CL_MEM_ALLOC_HOST_PTR, mapped), so
// there are four tests. Where the device's PCI Express link is known for sure, the peak is also
// given as a share of the link's rate.

#include <string>

#include "AvailableMemory.h"
#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"

enum class TTransferDirection { HostToDevice, DeviceToHost };
enum class THostMemory { Pageable, Pinned };

// One transfer test: what it copies and the captions of its lines.
struct TOpenCLTransferTest {
  TBenchmarkType Type;
  TTransferDirection Direction;
  THostMemory HostMemory;
  const char* StartLine;       // "Running OpenCL host to device test from pinned memory..."
  const char* PassCaption;     // "Host to device from pinned memory: "
  const char* AverageCaption;  // "Average host to device from pinned memory: "
  const char* PeakCaption;     // "Peak host to device from pinned memory: "
};

extern const TOpenCLTransferTest HostToDevicePageableTest;
extern const TOpenCLTransferTest HostToDevicePinnedTest;
extern const TOpenCLTransferTest DeviceToHostPageableTest;
extern const TOpenCLTransferTest DeviceToHostPinnedTest;

// What the tests may set; the program runs with the defaults.
struct TOpenCLTransferOptions {
  // The system memory still to be had, for the host block and for a buffer a device keeps there.
  TAvailableMemoryProbe AvailableMemory = ReadAvailableSystemMemory;
  // Where the kernel describes the PCI devices and their links.
  std::string SysfsRoot = "/sys";
};

// Runs one test on the settings' OpenCL platform and device. Never lets an error escape: a block
// the device or the machine cannot hold, an object the runtime refused or a copy that failed ends
// it in one "Exception: " line after its clean-up. Stopped by the user (the settings' StopToken),
// it ends after the current pass: its objects are released, one line says the user stopped it, and
// there is no result.
void RunOpenCLTransferTest(const TOpenCLTransferTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                           TBenchmarkReporter& Reporter, const TOpenCLTransferOptions& Options);

void BenchmarkOpenCLHostToDevicePageable(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);
void BenchmarkOpenCLHostToDevicePinned(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);
void BenchmarkOpenCLDeviceToHostPageable(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);
void BenchmarkOpenCLDeviceToHostPinned(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);
