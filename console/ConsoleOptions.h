#pragma once
// The command line of the console front-end: which tests, the settings the window offers, where
// the results go, and the comparison of two runs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BenchmarkModel.h"
#include "SettingsLimits.h"

struct TConsoleOptions {
  bool Console = false;  // --console was given
  bool Help = false;
  bool Version = false;
  std::vector<TBenchmarkType> Tests;  // in the order of a full run, each once
  std::int32_t SizeMB = BlockSizeLimits.Default;
  std::int32_t Passes = PassesLimits.Default;
  // The OpenCL test's choices; empty: the first platform, its first device, and the device's
  // default work-item count (see OpenCLDefaultWorkItems).
  std::optional<std::int32_t> Platform;
  std::optional<std::int32_t> Device;
  std::optional<std::int32_t> Cores;
  // The all-core tests' threads; empty: one per processor the program may use.
  std::optional<std::int32_t> Threads;
  bool ListDevices = false;  // print every OpenCL platform and device instead of running tests
  // Where the record of the run goes, as JSON and as CSV: a file name, "-" for standard output,
  // empty for nowhere.
  std::string JsonFile;
  std::string CsvFile;
  // Where the chart of the run's passes goes, SVG or PNG by the name's extension; empty for nowhere.
  std::string ChartFile;
  // --compare: BASE and NEW results files, or BASE alone (run with BASE's settings, then compare).
  std::vector<std::string> Compare;
};

struct TConsoleParse {
  std::optional<TConsoleOptions> Options;
  std::string Error;  // one line; set when Options is empty
};

TConsoleParse ParseConsoleArguments(const std::vector<std::string>& Arguments);

// The text of --help.
std::string ConsoleUsage(const std::string& ProgramName);
