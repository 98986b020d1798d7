#pragma once
// The console's OpenCL choices: what --list-devices prints, and the platform, device and work-item
// count a run uses when the command line names none.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "ConsoleOptions.h"
#include "SettingsLimits.h"

struct TOpenCLChoice {
  std::int32_t Platform = -1;  // -1: none there
  std::int32_t Device = -1;
  std::int32_t Cores = GPUDefaultWorkItems;
};

// The indices and work items of the command line, and for those it leaves out: platform 0 and
// device 0 where they exist, and the device's default work items (DefaultWorkItems). Needs the OpenCL library loaded for the defaults; without it, or when the platforms
// cannot be listed, the indices left out are -1. Never raises.
TOpenCLChoice ChooseOpenCL(const TConsoleOptions& Options);

// Where an OpenCL test is to run and the command line names a platform or device: why the index
// names no entry, listing the platforms to find out, before any test runs. Empty when it does, when
// the options name none, and when the platforms cannot be listed (the test then says why).
std::optional<std::string> OpenCLChoiceProblem(const TConsoleOptions& Options);

// Every platform and device with its indices, name, type, compute units, global memory and clock.
// False, after one line that says why, when the platforms cannot be listed.
bool ListOpenCLDevices(std::ostream& Out);
