// What recorded passes add up to, the console's line on the passes after the first, and the
// verdicts of a comparison: all on recorded pass times, nothing timed.

#include "PassFigures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ResultTexts.h"
#include "RunComparison.h"
#include "ScopedDecimalSeparator.h"

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;

// A test whose passes each moved 1 GiB at the given rates in GiB/s (0: no time reported).
TTestRecord Recorded(std::vector<double> Rates, TTestStatus Status = TTestStatus::Completed,
                     TBenchmarkType Type = bmSystemRAMRead) {
  TTestRecord Test;
  Test.Type = Type;
  Test.Status = Status;
  for (const double Rate : Rates)
    Test.Passes.push_back({Rate > 0 ? static_cast<std::uint64_t>(std::llround(1e9 / Rate)) : 0, GiB});
  return Test;
}

TEST(PassFigures, TheSpreadIsOfThePassesAfterTheFirst) {
  // A slow first pass, then 1, 0.5 and 2 GiB/s.
  const std::optional<TTestFigures> Figures = TestFigures(Recorded({0.25, 1.0, 0.5, 2.0}));
  ASSERT_TRUE(Figures);
  EXPECT_DOUBLE_EQ(*Figures->FirstPassRate, 0.25 * GiB);
  ASSERT_TRUE(Figures->Warm);
  EXPECT_EQ(Figures->Warm->Count, 3u);
  EXPECT_DOUBLE_EQ(Figures->Warm->Median, 1.0 * GiB);
  EXPECT_DOUBLE_EQ(Figures->Warm->Minimum, 0.5 * GiB);
  EXPECT_DOUBLE_EQ(Figures->Warm->Maximum, 2.0 * GiB);
  // Sample standard deviation of 1, 0.5, 2 over their mean 7/6.
  const double Mean = 7.0 / 6.0;
  const double Deviation =
      std::sqrt((std::pow(1.0 - Mean, 2) + std::pow(0.5 - Mean, 2) + std::pow(2.0 - Mean, 2)) / 2.0);
  EXPECT_NEAR(*Figures->Warm->CoefficientOfVariation, Deviation / Mean, 1e-9);
  // The log's rule: the bytes of a pass over the mean time, 4 GiB over the 7.5 s of the passes.
  EXPECT_DOUBLE_EQ(Figures->AverageNanoseconds, 7.5e9 / 4);
  EXPECT_NEAR(Figures->AverageRate, 4.0 * GiB / 7.5, 1e-3);
  EXPECT_EQ(Figures->PeakPass, 4u);
  EXPECT_DOUBLE_EQ(Figures->PeakRate, 2.0 * GiB);
}

TEST(PassFigures, EdgeCasesOfMediansPeaksAndMissingTimes) {
  // An even count takes the mean of the middle two; equal fastest passes keep the earlier.
  const std::optional<TTestFigures> Even = TestFigures(Recorded({0.5, 1.0, 2.0, 2.0, 1.0}));
  ASSERT_TRUE(Even && Even->Warm);
  EXPECT_DOUBLE_EQ(Even->Warm->Median, 1.5 * GiB);
  EXPECT_EQ(Even->PeakPass, 3u);
  // Two passes: one after the first, so no spread; one pass: none after the first.
  const std::optional<TTestFigures> Two = TestFigures(Recorded({0.5, 1.0}));
  ASSERT_TRUE(Two && Two->Warm);
  EXPECT_EQ(Two->Warm->Count, 1u);
  EXPECT_FALSE(Two->Warm->CoefficientOfVariation);
  const std::optional<TTestFigures> One = TestFigures(Recorded({0.5}));
  ASSERT_TRUE(One);
  EXPECT_FALSE(One->Warm);
  // Passes without a time count nowhere.
  const std::optional<TTestFigures> Untimed = TestFigures(Recorded({0, 1.0, 0, 2.0}));
  ASSERT_TRUE(Untimed && Untimed->Warm);
  EXPECT_FALSE(Untimed->FirstPassRate);
  EXPECT_EQ(Untimed->Warm->Count, 2u);
  EXPECT_EQ(Untimed->PeakPass, 4u);
  EXPECT_FALSE(TestFigures(Recorded({0, 0})));
  // A test that did not complete has no average or peak, whatever it timed.
  EXPECT_FALSE(TestFigures(Recorded({1.0, 1.0}, TTestStatus::Failed)));
  EXPECT_FALSE(TestFigures(Recorded({1.0, 1.0}, TTestStatus::Stopped)));
}

