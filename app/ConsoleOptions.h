#pragma once
// The command line of the console front-end: which tests, and the settings the window offers.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BenchmarkModel.h"

// The window's limits and defaults.
constexpr std::int32_t MinimumSizeMB = 256;
constexpr std::int32_t MaximumSizeMB = 10000;
constexpr std::int32_t DefaultSizeMB = 512;
constexpr std::int32_t MinimumPasses = 2;
constexpr std::int32_t MaximumPasses = 10000;
constexpr std::int32_t DefaultPasses = 5;

struct TConsoleOptions {
  bool Console = false;  // --console was given
  bool Help = false;
  std::vector<TBenchmarkType> Tests;  // in the order of a full run, each once
  std::int32_t SizeMB = DefaultSizeMB;
  std::int32_t Passes = DefaultPasses;
  // The OpenCL test's choices; empty: the first platform, its first device, and the device's
  // default work-item count (see OpenCLDefaultWorkItems).
  std::optional<std::int32_t> Platform;
  std::optional<std::int32_t> Device;
  std::optional<std::int32_t> Cores;
  bool ListDevices = false;  // print every OpenCL platform and device instead of running tests
};

struct TConsoleParse {
  std::optional<TConsoleOptions> Options;
  std::string Error;  // one line; set when Options is empty
};

// The test of a name on the command line ("sys-write").
std::optional<TBenchmarkType> ConsoleTestByName(const std::string& Name);

TConsoleParse ParseConsoleArguments(const std::vector<std::string>& Arguments);

// The text of --help.
std::string ConsoleUsage(const std::string& ProgramName);
