#pragma once
// The OpenCL read and write test: the kernel "speedreadkernel" from SpeedReadWrite.cl beside the
// program reads one device buffer and writes another, once per pass, over the run's number of work
// items, timed by the device's own profiling counters.

#include <optional>
#include <string>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"

constexpr const char* KernelFileName = "SpeedReadWrite.cl";

// Runs the test with the kernel file from the program's own folder. Never lets an error escape.
// Stopped by the user (the settings' StopToken), it ends after the current launch: its objects are
// released, one line says the user stopped it, and there is no result.
void BenchmarkOpenCLGFXRAMReadWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);

// The same with the kernel's folder given (with its trailing "/"), for the tests; without one, the
// program's own folder.
void RunOpenCLTest(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                   const std::optional<std::string>& KernelFolder);
