#include "ConsoleOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <sstream>

#include "BenchmarkTests.h"

namespace {

std::optional<std::int32_t> ParseWholeNumber(const std::string& Text) {
  std::int32_t Value = 0;
  const char* End = Text.data() + Text.size();
  const auto [Last, Error] = std::from_chars(Text.data(), End, Value);
  if (Text.empty() || Error != std::errc() || Last != End) return std::nullopt;
  return Value;
}

TConsoleParse Failure(std::string Error) { return {std::nullopt, std::move(Error)}; }

}  // namespace

TConsoleParse ParseConsoleArguments(const std::vector<std::string>& Arguments) {
  TConsoleOptions Options;
  std::vector<TBenchmarkType> Chosen;
  bool All = false;
  for (std::size_t Index = 0; Index < Arguments.size(); ++Index) {
    std::string Option = Arguments[Index];
    std::optional<std::string> Value;
    if (const std::size_t Equals = Option.find('='); Option.rfind("--", 0) == 0 && Equals != std::string::npos) {
      Value = Option.substr(Equals + 1);
      Option.resize(Equals);
    }
    auto TakeValue = [&]() -> std::optional<std::string> {
      if (Value) return Value;
      if (Index + 1 < Arguments.size()) return Arguments[++Index];
      return std::nullopt;
    };
    auto TakeNumber = [&](std::int32_t Minimum, std::int32_t Maximum, auto& Target) -> std::string {
      const std::optional<std::string> Text = TakeValue();
      if (!Text) return Option + " needs a value";
      const std::optional<std::int32_t> Number = ParseWholeNumber(*Text);
      if (!Number || *Number < Minimum || *Number > Maximum)
        return Option + " must be a whole number from " + std::to_string(Minimum) + " to " + std::to_string(Maximum) +
               ", not '" + *Text + "'";
      Target = *Number;
      return "";
    };

    if (Option == "--console" && !Value) {
      Options.Console = true;
    } else if ((Option == "--help" || Option == "-h") && !Value) {
      Options.Help = true;
    } else if (Option == "--size") {
      if (std::string Error = TakeNumber(BlockSizeLimits.Minimum, BlockSizeLimits.Maximum, Options.SizeMB); !Error.empty())
        return Failure(Error);
    } else if (Option == "--passes") {
      if (std::string Error = TakeNumber(PassesLimits.Minimum, PassesLimits.Maximum, Options.Passes); !Error.empty())
        return Failure(Error);
    } else if (Option == "--platform") {
      if (std::string Error = TakeNumber(0, INT32_MAX, Options.Platform); !Error.empty()) return Failure(Error);
    } else if (Option == "--device") {
      if (std::string Error = TakeNumber(0, INT32_MAX, Options.Device); !Error.empty()) return Failure(Error);
    } else if (Option == "--cores") {
      if (std::string Error = TakeNumber(1, INT32_MAX, Options.Cores); !Error.empty()) return Failure(Error);
    } else if (Option == "--list-devices" && !Value) {
      Options.ListDevices = true;
    } else if (Option == "--test") {
      const std::optional<std::string> Names = TakeValue();
      if (!Names) return Failure("--test needs a test name");
      std::istringstream List(*Names);
      std::string Name;
      bool Any = false;
      while (std::getline(List, Name, ',')) {
        Any = true;
        if (Name == "all") {
          All = true;
        } else if (const TBenchmarkTest* Test = FindBenchmarkTest(Name)) {
          Chosen.push_back(Test->Type);
        } else {
          return Failure("unknown test '" + Name + "'");
        }
      }
      if (!Any) return Failure("--test needs a test name");
    } else {
      return Failure("unknown argument '" + Arguments[Index] + "'");
    }
  }
  // Whatever order they were named in, the tests run in the order of a full run.
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (All || Chosen.empty() || std::find(Chosen.begin(), Chosen.end(), Test.Type) != Chosen.end())
      Options.Tests.push_back(Test.Type);
  return {Options, ""};
}

std::string ConsoleUsage(const std::string& ProgramName) {
  std::ostringstream Usage;
  Usage << "Usage: " << ProgramName << " --console [--test NAME[,NAME...]] [--size MB] [--passes N]\n"
        << "               [--platform I] [--device J] [--cores N]\n"
        << "       " << ProgramName << " --console --list-devices\n"
        << "       " << ProgramName << " --help\n"
        << "       " << ProgramName << "            (no arguments: the window, or the console where there is no display)\n"
        << "\n"
        << "Velmora measures how fast this machine moves data to and from memory. Every test walks\n"
        << "one block once per pass, times each pass and reports each pass, the average and the peak.\n"
        << "\n"
        << "Options:\n"
        << "  --console        run the tests in this terminal and print the log, without the window\n"
        << "  --test NAME      a test to run; repeat it or separate names with commas. Tests always\n"
        << "                   run in the window's order. 'all' (the default) runs every test:\n";
  for (const TBenchmarkTest& Test : BenchmarkTests()) {
    std::string Name = Test.ConsoleName;
    Name.resize(std::max<std::size_t>(Name.size(), 12), ' ');
    Usage << "                     " << Name << " " << Test.Description << "\n";
  }
  Usage << "  --size MB        block size in megabytes of 2^20 bytes, " << BlockSizeLimits.Minimum << " to "
        << BlockSizeLimits.Maximum << " (default " << BlockSizeLimits.Default << ")\n"
        << "  --passes N       timed passes over the block, " << PassesLimits.Minimum << " to "
        << PassesLimits.Maximum << " (default " << PassesLimits.Default << ")\n"
        << "  --platform I     the OpenCL platform, by its index in --list-devices (default 0)\n"
        << "  --device J       the OpenCL device of that platform, by its index (default 0)\n"
        << "  --cores N        work items of one OpenCL launch. Every work item reads the whole\n"
        << "                   block once per pass, so a pass moves N blocks. Default: " << GPUDefaultWorkItems
        << " (the\n"
        << "                   window's default, a GeForce RTX 3080) on a GPU; on a CPU or any other\n"
        << "                   device its number of compute units, since " << GPUDefaultWorkItems
        << " work items each\n"
        << "                   reading the whole block take many minutes per pass on a processor\n"
        << "  --list-devices   print every Vulkan adapter with its free memory and what the\n"
        << "                   processor can reach of it, then every OpenCL platform and device\n"
        << "                   with its indices, type, compute units, global memory and clock,\n"
        << "                   and run nothing\n"
        << "  --screenshot FILE  open the window, save a picture of it as PNG and quit\n"
        << "  -h, --help       show this text\n"
        << "\n"
        << "The log lines are printed as they come, then the peak of every test that ran ('-' when the\n"
        << "test failed or was stopped; its log says why). Ctrl-C (or SIGTERM) stops the run after the\n"
        << "current pass and prints what it has; a second Ctrl-C ends it at once. Exit status: 0 when\n"
        << "the run completed, even if a test logged an exception; 1 when the window cannot open for\n"
        << "want of a usable display, or --screenshot cannot save its picture; 2 for a bad argument;\n"
        << "130 when Ctrl-C stopped the run, 143 for SIGTERM.\n";
  return Usage.str();
}
