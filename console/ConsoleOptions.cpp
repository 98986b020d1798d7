#include "ConsoleOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <sstream>

#include "ChartFiles.h"
#include "ConsoleOptionTable.h"
#include "TestTable.h"

namespace {

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
std::optional<std::string> Normalise(const std::vector<TConsoleOption>& Table, const std::vector<std::string>& Arguments,
                                     std::vector<std::string>& Words) {
  for (const std::string& Argument : Arguments) {
    const std::size_t Equals = Argument.find('=');
    if (Argument.rfind("--", 0) == 0 && Equals != std::string::npos) {
      const std::string Name = Argument.substr(0, Equals);
      const TConsoleOption* Option = FindConsoleOption(Table, Name);
      if (Option != nullptr && Option->Parsed && Option->Value == TOptionValue::None)
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
std::string MissingValueError(const std::vector<TConsoleOption>& Table, const std::string& What) {
  for (const TConsoleOption& Option : Table)
    if (What.rfind(Option.Name + ":", 0) == 0) {
      if (Option.Value == TOptionValue::ResultsFiles && What.find("At Most") != std::string::npos)
        return Option.Name + " takes one or two results files";
      return Option.Name + " needs " + MissingValueName(Option);
    }
  return What;
}

// What the parser took of each option that takes a value, as text, before it is checked.
struct TTakenValues {
  std::map<std::string, std::string> Texts;  // the last one given of a number or a file
  std::vector<std::string> TestNames;
};

// Declares every option of the table to the parser.
void DeclareOptions(CLI::App& App, const std::vector<TConsoleOption>& Table, TConsoleOptions& Options,
                    TTakenValues& Taken) {
  for (const TConsoleOption& Option : Table) {
    if (!Option.Parsed) continue;
    const std::string Names = Option.ShortName.empty() ? Option.Name : Option.ShortName + "," + Option.Name;
    switch (Option.Value) {
      case TOptionValue::None:
        App.add_flag(Names, Options.*std::get<bool TConsoleOptions::*>(Option.Target));
        break;
      case TOptionValue::Number:
      case TOptionValue::File:
        App.add_option(Names, Taken.Texts[Option.Name])->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        break;
      case TOptionValue::TestNames:
        App.add_option(Names, Taken.TestNames)->delimiter(',')->allow_extra_args(false);
        break;
      case TOptionValue::ResultsFiles:
        App.add_option(Names, Options.*std::get<std::vector<std::string> TConsoleOptions::*>(Option.Target))
            ->expected(1, 2);
        break;
    }
  }
}

// A number's text, checked against its limits, into its place in Options.
std::string TakeNumber(const TConsoleOption& Option, const std::string& Text, TConsoleOptions& Options) {
  const std::optional<std::int32_t> Number = ParseWholeNumber(Text);
  if (!Number || *Number < Option.Minimum || *Number > Option.Maximum)
    return Option.Name + " must be a whole number from " + std::to_string(Option.Minimum) + " to " +
           std::to_string(Option.Maximum) + ", not '" + Text + "'";
  if (const auto* Plain = std::get_if<std::int32_t TConsoleOptions::*>(&Option.Target)) Options.*(*Plain) = *Number;
  if (const auto* Optional = std::get_if<std::optional<std::int32_t> TConsoleOptions::*>(&Option.Target))
    Options.*(*Optional) = *Number;
  return "";
}

// The numbers and file names that were given, into their places in Options.
std::string TakeValues(const CLI::App& App, const std::vector<TConsoleOption>& Table, const TTakenValues& Taken,
                       TConsoleOptions& Options) {
  for (const TConsoleOption& Option : Table) {
    if (!Option.Parsed || App.count(Option.Name) == 0) continue;
    const auto Text = Taken.Texts.find(Option.Name);
    if (Text == Taken.Texts.end()) continue;
    if (Option.Value == TOptionValue::Number) {
      if (std::string Error = TakeNumber(Option, Text->second, Options); !Error.empty()) return Error;
    } else if (const auto* File = std::get_if<std::string TConsoleOptions::*>(&Option.Target)) {
      Options.*(*File) = Text->second;
    }
  }
  return "";
}

// The tests --test names, in the order of a full run, each once; all of a full run by default.
std::string TakeTests(const CLI::App& App, std::vector<std::string> Names, TConsoleOptions& Options) {
  std::vector<TBenchmarkType> Chosen;
  bool All = false;
  // "--test ''" and "--test ," name no test at all.
  Names.erase(std::remove(Names.begin(), Names.end(), std::string()), Names.end());
  if (App.count("--test") > 0 && Names.empty()) return "--test needs a test name";
  for (const std::string& Name : Names) {
    if (Name == "all") {
      All = true;
    } else if (const std::vector<const TBenchmarkTest*> Tests = FindBenchmarkTests(Name); !Tests.empty()) {
      for (const TBenchmarkTest* Test : Tests) Chosen.push_back(Test->Type);
    } else {
      return "unknown test '" + Name + "'";
    }
  }
  // Whatever order they were named in, the tests run in the order of a full run.
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (((All || Chosen.empty()) && Test.InFullRun) ||
        std::find(Chosen.begin(), Chosen.end(), Test.Type) != Chosen.end())
      Options.Tests.push_back(Test.Type);
  return "";
}

// What may not be given together.
std::string CheckCombinations(const CLI::App& App, const std::vector<TConsoleOption>& Table,
                              const TConsoleOptions& Options) {
  if (App.count("--chart") > 0 && !ChartFileKindOf(Options.ChartFile))
    return "--chart writes SVG or PNG: its file name must end in .svg or .png, not '" + Options.ChartFile + "'";
  if (Options.JsonFile == "-" && Options.CsvFile == "-") return "--json and --csv cannot both write to standard output";
  if (Options.Compare.empty()) return "";
  const bool TwoFiles = Options.Compare.size() == 2;
  const std::string Why = TwoFiles ? " cannot be given with --compare BASE NEW, which runs nothing"
                                   : " cannot be given with --compare BASE: the run takes BASE's settings";
  for (const TConsoleOption& Option : Table)
    if (Option.Role == TOptionRole::RunSetting && App.count(Option.Name) > 0) return Option.Name + Why;
  if (App.count("--list-devices") > 0) return "--list-devices cannot be given with --compare";
  if (TwoFiles)
    for (const TConsoleOption& Option : Table)
      if (Option.Role == TOptionRole::Output && App.count(Option.Name) > 0) return Option.Name + Why;
  return "";
}

// One option's lines of --help: its names in a column of 17, its text beside them.
void WriteOptionHelp(std::ostringstream& Usage, const TConsoleOption& Option) {
  const std::string Label = OptionLabel(Option);
  const std::string Indent(19, ' ');
  if (Label.size() <= 15)
    Usage << "  " << Label << std::string(17 - Label.size(), ' ');
  else if (Label.size() <= 17)
    Usage << "  " << Label << "  ";
  else
    Usage << "  " << Label << "\n" << Indent;
  std::istringstream Lines(Option.Help);
  std::string Line;
  for (bool First = true; std::getline(Lines, Line); First = false) Usage << (First ? "" : Indent) << Line << "\n";
}

// The names --test takes, those of a full run first, each with what it runs.
void WriteTestNames(std::ostringstream& Usage) {
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
}

}  // namespace

TConsoleParse ParseConsoleArguments(const std::vector<std::string>& Arguments) {
  const std::vector<TConsoleOption> Table = ConsoleOptionTable();
  std::vector<std::string> Words;
  if (const std::optional<std::string> Error = Normalise(Table, Arguments, Words)) return Failure(*Error);

  TConsoleOptions Options;
  TTakenValues Taken;
  CLI::App App;
  App.set_help_flag();  // --help prints Velmora's own text
  App.allow_extras();   // and an unknown word gets Velmora's own error line
  DeclareOptions(App, Table, Options, Taken);
  try {
    std::reverse(Words.begin(), Words.end());  // the parser takes its words last first
    App.parse(Words);
  } catch (const CLI::ArgumentMismatch& Error) {
    return Failure(MissingValueError(Table, Error.what()));
  } catch (const CLI::Error& Error) {
    return Failure(Error.what());
  }
  if (!App.remaining().empty()) return Failure("unknown argument '" + App.remaining().front() + "'");
  for (const std::string& Error : {TakeValues(App, Table, Taken, Options), TakeTests(App, Taken.TestNames, Options),
                                   CheckCombinations(App, Table, Options)})
    if (!Error.empty()) return Failure(Error);
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
        << "Options:\n";
  for (const TConsoleOption& Option : ConsoleOptionTable()) {
    WriteOptionHelp(Usage, Option);
    if (Option.Value == TOptionValue::TestNames) WriteTestNames(Usage);
  }
  Usage << "\n"
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
