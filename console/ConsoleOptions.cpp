#include "ConsoleOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <sstream>

#include "TestTable.h"
#include "ChartFiles.h"

namespace {

// The options that take a value, and what a missing value is called in the error line.
struct TValueOption {
  const char* Name;
  const char* Missing;
};
constexpr TValueOption ValueOptions[] = {
    {"--size", "a value"},     {"--passes", "a value"}, {"--platform", "a value"},
    {"--device", "a value"},   {"--cores", "a value"},  {"--threads", "a value"}, {"--test", "a test name"},
    {"--json", "a file name"}, {"--csv", "a file name"}, {"--chart", "a file name"}, {"--compare", "a results file"},
};
constexpr const char* Flags[] = {"--console", "--help", "--version", "--list-devices"};
// The settings of a run, which a comparison of two files has no use for and a run with --compare
// BASE takes from BASE.
constexpr const char* RunSettings[] = {"--test",   "--size",  "--passes", "--platform",
                                       "--device", "--cores", "--threads"};

std::optional<std::int32_t> ParseWholeNumber(const std::string& Text) {
  std::int32_t Value = 0;
  const char* End = Text.data() + Text.size();
  const auto [Last, Error] = std::from_chars(Text.data(), End, Value);
  if (Text.empty() || Error != std::errc() || Last != End) return std::nullopt;
  return Value;
}

TConsoleParse Failure(std::string Error) { return {std::nullopt, std::move(Error)}; }

// "--size=" hands the parser an empty value as a separate word, which it takes for a missing one;
// a flag never takes a value, not even one it would accept.
std::optional<std::string> Normalise(const std::vector<std::string>& Arguments, std::vector<std::string>& Words) {
  for (const std::string& Argument : Arguments) {
    const std::size_t Equals = Argument.find('=');
    if (Argument.rfind("--", 0) == 0 && Equals != std::string::npos) {
      const std::string Name = Argument.substr(0, Equals);
      if (std::find(std::begin(Flags), std::end(Flags), Name) != std::end(Flags))
        return "unknown argument '" + Argument + "'";
      if (Equals + 1 == Argument.size()) {
        Words.push_back(Name);
        Words.emplace_back();
        continue;
      }
    }
    Words.push_back(Argument);
  }
  return std::nullopt;
}

// The error line for a value the parser found missing: "--size: 1 required TEXT missing".
std::string MissingValueError(const std::string& What) {
  for (const TValueOption& Option : ValueOptions)
    if (What.rfind(std::string(Option.Name) + ":", 0) == 0) {
      if (std::string(Option.Name) == "--compare" && What.find("At Most") != std::string::npos)
        return "--compare takes one or two results files";
      return std::string(Option.Name) + " needs " + Option.Missing;
    }
  return What;
}

// Takes the value of a whole-number option into Target when it was given.
std::string TakeNumber(const CLI::App& App, const std::string& Name, const std::string& Text, std::int32_t Minimum,
                       std::int32_t Maximum, auto& Target) {
  if (App.count(Name) == 0) return "";
  const std::optional<std::int32_t> Number = ParseWholeNumber(Text);
  if (!Number || *Number < Minimum || *Number > Maximum)
    return Name + " must be a whole number from " + std::to_string(Minimum) + " to " + std::to_string(Maximum) +
           ", not '" + Text + "'";
  Target = *Number;
  return "";
}

}  // namespace

