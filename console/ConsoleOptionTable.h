#pragma once
// The one table of the console's options. The parser takes them from it, and --help, the man page
// and the bash completion say what it says, so that no option is parsed and left undocumented, or
// documented and not parsed.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ConsoleOptions.h"

// What an option takes.
enum class TOptionValue : std::uint8_t {
  None,          // nothing: a flag
  Number,        // a whole number within the option's limits
  TestNames,     // test or group names, separated by commas; the option may be repeated
  File,          // a file name
  ResultsFiles,  // one or two results files written by --json
};

// What an option is for, which decides what it may be given with.
enum class TOptionRole : std::uint8_t {
  Mode,        // what the program does (--console, --help, --list-devices...)
  RunSetting,  // a setting of a run, which --compare BASE takes from BASE and --compare BASE NEW has no use for
  Output,      // a file the run is written to, which --compare BASE NEW, running nothing, has no use for
  Comparison,  // --compare itself
};

// Where the parser puts what it took.
using TOptionTarget =
    std::variant<std::monostate, bool TConsoleOptions::*, std::int32_t TConsoleOptions::*,
                 std::optional<std::int32_t> TConsoleOptions::*, std::string TConsoleOptions::*,
                 std::vector<std::string> TConsoleOptions::*>;

struct TConsoleOption {
  std::string Name;       // "--size"
  std::string ShortName;  // "-h"; empty where there is none
  std::string ValueName;  // the value as --help names it, "MB"; empty for a flag
  TOptionValue Value = TOptionValue::None;
  TOptionRole Role = TOptionRole::Mode;
  std::int32_t Minimum = 0;  // a number's limits
  std::int32_t Maximum = 0;
  TOptionTarget Target;    // monostate: the parser leaves it to another (--test, or main's --screenshot)
  bool Parsed = true;      // false: main takes it before the parser (--screenshot FILE)
  std::string Help;        // --help's text; "\n" where --help breaks the line
  std::string Manual;      // the man page's paragraph where it says more than --help; roff escapes allowed
};

// Every option, in the order --help lists them.
std::vector<TConsoleOption> ConsoleOptionTable();

// The entry of Name ("--size"); null when there is none.
const TConsoleOption* FindConsoleOption(const std::vector<TConsoleOption>& Table, const std::string& Name);

// --help's column of names for the option: "--size MB", "-h, --help".
std::string OptionLabel(const TConsoleOption& Option);
// What a missing value is called in the parser's error line: "a value", "a file name".
std::string MissingValueName(const TConsoleOption& Option);
