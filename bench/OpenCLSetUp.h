#pragma once
// What the OpenCL test makes before its passes, each piece checked as it is made: the platform
// tree and the device, the queue, the host block, the two buffers and their parts, the program and
// the kernel with its arguments. Nothing is launched over an object that was not made.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "DCLDevice.h"
#include "DCLObjects.h"
#include "DCLPlatform.h"
#include "OpenCLBenchmark.h"
#include "SystemMemory.h"

// Raised for an OpenCL object or call that the runtime refused: "OpenCL refused What: CODE".
[[noreturn]] void Refused(const std::string& What, std::int32_t Code);
// Refused unless the runtime answered success and made the object.
void CheckMade(std::int32_t Status, bool Made, const std::string& What);

// Raises unless an OpenCL library is loaded.
void CheckOpenCLLoaded();

// The device the settings choose, and its platform, both owned by the platform tree.
struct TChosenOpenCLDevice {
  const TDCLPlatform* Platform;
  const TDCLDevice* Device;
};
// Raises, saying what there is, when the settings name no platform or device of the tree.
TChosenOpenCLDevice ChooseOpenCLDevice(const TDCLPlatforms& Platforms, const TBenchmarkSettings& BenchmarkSettings);

// The first objects of every OpenCL test, in the order of making: the platform tree, the device the
// settings choose, and its command queue. A test's objects derive from it, so these go last.
struct TOpenCLDeviceQueue {
  std::unique_ptr<const TDCLPlatforms> Platforms;
  const TDCLDevice* Device = nullptr;  // owned by Platforms
  std::unique_ptr<TDCLCommandQueue> Queue;
};
// Lists the platforms, takes the settings' device, names it to the reporter at once (so that a test
// that fails in its set-up still says where) with WorkItems and one launch a pass, logs
// "OpenCL: Creating command queue..." and makes the queue. Returns the record it reported.
TOpenCLRecord OpenChosenDevice(TOpenCLDeviceQueue& Objects, const TBenchmarkSettings& BenchmarkSettings,
                               std::uint32_t WorkItems, TBenchmarkReporter& Reporter);

// Where a test keeps its block: buffers of the block's size on the device, and the host block in
// system memory, where a device that works in system memory (a CPU device, or one with host
// unified memory) keeps the buffer named here as well.
struct TOpenCLBlockUse {
  std::uint32_t DeviceBuffers;
  const char* SystemMemoryBuffer;  // "destination buffer"
};
// Raises, with both sizes, for a block larger than the device's largest buffer, buffers beyond its
// global memory, or more system memory than is available.
void CheckBlockFits(const TDCLDevice& Device, std::uint64_t MemorySize, const TOpenCLBlockUse& Use,
                    const TAvailableMemoryProbe& AvailableMemory);

// One launch's share of a pass: a part of each buffer (sub-buffers, or the whole buffers when a
// pass is one launch) and its word count.
struct TLaunchBuffers {
  std::unique_ptr<TDCLBuffer> Source;       // null: the whole source buffer
  std::unique_ptr<TDCLBuffer> Destination;  // null: the whole destination buffer
  std::uint64_t WordCount = 0;
};

// Everything the test makes, declared in the order of making, so that it goes in reverse however
// the test ends: kernel, program, the parts, buffers, queue, host block, then the platform tree.
struct TOpenCLWorkingObjects : TOpenCLDeviceQueue {
  std::unique_ptr<TSystemMemoryBlock> HostBlock;
  std::unique_ptr<TDCLBuffer> Source;
  std::unique_ptr<TDCLBuffer> Destination;
  std::vector<TLaunchBuffers> Launches;  // one per launch of a pass, in order
  std::unique_ptr<TDCLProgram> Program;
  std::unique_ptr<TDCLKernel> Kernel;
  std::optional<std::uint64_t> WorkGroupSize;
};

// Makes the working objects, checks each, and sets the kernel's arguments for the first launch.
// Logs the set-up lines as it goes. Null, after the one line that says so, when the kernel file is
// not there. Anything the runtime refused, a block the device or the machine cannot hold, a program
// that did not build, a kernel that is not there or takes other arguments raises, with the reason.
// What was made is released however it ends, in reverse order of making.
std::unique_ptr<TOpenCLWorkingObjects> PrepareOpenCLTest(const TBenchmarkSettings& BenchmarkSettings,
                                                         TBenchmarkReporter& Reporter,
                                                         const TOpenCLTestOptions& Options);

// Sets the kernel's three arguments for one launch; raises when the runtime refuses one.
void SetLaunchArguments(const TOpenCLWorkingObjects& Objects, const TLaunchBuffers& Launch);
