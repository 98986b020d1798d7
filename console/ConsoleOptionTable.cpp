#include "ConsoleOptionTable.h"

#include <climits>

#include "SettingsLimits.h"

namespace {

std::string Number(std::int32_t Value) { return std::to_string(Value); }

}  // namespace

std::vector<TConsoleOption> ConsoleOptionTable() {
  using O = TConsoleOptions;
  using V = TOptionValue;
  using R = TOptionRole;
  const std::string Work = Number(GPUDefaultWorkItems);
  return {
      {"--console", "", "", V::None, R::Mode, 0, 0, &O::Console, true,
       "run the tests in this terminal and print the log, without the window", ""},
      {"--test", "", "NAME", V::TestNames, R::RunSetting, 0, 0, {}, true,
       "a test to run; repeat it or separate names with commas. Tests always\n"
       "run in the window's order. 'all' (the default) runs the tests of a\n"
       "full run, as the window's \"Run benchmark\" does:",
       "A test to run; repeat the option or separate names with commas. \\fBall\\fR (the default) runs the "
       "five tests of a full run, which the window's buttons run too; the tests after them run only when named. "
       "Tests always run in the order of the list."},
      {"--size", "", "MB", V::Number, R::RunSetting, BlockSizeLimits.Minimum, BlockSizeLimits.Maximum, &O::SizeMB, true,
       "block size in megabytes of 2^20 bytes, " + Number(BlockSizeLimits.Minimum) + " to " +
           Number(BlockSizeLimits.Maximum) + " (default " + Number(BlockSizeLimits.Default) + ")",
       ""},
      {"--passes", "", "N", V::Number, R::RunSetting, PassesLimits.Minimum, PassesLimits.Maximum, &O::Passes, true,
       "timed passes over the block, " + Number(PassesLimits.Minimum) + " to " + Number(PassesLimits.Maximum) +
           " (default " + Number(PassesLimits.Default) + ")",
       ""},
      {"--platform", "", "I", V::Number, R::RunSetting, 0, INT32_MAX, &O::Platform, true,
       "the OpenCL platform, by its index in --list-devices (default 0)", ""},
      {"--device", "", "J", V::Number, R::RunSetting, 0, INT32_MAX, &O::Device, true,
       "the OpenCL device of that platform, by its index (default 0)", ""},
      {"--cores", "", "N", V::Number, R::RunSetting, 1, INT32_MAX, &O::Cores, true,
       "work items of one OpenCL launch. Every work item reads the whole\n"
       "block once per pass, so a pass moves N blocks. Default: " + Work + " (the\n"
       "window's default, a GeForce RTX 3080) on a GPU; on a CPU or any other\n"
       "device its number of compute units, since " + Work + " work items each\n"
       "reading the whole block take many minutes per pass on a processor",
       "Work items of one OpenCL launch; every work item reads the whole block once per pass. Default: " + Work +
           " on a GPU, the device's number of compute units on any other device."},
      {"--threads", "", "N", V::Number, R::RunSetting, 1, MaximumThreads, &O::Threads, true,
       "threads of the all-core tests, each pinned to its own processor, 1 to\n" + Number(MaximumThreads) +
           " (default: one per processor this program may use)",
       ""},
      {"--json", "", "FILE", V::File, R::Output, 0, 0, &O::JsonFile, true,
       "write the record of the run as JSON: Velmora's version, the machine, the\n"
       "settings, and for every test its status, every pass (nanoseconds, bytes,\n"
       "bytes per second), the average, the peak, and the median, range and\n"
       "coefficient of variation of the passes after the first. Numbers are in\n"
       "raw units with a decimal point, whatever the locale. '-' writes to\n"
       "standard output; the log then goes to standard error",
       "Write the record of the run as JSON: Velmora's version, the machine, the settings, and for every test "
       "its status, every pass (nanoseconds, bytes, bytes per second), the average, the peak, and the median, "
       "range and coefficient of variation of the passes after the first. Numbers are in raw units with a decimal "
       "point, whatever the locale. \\fB\\-\\fR writes to standard output; the log then goes to standard error. "
       "The file follows the JSON Schema \\fI/usr/share/doc/velmora/velmora-result.schema.json\\fR."},
      {"--csv", "", "FILE", V::File, R::Output, 0, 0, &O::CsvFile, true,
       "the same record as CSV, one row per fact and per pass ('-' as for --json)", ""},
      {"--chart", "", "FILE", V::File, R::Output, 0, 0, &O::ChartFile, true,
       "draw the rate of every pass of every test, the first pass marked and the\n"
       "median of the passes after the first drawn across, as the window's View >\n"
       "Pass chart does, and write it as SVG or PNG by the name's extension (.svg,\n"
       ".png)",
       "Draw the rate of every pass of every test (one line per test, the first pass marked, the median of the "
       "passes after the first drawn across) and write it as SVG or PNG by the name's extension, \\fI.svg\\fR or "
       "\\fI.png\\fR. A file that cannot be written is one line on standard error and exit status 1."},
      {"--compare", "", "BASE [NEW]", V::ResultsFiles, R::Comparison, 0, 0, &O::Compare, true,
       "compare two files written by --json: for every test in both, the peak\n"
       "and the median of the passes after the first, side by side with the\n"
       "change in percent, marked within noise when it is smaller than the\n"
       "spread of the two runs. Without NEW, first run with BASE's settings\n"
       "(tests, size, passes, OpenCL choices, threads) and compare that run\n"
       "with BASE",
       "Compare two files written by \\fB\\-\\-json\\fR: for every test in both, the peak and the median of the "
       "passes after the first side by side with the change in percent, marked within noise when it is smaller "
       "than the two runs' spreads added. Without \\fINEW\\fR, first run with BASE's settings and compare that run "
       "with BASE."},
      {"--list-devices", "", "", V::None, R::Mode, 0, 0, &O::ListDevices, true,
       "print every Vulkan adapter with its free memory and what the\n"
       "processor can reach of it, then every OpenCL platform and device\n"
       "with its indices, type, compute units, global memory and clock,\n"
       "and run nothing",
       "Print every Vulkan adapter with its free memory, what the processor can reach of it (resizable BAR, PCIe "
       "link), then every OpenCL platform and device with its indices, and run nothing."},
      {"--screenshot", "", "FILE", V::File, R::Mode, 0, 0, {}, false,
       "open the window, save a picture of it as PNG and quit", ""},
      {"--version", "", "", V::None, R::Mode, 0, 0, &O::Version, true, "print Velmora's version and quit", ""},
      {"--help", "-h", "", V::None, R::Mode, 0, 0, &O::Help, true, "show this text",
       "Show the options and the names of the tests."},
  };
}

const TConsoleOption* FindConsoleOption(const std::vector<TConsoleOption>& Table, const std::string& Name) {
  for (const TConsoleOption& Option : Table)
    if (Option.Name == Name || (!Option.ShortName.empty() && Option.ShortName == Name)) return &Option;
  return nullptr;
}

std::string OptionLabel(const TConsoleOption& Option) {
  std::string Label = Option.ShortName.empty() ? Option.Name : Option.ShortName + ", " + Option.Name;
  if (!Option.ValueName.empty()) Label += " " + Option.ValueName;
  return Label;
}

std::string MissingValueName(const TConsoleOption& Option) {
  switch (Option.Value) {
    case TOptionValue::TestNames:
      return "a test name";
    case TOptionValue::File:
      return "a file name";
    case TOptionValue::ResultsFiles:
      return "a results file";
    default:
      return "a value";
  }
}
