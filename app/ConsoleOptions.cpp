#include "ConsoleOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <sstream>

namespace {

struct TTestName {
  TBenchmarkType Test;
  const char* Name;
  const char* Description;
};

// In the order of a full run.
constexpr TTestName TestNames[] = {
    {bmGFXRAMWrite, "gfx-write", "the processor writes a block of the graphics adapter's memory"},
    {bmGFXRAMRead, "gfx-read", "the processor reads a block of the graphics adapter's memory"},
    {bmOpenCLRAMReadWrite, "opencl", "an OpenCL kernel reads one device buffer and writes another"},
    {bmSystemRAMWrite, "sys-write", "the processor writes a block of system RAM"},
    {bmSystemRAMRead, "sys-read", "the processor reads a block of system RAM"},
};

std::optional<std::int32_t> ParseWholeNumber(const std::string& Text) {
  std::int32_t Value = 0;
  const char* End = Text.data() + Text.size();
  const auto [Last, Error] = std::from_chars(Text.data(), End, Value);
  if (Text.empty() || Error != std::errc() || Last != End) return std::nullopt;
  return Value;
}

TConsoleParse Failure(std::string Error) { return {std::nullopt, std::move(Error)}; }

}  // namespace

std::optional<TBenchmarkType> ConsoleTestByName(const std::string& Name) {
  for (const TTestName& Entry : TestNames)
    if (Name == Entry.Name) return Entry.Test;
  return std::nullopt;
}

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
      if (std::string Error = TakeNumber(MinimumSizeMB, MaximumSizeMB, Options.SizeMB); !Error.empty())
        return Failure(Error);
    } else if (Option == "--passes") {
      if (std::string Error = TakeNumber(MinimumPasses, MaximumPasses, Options.Passes); !Error.empty())
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
        } else if (const std::optional<TBenchmarkType> Test = ConsoleTestByName(Name)) {
          Chosen.push_back(*Test);
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
  for (const TTestName& Entry : TestNames)
    if (All || Chosen.empty() || std::find(Chosen.begin(), Chosen.end(), Entry.Test) != Chosen.end())
      Options.Tests.push_back(Entry.Test);
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
  for (const TTestName& Entry : TestNames) {
    std::string Name = Entry.Name;
    Name.resize(std::max<std::size_t>(Name.size(), 12), ' ');
    Usage << "                     " << Name << " " << Entry.Description << "\n";
  }
  Usage << "  --size MB        block size in megabytes of 2^20 bytes, " << MinimumSizeMB << " to " << MaximumSizeMB
        << " (default " << DefaultSizeMB << ")\n"
        << "  --passes N       timed passes over the block, " << MinimumPasses << " to " << MaximumPasses
        << " (default " << DefaultPasses << ")\n"
        << "  --platform I     the OpenCL platform, by its index in --list-devices (default 0)\n"
        << "  --device J       the OpenCL device of that platform, by its index (default 0)\n"
        << "  --cores N        work items of one OpenCL launch. Every work item reads the whole\n"
        << "                   block once per pass, so a pass moves N blocks. Default: 8704 (the\n"
        << "                   window's default, a GeForce RTX 3080) on a GPU; on a CPU or any other\n"
        << "                   device its number of compute units, since 8704 work items each\n"
        << "                   reading the whole block take many minutes per pass on a processor\n"
        << "  --list-devices   print every OpenCL platform and device with its indices, type,\n"
        << "                   compute units, global memory and clock, and run nothing\n"
        << "  --screenshot FILE  open the window, save a picture of it as PNG and quit\n"
        << "  -h, --help       show this text\n"
        << "\n"
        << "The log lines are printed as they come, then the peak of every test that ran ('-' when the\n"
        << "test failed; its log says why). Exit status: 0 when the run completed, even if a test\n"
        << "logged an exception; 2 for a bad argument.\n";
  return Usage.str();
}
