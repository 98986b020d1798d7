#include "ConsoleFrontEnd.h"

#include "BenchmarkRun.h"
#include "ConsoleOptions.h"

void TConsoleReporter::Log(const std::string& Text) { FOut << Text << std::endl; }

void TConsoleReporter::SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) {
  if (!Finished && BenchmarkType != bmAll) FResults[BenchmarkType] = Text;
}

std::string TConsoleReporter::Result(TBenchmarkType BenchmarkType) const {
  const auto Found = FResults.find(BenchmarkType);
  return Found == FResults.end() ? "-" : Found->second;
}

std::string PeakCaption(TBenchmarkType BenchmarkType) {
  switch (BenchmarkType) {
    case bmGFXRAMWrite:
      return "Peak write GFX RAM:";
    case bmGFXRAMRead:
      return "Peak read GFX RAM:";
    case bmOpenCLRAMReadWrite:
      return "Peak r&w GFX RAM:";
    case bmSystemRAMWrite:
      return "Peak write SYS RAM:";
    case bmSystemRAMRead:
      return "Peak read SYS RAM:";
    case bmAll:
      break;
  }
  return "";
}

int RunConsole(const std::string& ProgramName, const std::vector<std::string>& Arguments, std::ostream& Out,
               std::ostream& Err) {
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

  TBenchmarkSettings Settings;
  Settings.MemorySize = MegabytesToBytes(Options.SizeMB);
  Settings.Passes = Options.Passes;

  TConsoleReporter Reporter(Out);
  for (const TBenchmarkType Test : Options.Tests) RunBenchmarkTests(Test, Settings, Reporter);
  Out << "\n";
  for (const TBenchmarkType Test : Options.Tests) Out << PeakCaption(Test) << " " << Reporter.Result(Test) << "\n";
  Out.flush();
  return 0;
}
