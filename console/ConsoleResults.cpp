#include "ConsoleResults.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ChartFiles.h"
#include "RecordCsv.h"
#include "RecordReader.h"
#include "SettingsLimits.h"
#include "TestTable.h"
#include "TextFile.h"

std::string WriteErrorText(int Error) { return Error != 0 ? std::strerror(Error) : "the output failed"; }

bool WriteStandardOutput(const std::string& ProgramName, const std::string& Text, const std::string& What,
                         std::ostream& Out, std::ostream& Err) {
  errno = 0;
  Out << Text;
  Out.flush();
  if (Out) return true;
  Err << ProgramName << ": could not write " << What << "standard output: " << WriteErrorText(errno) << "\n";
  return false;
}

bool WriteResultsOutput(const std::string& ProgramName, const std::string& Name, const std::string& Text,
                        std::ostream& Out, std::ostream& Err) {
  if (Name == "-") return WriteStandardOutput(ProgramName, Text, "the results to ", Out, Err);
  try {
    WriteTextFile(Name, Text);
    return true;
  } catch (const std::system_error& Error) {
    Err << ProgramName << ": could not write " << Name << ": " << Error.code().message() << "\n";
    return false;
  }
}

bool WriteChartFile(const std::string& ProgramName, const std::string& Name, const TRunRecord& Record,
                    const TChartPngPainter& PaintPng, std::ostream& Err) {
  const bool Png = ChartFileKindOf(Name) == TChartFileKind::Png;
  const std::string Bytes = Png ? (PaintPng ? PaintPng(Record) : "") : PassChartSvg(Record);
  if (Bytes.empty()) {
    Err << ProgramName << ": could not draw the chart for " << Name << "\n";
    return false;
  }
  try {
    WriteTextFile(Name, Bytes);
    return true;
  } catch (const std::system_error& Error) {
    Err << ProgramName << ": could not write " << Name << ": " << Error.code().message() << "\n";
    return false;
  }
}

std::optional<std::string> OutputFileProblem(const std::string& Name) {
  namespace fs = std::filesystem;
  if (Name == "-") return std::nullopt;
  std::error_code Error;
  if (fs::is_directory(Name, Error)) return Name + " is a folder";
  fs::path Folder = fs::path(Name).parent_path();
  if (Folder.empty()) Folder = ".";
  // The nearest folder on the path that is there, and what stands between it and the file.
  fs::path Existing = Folder;
  while (!fs::exists(Existing, Error) && Existing.has_relative_path() && Existing != Existing.parent_path())
    Existing = Existing.parent_path();
  if (fs::exists(Existing, Error) && !fs::is_directory(Existing, Error))
    return Existing.string() + " is a file, not a folder";
  if (!fs::is_directory(Folder, Error)) return "the folder " + Folder.string() + " does not exist";
  if (access(Folder.c_str(), W_OK | X_OK) != 0)
    return "the folder " + Folder.string() + " cannot be written (" + std::strerror(errno) + ")";
  if (fs::exists(Name, Error) && access(Name.c_str(), W_OK) != 0)
    return Name + " cannot be written (" + std::strerror(errno) + ")";
  return std::nullopt;
}

std::optional<TRunRecord> ReadResultsFile(const std::string& ProgramName, const std::string& Name, std::ostream& Err) {
  std::string Text;
  try {
    Text = ReadTextFile(Name);
  } catch (const std::system_error& Error) {
    Err << ProgramName << ": cannot read " << Name << ": " << Error.code().message() << "\n";
    return std::nullopt;
  }
  if (IsRecordCsv(Text)) {
    Err << ProgramName << ": compare reads the JSON files that --json writes; " << Name << " is a CSV file\n";
    return std::nullopt;
  }
  try {
    return RunRecordFromJson(Text);
  } catch (const EResultFileError& Error) {
    Err << ProgramName << ": " << Name << " is not a Velmora result: " << Error.what() << "\n";
    return std::nullopt;
  }
}

std::optional<std::string> TakeSettingsOf(const TRunRecord& Record, TConsoleOptions& Options) {
  const TBenchmarkSettings& Settings = Record.Settings.Settings;
  const std::int64_t Megabyte = MegabytesToBytes(1);
  if (Settings.MemorySize % Megabyte != 0 || Settings.MemorySize / Megabyte < BlockSizeLimits.Minimum ||
      Settings.MemorySize / Megabyte > BlockSizeLimits.Maximum)
    return "its block size of " + std::to_string(Settings.MemorySize) + " bytes is not a whole number of " +
           std::to_string(BlockSizeLimits.Minimum) + " to " + std::to_string(BlockSizeLimits.Maximum) + " MB";
  if (Settings.Passes < PassesLimits.Minimum || Settings.Passes > PassesLimits.Maximum)
    return "its " + std::to_string(Settings.Passes) + " passes are not " + std::to_string(PassesLimits.Minimum) +
           " to " + std::to_string(PassesLimits.Maximum);
  if (Record.Settings.Tests.empty()) return "it names no test";
  Options.SizeMB = static_cast<std::int32_t>(Settings.MemorySize / Megabyte);
  Options.Passes = Settings.Passes;
  Options.Tests.clear();
  for (const TBenchmarkTest& Test : BenchmarkTests())
    for (const TBenchmarkType Type : Record.Settings.Tests)
      if (Type == Test.Type) {
        Options.Tests.push_back(Type);
        break;
      }
  // A choice the base run had none for (no platform there) is left to this machine's defaults.
  auto Choice = [](std::int32_t Value, std::int32_t Minimum) {
    return Value >= Minimum ? std::optional<std::int32_t>(Value) : std::nullopt;
  };
  Options.Platform = Choice(Settings.OpenCLPlatform, 0);
  Options.Device = Choice(Settings.OpenCLDevice, 0);
  Options.Cores = Choice(Settings.OpenCLComputeCoreCount, 1);
  Options.Threads = Choice(Settings.Threads, 1);
  return std::nullopt;
}
