#include "ConsoleFrontEnd.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "BenchmarkRun.h"
#include "BenchmarkTests.h"
#include "CL.h"
#include "ConsoleAdapters.h"
#include "ConsoleOpenCL.h"
#include "ConsoleOptions.h"
#include "ConsoleSignals.h"
#include "FileInformation.h"
#include "StartupLines.h"

void TConsoleReporter::Log(const std::string& Text) { FOut << Text << std::endl; }

void TConsoleReporter::SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) {
  if (!Finished && BenchmarkType != bmAll) FResults[BenchmarkType] = Text;
}

std::string TConsoleReporter::Result(TBenchmarkType BenchmarkType) const {
  const auto Found = FResults.find(BenchmarkType);
  return Found == FResults.end() ? "-" : Found->second;
}

std::string ConsoleFileVersion() {
  try {
    return ProgramFileVersion();
  } catch (const std::exception&) {
    // A damaged version table costs the title its number, not the run.
    return "";
  }
}

int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err, const TGraphicsInterfaceFactory& OpenGraphics, const std::string& OpenCLLibraryName) {
  const TConsoleParse Parse = ParseConsoleArguments(Arguments);
  if (!Parse.Options) {
    Err << ProgramName << ": " << Parse.Error << "\n" << ConsoleUsage(ProgramName);
    return 2;
  }
  const TConsoleOptions& Options = *Parse.Options;
  if (Options.Help) {
    Out << ConsoleUsage(ProgramName);
    return 0;
  }

  if (Options.ListDevices) {
    if (!OpenCLLibraryHandle) LoadOpenCL(OpenCLLibraryName);
    ListGraphicsAdapters(OpenGraphics ? OpenGraphics() : nullptr, Out);
    ListOpenCLDevices(Out);
    return 0;
  }

  // From here on Ctrl-C and SIGTERM stop the run after the current pass. Set up before the OpenCL
  // runtime or the Vulkan driver starts a thread, since a thread takes its blocked signals from
  // the thread that starts it.
  const TConsoleStopSignals Signals(Err);
  const bool UsesOpenCL =
      std::find(Options.Tests.begin(), Options.Tests.end(), bmOpenCLRAMReadWrite) != Options.Tests.end();
  if (UsesOpenCL && !OpenCLLibraryHandle) LoadOpenCL(OpenCLLibraryName);

  TBenchmarkSettings Settings;
  Settings.MemorySize = MegabytesToBytes(Options.SizeMB);
  Settings.Passes = Options.Passes;
  Settings.StopToken = Signals.Token();
  if (UsesOpenCL) {
    const TOpenCLChoice Choice = ChooseOpenCL(Options);
    Settings.OpenCLPlatform = Choice.Platform;
    Settings.OpenCLDevice = Choice.Device;
    Settings.OpenCLComputeCoreCount = Choice.Cores;
  }

  // The start-up lines the window writes, before any test.
  TConsoleReporter Reporter(Out);
  Reporter.Log(TitleLine(ConsoleFileVersion()));
  std::unique_ptr<TVraxDirect3D9> VideoMemory;
  try {
    VideoMemory = std::make_unique<TVraxDirect3D9>(false, OpenGraphics);
    Reporter.Log(AdapterLine(VideoMemory->D3DADAPTER_ID.Description, VideoMemory->MemoryAvailable()));
  } catch (const std::exception& Error) {
    // The run goes on; the GFX tests report that they have no allocator.
    VideoMemory.reset();
    Reporter.Log(Error.what());
  }
  Reporter.Log(GetProcessorName());
  if (VideoMemory) Reporter.Log(ReachLine(VideoMemory->AdapterMemory()));

  std::vector<TBenchmarkType> Started;
  for (const TBenchmarkType Test : Options.Tests)
    for (const TBenchmarkType Ran : RunBenchmarkTests(Test, Settings, Reporter, VideoMemory.get()))
      Started.push_back(Ran);
  // The peaks of the tests that ran; a stopped run leaves out those it never started.
  Out << "\n";
  for (const TBenchmarkType Test : Started)
    Out << FindBenchmarkTest(Test)->PeakCaption << " " << Reporter.Result(Test) << "\n";
  Out.flush();
  // As a shell reports a program ended by the signal: 130 for Ctrl-C, 143 for SIGTERM.
  return Signals.Received() == 0 ? 0 : 128 + Signals.Received();
}