TConsoleParse ParseConsoleArguments(const std::vector<std::string>& Arguments) {
  std::vector<std::string> Words;
  if (const std::optional<std::string> Error = Normalise(Arguments, Words)) return Failure(*Error);

  TConsoleOptions Options;
  std::string Size, Passes, Platform, Device, Cores, Threads;
  std::vector<std::string> Names;
  CLI::App App;
  App.set_help_flag();  // --help prints Velmora's own text
  App.allow_extras();   // and an unknown word gets Velmora's own error line
  App.add_flag("--console", Options.Console);
  App.add_flag("-h,--help", Options.Help);
  App.add_flag("--version", Options.Version);
  App.add_flag("--list-devices", Options.ListDevices);
  for (auto [Name, Target] : {std::pair{"--size", &Size}, std::pair{"--passes", &Passes},
                              std::pair{"--platform", &Platform}, std::pair{"--device", &Device},
                              std::pair{"--cores", &Cores}, std::pair{"--threads", &Threads},
                              std::pair{"--json", &Options.JsonFile},
                              std::pair{"--csv", &Options.CsvFile}, std::pair{"--chart", &Options.ChartFile}})
    App.add_option(Name, *Target)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  App.add_option("--test", Names)->delimiter(',')->allow_extra_args(false);
  App.add_option("--compare", Options.Compare)->expected(1, 2);
  try {
    std::reverse(Words.begin(), Words.end());  // the parser takes its words last first
    App.parse(Words);
  } catch (const CLI::ArgumentMismatch& Error) {
    return Failure(MissingValueError(Error.what()));
  } catch (const CLI::Error& Error) {
    return Failure(Error.what());
  }
  if (!App.remaining().empty()) return Failure("unknown argument '" + App.remaining().front() + "'");

  for (const std::string& Error :
       {TakeNumber(App, "--size", Size, BlockSizeLimits.Minimum, BlockSizeLimits.Maximum, Options.SizeMB),
        TakeNumber(App, "--passes", Passes, PassesLimits.Minimum, PassesLimits.Maximum, Options.Passes),
        TakeNumber(App, "--platform", Platform, 0, INT32_MAX, Options.Platform),
        TakeNumber(App, "--device", Device, 0, INT32_MAX, Options.Device),
        TakeNumber(App, "--cores", Cores, 1, INT32_MAX, Options.Cores),
        TakeNumber(App, "--threads", Threads, 1, MaximumThreads, Options.Threads)})
    if (!Error.empty()) return Failure(Error);

  std::vector<TBenchmarkType> Chosen;
  bool All = false;
  // "--test ''" and "--test ," name no test at all.
  Names.erase(std::remove(Names.begin(), Names.end(), std::string()), Names.end());
  if (App.count("--test") > 0 && Names.empty()) return Failure("--test needs a test name");
  for (const std::string& Name : Names) {
    if (Name == "all") {
      All = true;
    } else if (const std::vector<const TBenchmarkTest*> Tests = FindBenchmarkTests(Name); !Tests.empty()) {
      for (const TBenchmarkTest* Test : Tests) Chosen.push_back(Test->Type);
    } else {
      return Failure("unknown test '" + Name + "'");
    }
  }
  // Whatever order they were named in, the tests run in the order of a full run.
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (((All || Chosen.empty()) && Test.InFullRun) ||
        std::find(Chosen.begin(), Chosen.end(), Test.Type) != Chosen.end())
      Options.Tests.push_back(Test.Type);

  if (App.count("--chart") > 0 && !ChartFileKindOf(Options.ChartFile))
    return Failure("--chart writes SVG or PNG: its file name must end in .svg or .png, not '" + Options.ChartFile + "'");
  if (Options.JsonFile == "-" && Options.CsvFile == "-")
    return Failure("--json and --csv cannot both write to standard output");
  if (!Options.Compare.empty()) {
    const bool TwoFiles = Options.Compare.size() == 2;
    const std::string Why = TwoFiles ? " cannot be given with --compare BASE NEW, which runs nothing"
                                     : " cannot be given with --compare BASE: the run takes BASE's settings";
    for (const char* Setting : RunSettings)
      if (App.count(Setting) > 0) return Failure(Setting + Why);
    if (App.count("--list-devices") > 0) return Failure("--list-devices cannot be given with --compare");
    if (TwoFiles)
      for (const char* Output : {"--json", "--csv", "--chart"})
        if (App.count(Output) > 0) return Failure(Output + Why);
  }
  return {Options, ""};
}