TEST(WarmPassLine, SaysTheMedianAndSpreadAfterTheFirstPassAndTheFirstPassItself) {
  struct TCase {
    std::vector<double> Rates;
    TTestStatus Status;
    const char* Separator;
    const char* Line;
  };
  const TCase Cases[] = {
      {{0.25, 1.0, 0.5, 2.0}, TTestStatus::Completed, ".",
       "Passes after the first (3): median 1.00 GB/s, min 512.00 MB/s, max 2.00 GB/s, CV 65.5 %; first pass "
       "256.00 MB/s"},
      {{0.25, 1.0, 0.5, 2.0}, TTestStatus::Completed, ",",
       "Passes after the first (3): median 1,00 GB/s, min 512,00 MB/s, max 2,00 GB/s, CV 65,5 %; first pass "
       "256,00 MB/s"},
      {{0.25, 1.0}, TTestStatus::Completed, ".",
       "Passes after the first (1): 1.00 GB/s, too few for a spread; first pass 256.00 MB/s"},
      {{0.25}, TTestStatus::Completed, ".", "No timed pass after the first, so no median or spread; first pass 256.00 MB/s"},
      {{0, 1.0, 1.0}, TTestStatus::Completed, ".",
       "Passes after the first (2): median 1.00 GB/s, min 1.00 GB/s, max 1.00 GB/s, CV 0.0 %; the first pass "
       "reported no time"},
      {{1.0, 1.0}, TTestStatus::Failed, ".", ""},
  };
  for (const TCase& Case : Cases) {
    const TScopedDecimalSeparator Separator(Case.Separator);
    EXPECT_EQ(WarmPassLine(Recorded(Case.Rates, Case.Status)), Case.Line);
  }
}

TEST(RunComparison, MarksAChangeWithinTheSpreadOfBothRunsAsNoise) {
  struct TCase {
    const char* Name;
    TTestRecord Base;
    TTestRecord New;
    TVerdict Verdict;
    const char* Reason;
  };
  const TCase Cases[] = {
      // Spreads of about 2 % each; the median moved by 1 %.
      {"within noise", Recorded({0.5, 1.00, 1.02, 0.98}), Recorded({0.5, 1.01, 1.03, 0.99}), TVerdict::WithinNoise, ""},
      {"faster", Recorded({0.5, 1.00, 1.01, 0.99}), Recorded({0.5, 1.20, 1.21, 1.19}), TVerdict::Faster, ""},
      {"slower", Recorded({0.5, 1.00, 1.01, 0.99}), Recorded({0.5, 0.80, 0.81, 0.79}), TVerdict::Slower, ""},
      // A slow first pass moves the peak nowhere near the medians, and counts in neither.
      {"first pass ignored", Recorded({0.1, 1.00, 1.01, 0.99}), Recorded({0.9, 1.00, 1.01, 0.99}),
       TVerdict::WithinNoise, ""},
      // A steady base and a noisy new run: the new run's spread alone covers 10 %.
      {"noisy new run", Recorded({1.0, 1.00, 1.00, 1.00}), Recorded({1.0, 1.3, 1.1, 0.9}), TVerdict::WithinNoise, ""},
      {"two passes: no spread", Recorded({0.5, 1.0}), Recorded({0.5, 2.0}), TVerdict::SpreadUnknown, ""},
      {"failed in the new run", Recorded({0.5, 1.0, 1.0}), Recorded({}, TTestStatus::Failed), TVerdict::NotCompared,
       "failed in the new run"},
      {"skipped in the base run", Recorded({}, TTestStatus::Skipped), Recorded({0.5, 1.0, 1.0}),
       TVerdict::NotCompared, "skipped in the base run"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TTestComparison Comparison = CompareTests(Case.Base, Case.New);
    EXPECT_EQ(Comparison.Verdict, Case.Verdict);
    EXPECT_EQ(Comparison.Reason, Case.Reason);
  }
  const TTestComparison Faster = CompareTests(Recorded({0.5, 1.00, 1.01, 0.99}), Recorded({0.5, 1.20, 1.21, 1.19}));
  EXPECT_NEAR(*Faster.MedianChange(), 0.20, 1e-6);
  EXPECT_NEAR(*Faster.PeakChange(), 1.21 / 1.01 - 1.0, 1e-6);
}

TEST(RunComparison, PairsTheTestsBothRunsHaveInRunOrder) {
  TRunRecord Base, New;
  Base.Run = {"1.0.0.0", "2026-01-31T17:04:05Z"};
  New.Run = {"1.1.0.0", "2026-02-01T09:00:00Z"};
  Base.Tests = {Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmSystemRAMRead),
                Recorded({0.5, 1.0, 1.0}, TTestStatus::Completed, bmGFXRAMWrite)};
  New.Tests = {Recorded({0.5, 1.5, 1.5, 1.5}, TTestStatus::Completed, bmSystemRAMRead),
               Recorded({0.5, 1.0, 1.0}, TTestStatus::Completed, bmOpenCLRAMReadWrite),
               Recorded({}, TTestStatus::Failed, bmGFXRAMWrite)};
  const std::vector<TTestComparison> Comparisons = CompareRuns(Base, New);
  ASSERT_EQ(Comparisons.size(), 2u);
  EXPECT_EQ(Comparisons[0].Type, bmGFXRAMWrite);
  EXPECT_EQ(Comparisons[1].Type, bmSystemRAMRead);
  const std::vector<std::string> Lines = ComparisonLines(Base, "base.json", New, "new.json", Comparisons);
  ASSERT_GE(Lines.size(), 5u);
  EXPECT_EQ(Lines[0], "Base: base.json (Velmora 1.0.0.0, 2026-01-31T17:04:05Z)");
  EXPECT_EQ(Lines[1], "New:  new.json (Velmora 1.1.0.0, 2026-02-01T09:00:00Z)");
  EXPECT_EQ(Lines[3], "gfx-write  not compared: failed in the new run");
  EXPECT_EQ(Lines[4],
            "sys-read   1.00 GB/s    1.50 GB/s    +50.0 %   1.00 GB/s    1.50 GB/s    +50.0 %   faster (spread 0.0 %)");
}

