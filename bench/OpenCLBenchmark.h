#pragma once
// The OpenCL read and write test: the kernel "speedreadkernel" from SpeedReadWrite.cl beside the
// program reads one device buffer and writes another, once per pass, over the run's number of work
// items, timed by the device's own profiling counters.

#include <cstdint>
#include <optional>
#include <string>

#include "AvailableMemory.h"
#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"

constexpr const char* KernelFileName = "SpeedReadWrite.cl";

// Runs the test with the kernel file from the program's own folder. Never lets an error escape.
// Stopped by the user (the settings' StopToken), it ends after the current launch: its objects are
// released, one line says the user stopped it, and there is no result.
void BenchmarkOpenCLGFXRAMReadWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);

// What the tests and the comparison scripts may set; the program runs with the defaults.
struct TOpenCLTestOptions {
  // The kernel's folder, with its trailing "/"; empty: the program's own folder.
  std::optional<std::string> KernelFolder;
  // Launches per pass, whatever the device; empty: as PlanLaunchParts chooses.
  std::optional<std::uint32_t> LaunchesPerPass;
  // The system memory still to be had, for the host block and for buffers a device keeps there.
  TAvailableMemoryProbe AvailableMemory = ReadAvailableSystemMemory;
};

// The test with its options. Never lets an error escape.
void RunOpenCLTest(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                   const TOpenCLTestOptions& Options);
