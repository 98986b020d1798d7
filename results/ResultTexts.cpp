#include "ResultTexts.h"

#include <algorithm>

#include "FormatSettings.h"
#include "HelperQuobix.h"
#include "NumberFormat.h"
#include "PassFigures.h"
#include "TestTable.h"

namespace {

std::string Joined(const std::vector<std::string>& Items, const char* Separator) {
  std::string Text;
  for (const std::string& Item : Items) Text += (Text.empty() ? "" : Separator) + Item;
  return Text;
}

std::string FirstPassText(const TTestFigures& Figures) {
  return Figures.FirstPassRate ? "first pass " + RateText(*Figures.FirstPassRate) : "the first pass reported no time";
}

std::string TestLine(const TTestRecord& Test, std::size_t NameWidth) {
  std::string Line = ColumnText(FindBenchmarkTest(Test.Type)->ConsoleName, NameWidth);
  const std::optional<TTestFigures> Figures = TestFigures(Test);
  if (!Figures) return Line + OutcomeText(Test);
  Line += ColumnText(RateText(Figures->PeakRate), 13) + ColumnText(RateText(Figures->AverageRate), 13);
  if (Figures->Warm) {
    Line += ColumnText(RateText(Figures->Warm->Median), 13);
    Line += Figures->Warm->CoefficientOfVariation ? PercentText(*Figures->Warm->CoefficientOfVariation) : "-";
  } else {
    Line += ColumnText("-", 13) + "-";
  }
  return Line;
}

std::string DeviceLine(const TTestRecord& Test) {
  const std::string Name = FindBenchmarkTest(Test.Type)->ConsoleName;
  if (Test.GFX) {
    std::string Line = Name + ": " + Test.GFX->Adapter;
    if (!Test.GFX->DriverVersion.empty()) Line += ", driver " + Test.GFX->DriverVersion;
    if (const auto& Type = Test.GFX->MemoryType)
      Line += ", memory " + Joined(Type->Flags, "|") + " (heap " + std::to_string(Type->HeapIndex) + ", " +
              FormatByteSize(static_cast<std::int64_t>(Type->HeapSize)) + ")";
    return Line;
  }
  if (Test.OpenCL)
    return Name + ": " + Test.OpenCL->Device + " on " + Test.OpenCL->Platform +
           (Test.OpenCL->DriverVersion.empty() ? "" : ", driver " + Test.OpenCL->DriverVersion) + ", " +
           std::to_string(Test.OpenCL->WorkItems) + " work items";
  return "";
}

}  // namespace

std::string OutcomeText(const TTestRecord& Test) {
  std::string Text = TestStatusName(Test.Status);
  if (!Test.Message.empty()) Text += ": " + Test.Message;
  if (!Test.Reason.empty()) Text += " (" + Test.Reason + ")";
  return Text;
}

std::string ColumnText(std::string Text, std::size_t Width) {
  Text.resize(std::max(Text.size(), Width), ' ');
  return Text;
}

std::size_t TestColumnWidth(const std::vector<TBenchmarkType>& Types) {
  std::size_t Width = 11;
  for (const TBenchmarkType Type : Types)
    if (const TBenchmarkTest* Test = FindBenchmarkTest(Type))
      Width = std::max(Width, std::string_view(Test->ConsoleName).size() + 1);
  return Width;
}

std::string RateText(double BytesPerSecond) { return FormatByteSizeFloat(BytesPerSecond) + "/s"; }


std::string WarmPassLine(const TTestRecord& Test) {
  const std::optional<TTestFigures> Figures = TestFigures(Test);
  if (!Figures) return "";
  if (!Figures->Warm) return "No timed pass after the first, so no median or spread; " + FirstPassText(*Figures);
  const TWarmPassFigures& Warm = *Figures->Warm;
  const std::string Head = "Passes after the first (" + std::to_string(Warm.Count) + "): ";
  if (!Warm.CoefficientOfVariation)
    return Head + RateText(Warm.Median) + ", too few for a spread; " + FirstPassText(*Figures);
  return Head + "median " + RateText(Warm.Median) + ", min " + RateText(Warm.Minimum) + ", max " +
         RateText(Warm.Maximum) + ", CV " + PercentText(*Warm.CoefficientOfVariation) + "; " + FirstPassText(*Figures);
}

std::string SkippedTestsLine(const TRunRecord& Record, const std::function<std::string(TBenchmarkType)>& NameOf) {
  std::vector<std::string> Names;
  for (const TTestRecord& Test : Record.Tests)
    if (Test.Status == TTestStatus::Skipped) Names.push_back(NameOf(Test.Type));
  if (Names.empty()) return "";
  return "Stopped: " + std::to_string(Names.size()) + (Names.size() == 1 ? " test" : " tests") + " not run (" +
         Joined(Names, ", ") + ")";
}

std::string ResultsSummaryText(const TRunRecord& Record) {
  const TRunInfo& Run = Record.Run;
  const TBenchmarkSettings& Settings = Record.Settings.Settings;
  std::string Text = "Velmora " + Run.VelmoraVersion + ", run of " + Run.StartTimeUTC + "\n";
  Text += "Machine: " + (Run.HostName.empty() ? std::string("unnamed") : Run.HostName) + ", Linux " +
          Run.KernelRelease + ", " + std::to_string(Run.ProcessorCores) + " x " +
          (Run.ProcessorModel.empty() ? std::string("unknown processor") : Run.ProcessorModel);
  if (Run.TotalMemory) Text += ", " + FormatByteSize(static_cast<std::int64_t>(*Run.TotalMemory)) + " RAM";
  if (!Run.TransparentHugePages.empty()) Text += ", transparent huge pages " + Run.TransparentHugePages;
  Text += "\nSettings: " + FormatByteSize(Settings.MemorySize) + " block, " + std::to_string(Settings.Passes) +
          " passes\n\n";
  std::vector<TBenchmarkType> Types;
  for (const TTestRecord& Test : Record.Tests) Types.push_back(Test.Type);
  const std::size_t NameWidth = TestColumnWidth(Types);
  Text += ColumnText("Test", NameWidth) + ColumnText("Peak", 13) + ColumnText("Average", 13) + ColumnText("Median", 13) +
          "CV\n";
  for (const TTestRecord& Test : Record.Tests) Text += TestLine(Test, NameWidth) + "\n";
  Text += "(Median and CV: the passes after the first.)\n";
  bool First = true;
  for (const TTestRecord& Test : Record.Tests) {
    const std::string Line = DeviceLine(Test);
    if (Line.empty()) continue;
    Text += (First ? "\n" : "") + Line + "\n";
    First = false;
  }
  return Text;
}
