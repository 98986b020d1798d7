#include "ConsoleFrontEnd.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <stdexcept>

#include "BenchmarkRun.h"
#include "CL.h"
#include "ChartFiles.h"
#include "ConsoleAdapters.h"
#include "ConsoleOpenCL.h"
#include "ConsoleOptions.h"
#include "ConsoleResults.h"
#include "ConsoleSignals.h"
#include "FileInformation.h"
#include "RecordCsv.h"
#include "RecordJson.h"
#include "ResultTexts.h"
#include "RunComparison.h"
#include "RunDescription.h"
#include "StartupLines.h"
#include "TestTable.h"

TConsoleReporter::TConsoleReporter(std::ostream& Out, TRunInfo Run, TRunSettings Settings)
    : TRunRecorder(std::move(Run), std::move(Settings)), FOut(Out) {}

void TConsoleReporter::Log(const std::string& Text) {
  errno = 0;
  FOut << Text << std::endl;
  if (!FOut && !FOutputFailed) {
    FOutputFailed = true;
    FOutputError = errno;
  }
}

void TConsoleReporter::SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) {
  if (!Finished && BenchmarkType != bmAll) FResults[BenchmarkType] = Text;
}

std::string TConsoleReporter::Result(TBenchmarkType BenchmarkType) const {
  const auto Found = FResults.find(BenchmarkType);
  return Found == FResults.end() ? "-" : Found->second;
}

void TConsoleReporter::TestRecorded(const TTestRecord& Test) {
  if (Test.Status == TTestStatus::Completed) Log(WarmPassLine(Test));
}

std::string ConsoleFileVersion() {
  try {
    return ProgramFileVersion();
  } catch (const std::exception&) {
    // A damaged version table costs the title its number, not the run.
    return "";
  }
}

