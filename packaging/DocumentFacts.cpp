// What the man page, the bash completion and the results files' schema say about the tests, the
// options and the settings, made from the one table of the tests, the one table of the console's
// options and the one header of the limits, so that no document can fall behind them.
//
// velmora_document_facts              prints the facts as NAME=VALUE lines (tabs part a value)
// velmora_document_facts --into DIR   writes each piece that a template names into DIR/NAME, for
//                                     packaging/ConfigureFromFacts.cmake

#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <string_view>

#include "ConsoleOptionTable.h"
#include "SettingsLimits.h"
#include "TestTable.h"

namespace {

const char* ValueKind(TOptionValue Value) {
  switch (Value) {
    case TOptionValue::None:
      return "flag";
    case TOptionValue::Number:
      return "number";
    case TOptionValue::TestNames:
      return "tests";
    case TOptionValue::File:
      return "file";
    case TOptionValue::ResultsFiles:
      return "results";
  }
  return "flag";
}

// --help's text as one line: its breaks are only where the terminal's width ends a line.
std::string OneLine(std::string Text) {
  for (char& Character : Text)
    if (Character == '\n') Character = ' ';
  return Text;
}

// Plain text as roff reads it: a backslash and a hyphen (which roff would take for a soft one)
// escaped.
std::string Roff(std::string_view Text) {
  std::string Escaped;
  for (const char Character : Text) {
    if (Character == '\\' || Character == '-') Escaped += '\\';
    Escaped += Character;
  }
  return Escaped;
}

// "the processor writes ..." as the sentence "The processor writes ...".
std::string Sentence(std::string Text) {
  if (!Text.empty()) Text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(Text[0])));
  return Text + ".";
}

std::string ManTestList() {
  std::string List;
  for (const TTestName& Name : TestNames())
    List += ".TP 12\n.B " + Roff(Name.Name) + "\n" + Roff(Sentence(Name.Description)) + "\n";
  return List;
}

std::string ManOptionList() {
  std::string List;
  for (const TConsoleOption& Option : ConsoleOptionTable()) {
    List += ".TP\n";
    if (!Option.ShortName.empty())
      List += ".BR " + Roff(Option.ShortName) + " \", \" " + Roff(Option.Name) + "\n";
    else if (!Option.ValueName.empty())
      List += ".BI " + Roff(Option.Name) + " \" " + Option.ValueName + "\"\n";
    else
      List += ".B " + Roff(Option.Name) + "\n";
    List += (Option.Manual.empty() ? Roff(Sentence(OneLine(Option.Help))) : Option.Manual) + "\n";
    if (Option.Value == TOptionValue::TestNames) List += ".RS\n" + ManTestList() + ".RE\n";
  }
  return List;
}

// The options that take a value of Kind, as one pattern of a shell's case: "--json | --csv".
std::string OptionsTaking(TOptionValue Kind) {
  std::string Pattern;
  for (const TConsoleOption& Option : ConsoleOptionTable())
    if (Option.Value == Kind) Pattern += (Pattern.empty() ? "" : " | ") + Option.Name;
  return Pattern;
}

std::string OptionNames() {
  std::string Names;
  for (const TConsoleOption& Option : ConsoleOptionTable()) {
    Names += (Names.empty() ? "" : " ") + Option.Name;
    if (!Option.ShortName.empty()) Names += " " + Option.ShortName;
  }
  return Names;
}

std::string TestNameWords() {
  std::string Words;
  for (const TTestName& Name : TestNames()) Words += (Words.empty() ? "" : " ") + std::string(Name.Name);
  return Words;
}

// Every name a test has in a record, as the items of a JSON list.
std::string RecordedTestNamesJson() {
  std::string Items;
  for (const TBenchmarkTest& Test : BenchmarkTests())
    Items += (Items.empty() ? "" : ", ") + ("\"" + std::string(Test.ConsoleName) + "\"");
  return Items;
}

std::map<std::string, std::string> TemplatePieces() {
  return {
      {"SIZE_MINIMUM", std::to_string(BlockSizeLimits.Minimum)},
      {"SIZE_MAXIMUM", std::to_string(BlockSizeLimits.Maximum)},
      {"SIZE_DEFAULT", std::to_string(BlockSizeLimits.Default)},
      {"PASSES_MINIMUM", std::to_string(PassesLimits.Minimum)},
      {"PASSES_MAXIMUM", std::to_string(PassesLimits.Maximum)},
      {"PASSES_DEFAULT", std::to_string(PassesLimits.Default)},
      {"GPU_WORK_ITEMS", std::to_string(GPUDefaultWorkItems)},
      {"MAN_OPTION_LIST", ManOptionList()},
      {"TEST_NAMES", TestNameWords()},
      {"OPTION_NAMES", OptionNames()},
      {"TEST_OPTIONS", OptionsTaking(TOptionValue::TestNames)},
      {"FILE_OPTIONS", OptionsTaking(TOptionValue::File)},
      {"RESULTS_OPTIONS", OptionsTaking(TOptionValue::ResultsFiles)},
      {"NUMBER_OPTIONS", OptionsTaking(TOptionValue::Number)},
      {"RECORDED_TEST_NAMES_JSON", RecordedTestNamesJson()},
  };
}

void PrintFacts() {
  for (const auto& [Name, Value] : TemplatePieces())
    if (Name.find("LIST") == std::string::npos) std::cout << Name << "=" << Value << "\n";
  // Every name --test takes but 'all', in the table's order: the name, a tab, the line of --help.
  for (const TTestName& Name : TestNames()) std::cout << "TEST=" << Name.Name << "\t" << Name.Description << "\n";
  // Every option: its name, its short name, its value's name, what it takes and --help's text.
  for (const TConsoleOption& Option : ConsoleOptionTable())
    std::cout << "OPTION=" << Option.Name << "\t" << Option.ShortName << "\t" << Option.ValueName << "\t"
              << ValueKind(Option.Value) << "\t" << OneLine(Option.Help) << "\n";
}

bool WritePieces(const std::string& Folder) {
  for (const auto& [Name, Value] : TemplatePieces()) {
    std::ofstream File(Folder + "/" + Name);
    File << Value;
    if (!File.flush()) {
      std::cerr << "velmora_document_facts: cannot write " << Folder << "/" << Name << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--into") return WritePieces(argv[2]) ? 0 : 1;
  if (argc != 1) {
    std::cerr << "usage: velmora_document_facts [--into FOLDER]\n";
    return 2;
  }
  PrintFacts();
  return 0;
}