// A test in only one run is named, one line each, whether or not the runs share another test.
TEST(RunComparison, NamesTheTestsOnlyOneRunHas) {
  TRunRecord Base, New;
  Base.Tests = {Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmSystemRAMWrite),
                Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmSystemRAMRead)};
  New.Tests = {Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmOpenCLRAMReadWrite),
               Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmSystemRAMRead)};
  const std::vector<std::string> Lines = ComparisonLines(Base, "base.json", New, "new.json", CompareRuns(Base, New));
  ASSERT_GE(Lines.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(Lines.end() - 2, Lines.end()),
            (std::vector<std::string>{"opencl: only in the new run, not compared",
                                      "sys-write: only in the base run, not compared"}));
  New.Tests.pop_back();
  const std::vector<std::string> Apart = ComparisonLines(Base, "base.json", New, "new.json", CompareRuns(Base, New));
  EXPECT_EQ(std::vector<std::string>(Apart.begin() + 2, Apart.end()),
            (std::vector<std::string>{"The two runs have no test in common.", "opencl: only in the new run, not compared",
                                      "sys-write: only in the base run, not compared",
                                      "sys-read: only in the base run, not compared"}));
}

// How a test without figures ended, and the line of a stopped run on what it did not run.
TEST(ResultTexts, SayHowATestEndedAndWhatAStoppedRunSkipped) {
  TTestRecord Failed = Recorded({}, TTestStatus::Failed, bmGFXRAMWrite);
  Failed.Message = "List index out of bounds (0).  TList is empty";
  Failed.Reason = "GFX RAM block of 4.00 GB does not fit: this adapter has only 2.00 GB of free memory";
  EXPECT_EQ(OutcomeText(Failed),
            "failed: List index out of bounds (0).  TList is empty (GFX RAM block of 4.00 GB does not fit: this "
            "adapter has only 2.00 GB of free memory)");
  TTestRecord Stopped = Recorded({1.0}, TTestStatus::Stopped, bmSystemRAMWrite);
  Stopped.Message = "Stopped by the user after 1 of 5 passes.";
  EXPECT_EQ(OutcomeText(Stopped), "stopped: Stopped by the user after 1 of 5 passes.");

  TRunRecord Run;
  const auto Name = [](TBenchmarkType Type) { return Type == bmSystemRAMWrite ? "Write" : "Read"; };
  EXPECT_EQ(SkippedTestsLine(Run, Name), "");
  Run.Tests = {Stopped, Recorded({}, TTestStatus::Skipped, bmSystemRAMRead)};
  EXPECT_EQ(SkippedTestsLine(Run, Name), "Stopped: 1 test not run (Read)");
  Run.Tests.push_back(Recorded({}, TTestStatus::Skipped, bmSystemRAMWrite));
  EXPECT_EQ(SkippedTestsLine(Run, Name), "Stopped: 2 tests not run (Read, Write)");
}

// Names longer than the column keep the figures after them in line.
TEST(RunComparison, ALongTestNameWidensTheColumnOfNames) {
  TRunRecord Base, New;
  Base.Tests = {Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmSystemRAMRead),
                Recorded({0.5, 1.0, 1.0, 1.0}, TTestStatus::Completed, bmOpenCLHostToDevicePageable)};
  New.Tests = Base.Tests;
  const std::vector<std::string> Lines = ComparisonLines(Base, "base.json", New, "new.json", CompareRuns(Base, New));
  ASSERT_GE(Lines.size(), 5u);
  EXPECT_EQ(Lines[2].substr(0, 29), "Test                Peak base");
  EXPECT_EQ(Lines[3].substr(0, 29), "sys-read            1.00 GB/s");
  EXPECT_EQ(Lines[4].substr(0, 29), "opencl-h2d-pageable 1.00 GB/s");
}

}  // namespace