namespace {

// Help and version texts: written whole, or one line on Err and status 1.
int PrintText(const std::string& ProgramName, const std::string& Text, std::ostream& Out, std::ostream& Err) {
  return WriteStandardOutput(ProgramName, Text, "to ", Out, Err) ? ExitCompleted : ExitFailed;
}

int PrintVersion(const std::string& ProgramName, std::ostream& Out, std::ostream& Err) {
  std::string Version;
  try {
    Version = ProgramFileVersion();
  } catch (const std::exception& Error) {
    Err << ProgramName << ": the version table could not be read: " << Error.what() << "\n";
    return ExitFailed;
  }
  return PrintText(ProgramName, "Velmora " + Version + "\n", Out, Err);
}

int CompareFiles(const std::string& ProgramName, const std::string& BaseName, const std::string& NewName,
                 std::ostream& Out, std::ostream& Err) {
  const std::optional<TRunRecord> Base = ReadResultsFile(ProgramName, BaseName, Err);
  if (!Base) return ExitFailed;
  const std::optional<TRunRecord> New = ReadResultsFile(ProgramName, NewName, Err);
  if (!New) return ExitFailed;
  std::string Text;
  for (const std::string& Line : ComparisonLines(*Base, BaseName, *New, NewName, CompareRuns(*Base, *New)))
    Text += Line + "\n";
  return PrintText(ProgramName, Text, Out, Err);
}

// The start-up lines the window writes, before any test; the allocator over OpenGraphics, or none
// when it could not be made.
std::unique_ptr<TVraxDirect3D9> StartUp(TConsoleReporter& Reporter, const TGraphicsInterfaceFactory& OpenGraphics,
                                        const std::string& FileVersion) {
  Reporter.Log(TitleLine(FileVersion));
  std::unique_ptr<TVraxDirect3D9> VideoMemory;
  try {
    VideoMemory = std::make_unique<TVraxDirect3D9>(false, OpenGraphics);
    Reporter.Log(AdapterLine(VideoMemory->D3DADAPTER_ID.Description, VideoMemory->MemoryAvailable()));
  } catch (const std::exception& Error) {
    // The run goes on; the GFX tests report that they have no allocator.
    VideoMemory.reset();
    Reporter.Log(Error.what());
    if (const std::string Why = GraphicsUnavailableLine(Error.what()); !Why.empty()) Reporter.Log(Why);
  }
  Reporter.Log(GetProcessorName());
  if (VideoMemory) Reporter.Log(ReachLine(VideoMemory->AdapterMemory()));
  return VideoMemory;
}

bool AnyTestFailed(const TRunRecord& Record) {
  return std::any_of(Record.Tests.begin(), Record.Tests.end(),
                     [](const TTestRecord& Test) { return Test.Status == TTestStatus::Failed; });
}

// The options, or the exit status of a command line that cannot run.
std::optional<TConsoleOptions> ParseOrExplain(const std::string& ProgramName, const std::vector<std::string>& Arguments,
                                              const TChartPngPainter& PaintPng, std::ostream& Err) {
  TConsoleParse Parse = ParseConsoleArguments(Arguments);
  // Found out before the run, not after it.
  if (Parse.Options && !PaintPng && ChartFileKindOf(Parse.Options->ChartFile) == TChartFileKind::Png)
    Parse = {std::nullopt, "--chart cannot write PNG: this velmora was built without its window, and without Qt, "
                           "which draws it; name an .svg file"};
  if (!Parse.Options) Err << ProgramName << ": " << Parse.Error << "\n" << "Try '" << ProgramName << " --help'\n";
  return Parse.Options;
}

// What the console answers without running a test: help, version, the comparison of two files and
// the list of devices. Empty when it is to run tests.
std::optional<int> AnswerWithoutRunning(const std::string& ProgramName, const TConsoleOptions& Options,
                                        std::ostream& Out, std::ostream& Err,
                                        const TGraphicsInterfaceFactory& OpenGraphics,
                                        const std::string& OpenCLLibraryName) {
  if (Options.Help) return PrintText(ProgramName, ConsoleUsage(ProgramName), Out, Err);
  if (Options.Version) return PrintVersion(ProgramName, Out, Err);
  if (Options.Compare.size() == 2) return CompareFiles(ProgramName, Options.Compare[0], Options.Compare[1], Out, Err);
  if (Options.ListDevices) {
    if (!OpenCLLibraryHandle) LoadOpenCL(OpenCLLibraryName);
    ListGraphicsAdapters(OpenGraphics ? OpenGraphics() : nullptr, Out);
    return ListOpenCLDevices(Out) ? ExitCompleted : ExitFailed;
  }
  return std::nullopt;
}

// With --compare BASE: BASE's record, whose settings Options then takes. False, after one line on
// Err, when BASE cannot be read or its settings cannot be run.
bool TakeBase(const std::string& ProgramName, TConsoleOptions& Options, std::optional<TRunRecord>& Base,
              std::ostream& Err) {
  if (Options.Compare.size() != 1) return true;
  Base = ReadResultsFile(ProgramName, Options.Compare[0], Err);
  if (!Base) return false;
  if (const std::optional<std::string> Why = TakeSettingsOf(*Base, Options)) {
    Err << ProgramName << ": cannot run with the settings of " << Options.Compare[0] << ": " << *Why << "\n";
    return false;
  }
  return true;
}

// The settings of the run, with the OpenCL choices where a test runs on OpenCL.
TBenchmarkSettings SettingsOfRun(const TConsoleOptions& Options, std::stop_token StopToken) {
  TBenchmarkSettings Settings;
  Settings.MemorySize = MegabytesToBytes(Options.SizeMB);
  Settings.Passes = Options.Passes;
  Settings.Threads = Options.Threads.value_or(0);
  Settings.StopToken = std::move(StopToken);
  if (AnyUsesOpenCL(Options.Tests)) {
    const TOpenCLChoice Choice = ChooseOpenCL(Options);
    Settings.OpenCLPlatform = Choice.Platform;
    Settings.OpenCLDevice = Choice.Device;
    Settings.OpenCLComputeCoreCount = Choice.Cores;
  }
  return Settings;
}

// Before any test: a results or chart file that cannot be written, or (with OpenCL loaded for a test
// that runs on it) an OpenCL index that names nothing. False, after one line on Err, for either.
bool CheckBeforeTheRun(const std::string& ProgramName, const TConsoleOptions& Options, std::ostream& Err) {
  for (const auto& [Option, Name] : {std::pair{"--json", &Options.JsonFile}, std::pair{"--csv", &Options.CsvFile},
                                     std::pair{"--chart", &Options.ChartFile}})
    if (!Name->empty())
      if (const std::optional<std::string> Problem = OutputFileProblem(*Name)) {
        Err << ProgramName << ": cannot write " << Option << " " << *Name << ": " << *Problem << "\n";
        return false;
      }
  if (const std::optional<std::string> Problem = OpenCLChoiceProblem(Options)) {
    Err << ProgramName << ": " << *Problem << "\n";
    return false;
  }
  return true;
}

// The start-up lines, every test, and the closing peaks of the tests that ran.
void RunAndReport(const TConsoleOptions& Options, const TBenchmarkSettings& Settings, TConsoleReporter& Reporter,
                  const TGraphicsInterfaceFactory& OpenGraphics, const std::string& FileVersion) {
  const std::unique_ptr<TVraxDirect3D9> VideoMemory = StartUp(Reporter, OpenGraphics, FileVersion);
  for (const TBenchmarkType Test : Options.Tests) {
    // Nobody reads a log that cannot be written: the tests left are not run.
    if (Reporter.OutputFailed()) {
      Reporter.TestStarted(Test, Settings.MemorySize);
      Reporter.TestEnded(TTestStatus::Skipped, "The log could not be written");
      continue;
    }
    RunBenchmarkTests(Test, Settings, Reporter, VideoMemory.get());
  }
  const auto ConsoleName = [](TBenchmarkType Type) { return std::string(FindBenchmarkTest(Type)->ConsoleName); };
  if (const std::string Skipped = SkippedTestsLine(Reporter.Record(), ConsoleName); !Skipped.empty())
    Reporter.Log(Skipped);
  Reporter.Log("");
  // The peaks of the tests that ran; a stopped run leaves out those it never started.
  for (const TTestRecord& Test : Reporter.Record().Tests)
    if (Test.Status != TTestStatus::Skipped)
      Reporter.Log(std::string(FindBenchmarkTest(Test.Type)->PeakCaption) + " " + Reporter.Result(Test.Type));
  // A failure whose error names no cause gets the lines that did: "gfx-write failed: ... (GFX RAM
  // block of 4.00 GB does not fit: ...)".
  for (const TTestRecord& Test : Reporter.Record().Tests)
    if (Test.Status == TTestStatus::Failed && !Test.Reason.empty()) Reporter.Log(ConsoleName(Test.Type) + " " + OutcomeText(Test));
}

// The results files and the chart that the options name. False when one could not be written.
bool WriteOutputs(const std::string& ProgramName, const TConsoleOptions& Options, const TRunRecord& Record,
                  const TChartPngPainter& PaintPng, std::ostream& Out, std::ostream& Err) {
  bool Written = true;
  if (!Options.JsonFile.empty()) Written &= WriteResultsOutput(ProgramName, Options.JsonFile, RunRecordJson(Record), Out, Err);
  if (!Options.CsvFile.empty()) Written &= WriteResultsOutput(ProgramName, Options.CsvFile, RunRecordCsv(Record), Out, Err);
  if (!Options.ChartFile.empty()) Written &= WriteChartFile(ProgramName, Options.ChartFile, Record, PaintPng, Err);
  return Written;
}

// After the run with --compare BASE: the comparison of BASE with it, in the log.
void CompareWithBase(TConsoleReporter& Reporter, const std::optional<TRunRecord>& Base, const std::string& BaseName,
                     const TRunRecord& Record) {
  if (!Base) return;
  Reporter.Log("");
  for (const std::string& Line : ComparisonLines(*Base, BaseName, Record, "this run", CompareRuns(*Base, Record)))
    Reporter.Log(Line);
}

// Runs the tests of Options and writes what it names; the exit status.
int RunTests(const std::string& ProgramName, const TConsoleOptions& Options, const std::optional<TRunRecord>& Base,
             std::ostream& Out, std::ostream& Err, const TGraphicsInterfaceFactory& OpenGraphics,
             const std::string& OpenCLLibraryName, const TChartPngPainter& PaintPng) {
  // From here on Ctrl-C and SIGTERM stop the run after the current pass. Set up before the OpenCL
  // runtime or the Vulkan driver starts a thread, since a thread takes its blocked signals from
  // the thread that starts it.
  const TConsoleStopSignals Signals(Err);
  if (AnyUsesOpenCL(Options.Tests) && !OpenCLLibraryHandle) LoadOpenCL(OpenCLLibraryName);
  if (!CheckBeforeTheRun(ProgramName, Options, Err)) return ExitUsage;
  const TBenchmarkSettings Settings = SettingsOfRun(Options, Signals.Token());
  // With the results on standard output, the log goes to standard error.
  const bool ResultsOnOut = Options.JsonFile == "-" || Options.CsvFile == "-";
  const std::string FileVersion = ConsoleFileVersion();
  TConsoleReporter Reporter(ResultsOnOut ? Err : Out, DescribeRun(FileVersion), {Options.Tests, Settings});
  RunAndReport(Options, Settings, Reporter, OpenGraphics, FileVersion);
  const TRunRecord Record = Reporter.TakeRecord();
  CompareWithBase(Reporter, Base, Options.Compare.empty() ? "" : Options.Compare[0], Record);
  bool Written = WriteOutputs(ProgramName, Options, Record, PaintPng, Out, Err);
  if (Reporter.OutputFailed()) {
    Err << ProgramName << ": could not write the log to standard " << (ResultsOnOut ? "error" : "output") << ": "
        << WriteErrorText(Reporter.OutputError()) << "\n";
    Written = false;
  }
  // As a shell reports a program ended by the signal: 130 for Ctrl-C, 143 for SIGTERM.
  if (Signals.Received() != 0) return 128 + Signals.Received();
  return Written && !AnyTestFailed(Record) ? ExitCompleted : ExitFailed;
}

}  // namespace

int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err, const TGraphicsInterfaceFactory& OpenGraphics, const std::string& OpenCLLibraryName,
               const TChartPngPainter& PaintPng) {
  std::optional<TConsoleOptions> Options = ParseOrExplain(ProgramName, Arguments, PaintPng, Err);
  if (!Options) return ExitUsage;
  if (const std::optional<int> Status = AnswerWithoutRunning(ProgramName, *Options, Out, Err, OpenGraphics,
                                                             OpenCLLibraryName))
    return *Status;
  std::optional<TRunRecord> Base;
  if (!TakeBase(ProgramName, *Options, Base, Err)) return ExitFailed;
  return RunTests(ProgramName, *Options, Base, Out, Err, OpenGraphics, OpenCLLibraryName, PaintPng);
}
