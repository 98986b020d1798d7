// The OpenCL read and write test at any block size, for the comparison scripts: the window and
// the console start at 256 MB, while a CPU device is best compared with smaller blocks; and with
// the number of launches per pass forced, to compare a split pass with one launch.
//
// Usage: velmora-opencl-bench SIZE_MB WORK_ITEMS PASSES [PLATFORM DEVICE [LAUNCHES]]

#include <cstdlib>
#include <iostream>
#include <string>

#include "CL.h"
#include "ConsoleFrontEnd.h"
#include "FormatSettings.h"
#include "OpenCLBenchmark.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6 && argc != 7) {
    std::cerr << "Usage: " << argv[0] << " SIZE_MB WORK_ITEMS PASSES [PLATFORM DEVICE [LAUNCHES]]\n";
    return 2;
  }
  InitFormatSettingsFromLocale();
  TBenchmarkSettings Settings;
  Settings.MemorySize = MegabytesToBytes(std::atoll(argv[1]));
  Settings.OpenCLComputeCoreCount = std::atoi(argv[2]);
  Settings.Passes = std::atoi(argv[3]);
  Settings.OpenCLPlatform = argc >= 6 ? std::atoi(argv[4]) : 0;
  Settings.OpenCLDevice = argc >= 6 ? std::atoi(argv[5]) : 0;
  TOpenCLTestOptions Options;
  if (argc == 7) Options.LaunchesPerPass = static_cast<std::uint32_t>(std::atoi(argv[6]));
  LoadOpenCL(DefaultOpenCLLibraryName);
  TConsoleReporter Reporter(std::cout);
  RunOpenCLTest(Settings, Reporter, Options);
  // A test that ended in an exception sent no result: the comparison scripts must not read it as a figure.
  return Reporter.Result(bmOpenCLRAMReadWrite) == "-" ? 1 : 0;
}
