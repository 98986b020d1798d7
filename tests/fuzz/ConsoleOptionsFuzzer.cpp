// The console's command line: any arguments either fail with a message or give options inside the
// window's limits, with the tests once each in the order of a full run; and options written back
// as a command line parse to the same options.

#include <algorithm>
#include <string>
#include <vector>

#include "ChartFiles.h"
#include "ConsoleOptions.h"
#include "FuzzCheck.h"
#include "TestTable.h"

namespace {

void CheckOptions(const TConsoleOptions& Options) {
  FUZZ_CHECK(Options.SizeMB >= BlockSizeLimits.Minimum && Options.SizeMB <= BlockSizeLimits.Maximum, "size %d",
             Options.SizeMB);
  FUZZ_CHECK(Options.Passes >= PassesLimits.Minimum && Options.Passes <= PassesLimits.Maximum, "passes %d",
             Options.Passes);
  FUZZ_CHECK(!Options.Platform || *Options.Platform >= 0, "platform %d", *Options.Platform);
  FUZZ_CHECK(!Options.Device || *Options.Device >= 0, "device %d", *Options.Device);
  FUZZ_CHECK(!Options.Cores || *Options.Cores >= 1, "cores %d", *Options.Cores);
  FUZZ_CHECK(!Options.Threads || *Options.Threads >= 1, "threads %d", *Options.Threads);
  FUZZ_CHECK(!(Options.JsonFile == "-" && Options.CsvFile == "-"), "JSON and CSV both to standard output");
  FUZZ_CHECK(Options.Compare.size() <= 2, "%zu files to compare", Options.Compare.size());
  FUZZ_CHECK(Options.ChartFile.empty() || ChartFileKindOf(Options.ChartFile), "a chart that is neither SVG nor PNG");
  FUZZ_CHECK(!Options.Tests.empty(), "no test");
  // A subsequence of the table of tests: each once, in the order of a full run.
  const std::span<const TBenchmarkTest> Table = BenchmarkTests();
  std::size_t Next = 0;
  for (const TBenchmarkType Test : Options.Tests) {
    while (Next < Table.size() && Table[Next].Type != Test) ++Next;
    FUZZ_CHECK(Next < Table.size(), "test %d twice, out of order or unknown", static_cast<int>(Test));
    ++Next;
  }
}

// The options as the command line a user would type for them. A comparison takes its settings
// from its files, so it names none.
std::vector<std::string> CommandLine(const TConsoleOptions& Options) {
  std::vector<std::string> Arguments;
  if (Options.Console) Arguments.push_back("--console");
  if (Options.Help) Arguments.push_back("--help");
  if (Options.Version) Arguments.push_back("--version");
  if (Options.ListDevices) Arguments.push_back("--list-devices");
  if (!Options.JsonFile.empty()) Arguments.push_back("--json=" + Options.JsonFile);
  if (!Options.CsvFile.empty()) Arguments.push_back("--csv=" + Options.CsvFile);
  if (!Options.ChartFile.empty()) Arguments.push_back("--chart=" + Options.ChartFile);
  if (!Options.Compare.empty()) {
    // Each file joined to its option: a file named like an option is still a file.
    for (const std::string& File : Options.Compare) Arguments.push_back("--compare=" + File);
    return Arguments;
  }
  Arguments.push_back("--size=" + std::to_string(Options.SizeMB));
  Arguments.push_back("--passes=" + std::to_string(Options.Passes));
  std::string Tests;
  for (const TBenchmarkType Test : Options.Tests)
    Tests += (Tests.empty() ? "" : ",") + std::string(FindBenchmarkTest(Test)->ConsoleName);
  Arguments.push_back("--test=" + Tests);
  for (const auto& [Name, Value] : {std::pair{"--platform=", Options.Platform}, std::pair{"--device=", Options.Device},
                                    std::pair{"--cores=", Options.Cores}, std::pair{"--threads=", Options.Threads}})
    if (Value) Arguments.push_back(Name + std::to_string(*Value));
  return Arguments;
}

bool Same(const TConsoleOptions& Left, const TConsoleOptions& Right) {
  return Left.Console == Right.Console && Left.Help == Right.Help && Left.Version == Right.Version &&
         Left.Tests == Right.Tests && Left.SizeMB == Right.SizeMB && Left.Passes == Right.Passes &&
         Left.Platform == Right.Platform && Left.Device == Right.Device && Left.Cores == Right.Cores &&
         Left.Threads == Right.Threads && Left.ListDevices == Right.ListDevices && Left.JsonFile == Right.JsonFile &&
         Left.CsvFile == Right.CsvFile && Left.ChartFile == Right.ChartFile && Left.Compare == Right.Compare;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // One argument per NUL-separated piece, as the kernel hands them to a program.
  std::vector<std::string> Arguments(1);
  for (std::size_t Index = 0; Index < Size; ++Index) {
    if (Data[Index] == 0) {
      if (Arguments.size() == 64) break;
      Arguments.emplace_back();
    } else {
      Arguments.back() += static_cast<char>(Data[Index]);
    }
  }
  if (Size == 0) Arguments.clear();

  const TConsoleParse Parse = ParseConsoleArguments(Arguments);
  if (!Parse.Options) {
    FUZZ_CHECK(!Parse.Error.empty(), "a refusal without a message");
    return 0;
  }
  FUZZ_CHECK(Parse.Error.empty(), "options and an error: %s", Parse.Error.c_str());
  CheckOptions(*Parse.Options);

  const TConsoleParse Again = ParseConsoleArguments(CommandLine(*Parse.Options));
  FUZZ_CHECK(Again.Options.has_value(), "its own command line is refused: %s", Again.Error.c_str());
  FUZZ_CHECK(Same(*Again.Options, *Parse.Options), "its own command line gives other options");
  return 0;
}