std::string ConsoleUsage(const std::string& ProgramName) {
  std::ostringstream Usage;
  Usage << "Usage: " << ProgramName << " --console [--test NAME[,NAME...]] [--size MB] [--passes N]\n"
        << "               [--platform I] [--device J] [--cores N] [--threads N] [--json FILE]\n"
        << "               [--csv FILE] [--chart FILE]\n"
        << "       " << ProgramName << " --compare BASE.json [NEW.json] [--json FILE] [--csv FILE]\n"
        << "               [--chart FILE]\n"
        << "       " << ProgramName << " --console --list-devices\n"
        << "       " << ProgramName << " --version\n"
        << "       " << ProgramName << " --help\n"
        << "       " << ProgramName << "            (no arguments: the window, or the console where there is no display)\n"
        << "\n"
        << "Velmora measures how fast this machine moves data to and from memory. Every test walks\n"
        << "one block once per pass, times each pass and reports each pass, the average and the peak.\n"
        << "\n"
        << "Options:\n"
        << "  --console        run the tests in this terminal and print the log, without the window\n"
        << "  --test NAME      a test to run; repeat it or separate names with commas. Tests always\n"
        << "                   run in the window's order. 'all' (the default) runs the tests of a\n"
        << "                   full run, as the window's \"Run benchmark\" does:\n";
  const std::vector<TTestName> Names = TestNames();
  std::size_t NameWidth = 0;
  for (const TTestName& Name : Names) NameWidth = std::max(NameWidth, Name.Name.size());
  for (const bool InFullRun : {true, false}) {
    if (!InFullRun) Usage << "                   and, only when named:\n";
    for (const TTestName& Name : Names) {
      if (Name.InFullRun != InFullRun) continue;
      std::string Column(Name.Name);
      Column.resize(NameWidth, ' ');
      Usage << "                     " << Column << " " << Name.Description << "\n";
    }
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
        << "  --threads N      threads of the all-core tests, each pinned to its own processor, 1 to\n"
        << "                   " << MaximumThreads << " (default: one per processor this program may use)\n"
        << "  --json FILE      write the record of the run as JSON: Velmora's version, the machine, the\n"
        << "                   settings, and for every test its status, every pass (nanoseconds, bytes,\n"
        << "                   bytes per second), the average, the peak, and the median, range and\n"
        << "                   coefficient of variation of the passes after the first. Numbers are in\n"
        << "                   raw units with a decimal point, whatever the locale. '-' writes to\n"
        << "                   standard output; the log then goes to standard error\n"
        << "  --csv FILE       the same record as CSV, one row per fact and per pass ('-' as for --json)\n"
        << "  --chart FILE     draw the rate of every pass of every test, the first pass marked and the\n"
        << "                   median of the passes after the first drawn across, as the window's View >\n"
        << "                   Pass chart does, and write it as SVG or PNG by the name's extension (.svg,\n"
        << "                   .png)\n"
        << "  --compare BASE [NEW]\n"
        << "                   compare two files written by --json: for every test in both, the peak\n"
        << "                   and the median of the passes after the first, side by side with the\n"
        << "                   change in percent, marked within noise when it is smaller than the\n"
        << "                   spread of the two runs. Without NEW, first run with BASE's settings\n"
        << "                   (tests, size, passes, OpenCL choices, threads) and compare that run\n"
        << "                   with BASE\n"
        << "  --list-devices   print every Vulkan adapter with its free memory and what the\n"
        << "                   processor can reach of it, then every OpenCL platform and device\n"
        << "                   with its indices, type, compute units, global memory and clock,\n"
        << "                   and run nothing\n"
        << "  --screenshot FILE  open the window, save a picture of it as PNG and quit\n"
        << "  --version        print Velmora's version and quit\n"
        << "  -h, --help       show this text\n"
        << "\n"
        << "The log lines are printed as they come. After the lines of each test that completed, one\n"
        << "more line gives the median, minimum, maximum and coefficient of variation (CV) of the\n"
        << "passes after the first, and the first pass's own rate: the first pass often touches fresh\n"
        << "pages or a cold cache and weighs on the average. Then comes the peak of every test that\n"
        << "ran ('-' when the test failed or was stopped; its log says why). Ctrl-C (or SIGTERM) stops\n"
        << "the run after the current pass and prints what it has; a second Ctrl-C ends it at once.\n"
        << "\n"
        << "Exit status:\n"
        << "  0    every test that ran completed (--compare of two files: they were compared)\n"
        << "  1    a test failed (its \"Exception:\" line says why), the log or a results file could\n"
        << "       not be written, a --compare file is not a Velmora result, the window cannot open\n"
        << "       for want of a usable display, --screenshot cannot save its picture, or\n"
        << "       --list-devices cannot list the OpenCL platforms\n"
        << "  2    a bad argument\n"
        << "  130  Ctrl-C stopped the run; 143: SIGTERM did\n";
  return Usage.str();
}
