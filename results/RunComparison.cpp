#include "RunComparison.h"

#include <algorithm>
#include <cmath>

#include "PassFigures.h"
#include "ResultTexts.h"
#include "TestTable.h"

namespace {

std::optional<double> Change(const std::optional<double>& Base, const std::optional<double>& New) {
  if (!Base || !New || *Base == 0.0) return std::nullopt;
  return (*New - *Base) / *Base;
}

std::string RateOrDash(const std::optional<double>& Rate) { return Rate ? RateText(*Rate) : "-"; }
std::string ChangeOrDash(const std::optional<double>& Fraction) { return Fraction ? PercentText(*Fraction, true) : "-"; }

std::string VerdictText(const TTestComparison& Comparison) {
  const std::string Band = Comparison.Noise ? " (spread " + PercentText(*Comparison.Noise) + ")" : "";
  switch (Comparison.Verdict) {
    case TVerdict::Faster:
      return "faster" + Band;
    case TVerdict::Slower:
      return "slower" + Band;
    case TVerdict::WithinNoise:
      return "within noise" + Band;
    case TVerdict::SpreadUnknown:
      return "spread unknown: a run has fewer than 3 passes";
    case TVerdict::NotCompared:
      break;
  }
  return "not compared: " + Comparison.Reason;
}

std::string RunName(const TRunRecord& Run, const std::string& Name) {
  return Name + " (Velmora " + Run.Run.VelmoraVersion + ", " + Run.Run.StartTimeUTC + ")";
}

bool HasTest(const TRunRecord& Run, TBenchmarkType Type) {
  return std::any_of(Run.Tests.begin(), Run.Tests.end(), [Type](const TTestRecord& Test) { return Test.Type == Type; });
}

// One line for every test that only one of the runs has, in the table's order: nothing to compare
// it with, but a run that lacks a test the other has is worth knowing of.
void AddTestsOfOneRun(std::vector<std::string>& Lines, const TRunRecord& Base, const TRunRecord& New) {
  for (const TBenchmarkTest& Test : BenchmarkTests()) {
    const bool InBase = HasTest(Base, Test.Type), InNew = HasTest(New, Test.Type);
    if (InBase != InNew)
      Lines.push_back(std::string(Test.ConsoleName) + ": only in the " + (InBase ? "base" : "new") + " run, not compared");
  }
}

}  // namespace

std::optional<double> TTestComparison::PeakChange() const { return Change(BasePeak, NewPeak); }
std::optional<double> TTestComparison::MedianChange() const { return Change(BaseMedian, NewMedian); }

TTestComparison CompareTests(const TTestRecord& Base, const TTestRecord& New) {
  TTestComparison Comparison;
  Comparison.Type = Base.Type;
  const std::optional<TTestFigures> BaseFigures = TestFigures(Base);
  const std::optional<TTestFigures> NewFigures = TestFigures(New);
  if (!BaseFigures || !NewFigures) {
    const TTestRecord& Missing = BaseFigures ? New : Base;
    const std::string Run = std::string(" in the ") + (BaseFigures ? "new" : "base") + " run";
    Comparison.Reason = Missing.Status == TTestStatus::Completed ? "no timed pass" + Run
                                                                 : TestStatusName(Missing.Status) + Run;
    return Comparison;
  }
  Comparison.BasePeak = BaseFigures->PeakRate;
  Comparison.NewPeak = NewFigures->PeakRate;
  if (BaseFigures->Warm) Comparison.BaseMedian = BaseFigures->Warm->Median;
  if (NewFigures->Warm) Comparison.NewMedian = NewFigures->Warm->Median;
  const std::optional<double> MedianChange = Comparison.MedianChange();
  if (!MedianChange || !BaseFigures->Warm->CoefficientOfVariation || !NewFigures->Warm->CoefficientOfVariation) {
    Comparison.Verdict = TVerdict::SpreadUnknown;
    return Comparison;
  }
  Comparison.Noise = *BaseFigures->Warm->CoefficientOfVariation + *NewFigures->Warm->CoefficientOfVariation;
  // No change at all is no news either, even between two runs without any spread.
  if (std::fabs(*MedianChange) < *Comparison.Noise || *MedianChange == 0.0) Comparison.Verdict = TVerdict::WithinNoise;
  else Comparison.Verdict = *MedianChange > 0.0 ? TVerdict::Faster : TVerdict::Slower;
  return Comparison;
}

std::vector<TTestComparison> CompareRuns(const TRunRecord& Base, const TRunRecord& New) {
  std::vector<TTestComparison> Comparisons;
  for (const TBenchmarkTest& Test : BenchmarkTests()) {
    auto OfType = [&](const TTestRecord& Record) { return Record.Type == Test.Type; };
    const auto InBase = std::find_if(Base.Tests.begin(), Base.Tests.end(), OfType);
    const auto InNew = std::find_if(New.Tests.begin(), New.Tests.end(), OfType);
    if (InBase != Base.Tests.end() && InNew != New.Tests.end()) Comparisons.push_back(CompareTests(*InBase, *InNew));
  }
  return Comparisons;
}

std::vector<std::string> ComparisonLines(const TRunRecord& Base, const std::string& BaseName, const TRunRecord& New,
                                         const std::string& NewName, const std::vector<TTestComparison>& Comparisons) {
  std::vector<std::string> Lines{"Base: " + RunName(Base, BaseName), "New:  " + RunName(New, NewName)};
  if (Comparisons.empty()) {
    Lines.push_back("The two runs have no test in common.");
    AddTestsOfOneRun(Lines, Base, New);
    return Lines;
  }
  std::vector<TBenchmarkType> Types;
  for (const TTestComparison& Comparison : Comparisons) Types.push_back(Comparison.Type);
  const std::size_t NameWidth = TestColumnWidth(Types);
  Lines.push_back(ColumnText("Test", NameWidth) + ColumnText("Peak base", 13) + ColumnText("Peak new", 13) + ColumnText("Change", 10) +
                  ColumnText("Median base", 13) + ColumnText("Median new", 13) + ColumnText("Change", 10) + "Verdict");
  for (const TTestComparison& Comparison : Comparisons) {
    std::string Line = ColumnText(FindBenchmarkTest(Comparison.Type)->ConsoleName, NameWidth);
    if (Comparison.Verdict != TVerdict::NotCompared)
      Line += ColumnText(RateOrDash(Comparison.BasePeak), 13) + ColumnText(RateOrDash(Comparison.NewPeak), 13) +
              ColumnText(ChangeOrDash(Comparison.PeakChange()), 10) + ColumnText(RateOrDash(Comparison.BaseMedian), 13) +
              ColumnText(RateOrDash(Comparison.NewMedian), 13) + ColumnText(ChangeOrDash(Comparison.MedianChange()), 10);
    Lines.push_back(Line + VerdictText(Comparison));
  }
  Lines.push_back("Medians are of the passes after the first; a change is within noise when it is smaller than");
  Lines.push_back("the spread of the two runs (their coefficients of variation added).");
  AddTestsOfOneRun(Lines, Base, New);
  return Lines;
}
