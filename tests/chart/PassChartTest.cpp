// The layout of the pass chart: where every pass, first-pass mark and median lies, what the axes
// and the legend say, for finished runs and for a run under way.

#include <gtest/gtest.h>

#include "TestTable.h"

#include <set>
#include <tuple>

#include "ChartRecords.h"
#include "PassChart.h"
#include "PassFigures.h"
#include "ScopedDecimalSeparator.h"

namespace {

const TChartSeries& SeriesOf(const TPassChart& Chart, const std::string& Name) {
  for (const TChartSeries& Series : Chart.Series)
    if (Series.Name == Name) return Series;
  throw std::runtime_error("no series " + Name);
}

std::vector<std::string> Labels(const std::vector<TChartTick>& Ticks) {
  std::vector<std::string> Texts;
  for (const TChartTick& Tick : Ticks) Texts.push_back(Tick.Label);
  return Texts;
}

TEST(PassChart, HasOneSeriesPerTestInRunOrderEachInAColourOfItsOwn) {
  const TPassChart Chart = LayOutPassChart(ThreeTestRun(), PassChartFileWidth, PassChartFileHeight);
  ASSERT_EQ(Chart.Series.size(), 3u);
  EXPECT_EQ(Chart.Series[0].Name, "opencl");
  EXPECT_EQ(Chart.Series[1].Name, "sys-write");
  EXPECT_EQ(Chart.Series[2].Name, "sys-read");
  // Every test of the table has its own colour, and keeps it from run to run.
  std::set<std::tuple<int, int, int>> Colours;
  for (const TBenchmarkTest& Test : BenchmarkTests()) {
    const TChartColour Colour = SeriesColour(Test.Type);
    Colours.insert({Colour.Red, Colour.Green, Colour.Blue});
  }
  EXPECT_EQ(Colours.size(), BenchmarkTests().size());
  for (const TChartSeries& Series : Chart.Series) EXPECT_EQ(Series.Colour, SeriesColour(Series.Type));
}

TEST(PassChart, EveryTimedPassLiesAtItsNumberAndRateOnAxesFromZero) {
  const TPassChart Chart = LayOutPassChart(ThreeTestRun(), PassChartFileWidth, PassChartFileHeight);
  // 12.4 GiB/s is the fastest pass: the rate axis runs from 0 to 15 GB/s in steps of 5.
  EXPECT_EQ(Chart.RateUnit, "GB/s");
  EXPECT_DOUBLE_EQ(Chart.TopRate, 15 * GiB);
  EXPECT_EQ(Labels(Chart.RateTicks), (std::vector<std::string>{"0", "5", "10", "15"}));
  EXPECT_DOUBLE_EQ(Chart.RateY(0), Chart.Plot.Bottom());
  EXPECT_DOUBLE_EQ(Chart.RateY(15 * GiB), Chart.Plot.Top);
  EXPECT_DOUBLE_EQ(Chart.RateTicks[1].Position, Chart.RateY(5 * GiB));
  EXPECT_EQ(Chart.PassCount, 5);
  EXPECT_EQ(Labels(Chart.PassTicks), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_TRUE(Chart.PassDots);

  const TChartSeries& Write = SeriesOf(Chart, "sys-write");
  ASSERT_EQ(Write.Runs.size(), 1u);
  const double Rates[] = {2.0, 5.0, 5.2, 4.9, 5.1};
  ASSERT_EQ(Write.Runs[0].size(), 5u);
  const double Step = Chart.PassX(2) - Chart.PassX(1);
  EXPECT_GT(Step, 0);
  EXPECT_GT(Chart.PassX(1), Chart.Plot.Left);
  EXPECT_LT(Chart.PassX(5), Chart.Plot.Right());
  for (std::size_t Pass = 0; Pass < 5; ++Pass) {
    EXPECT_NEAR(Write.Runs[0][Pass].X, Chart.PassX(1) + static_cast<double>(Pass) * Step, 1e-9) << Pass;
    EXPECT_NEAR(Write.Runs[0][Pass].Y, Chart.RateY(Rates[Pass] * GiB), 1e-6) << Pass;
    EXPECT_NEAR(Chart.PassTicks[Pass].Position, Write.Runs[0][Pass].X, 1e-9);
  }
  ASSERT_TRUE(Write.FirstPass);
  EXPECT_DOUBLE_EQ(Write.FirstPass->Y, Write.Runs[0][0].Y);
  EXPECT_EQ(Chart.Title, "The rate of every pass");
  EXPECT_EQ(Chart.Subtitle, "256.00 MB block, 5 passes, 2026-01-31 17:04:05 UTC");
  EXPECT_EQ(Chart.EmptyNote, "");
}

TEST(PassChart, APassWithoutATimeBreaksTheLineAndCountsInNoMedian) {
  const TPassChart Chart = LayOutPassChart(ThreeTestRun(), PassChartFileWidth, PassChartFileHeight);
  const TChartSeries& OpenCL = SeriesOf(Chart, "opencl");
  ASSERT_EQ(OpenCL.Runs.size(), 2u);
  ASSERT_EQ(OpenCL.Runs[0].size(), 2u);
  ASSERT_EQ(OpenCL.Runs[1].size(), 2u);
  EXPECT_DOUBLE_EQ(OpenCL.Runs[1][0].X, Chart.PassX(4));
  ASSERT_TRUE(OpenCL.Median);
  EXPECT_NEAR(*OpenCL.Median / GiB, 12.2, 1e-6);
}

TEST(PassChart, TheMedianIsTheRecordsFigureOfThePassesAfterTheFirst) {
  const TRunRecord Record = ThreeTestRun();
  const TPassChart Chart = LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight);
  for (std::size_t Index = 0; Index < Record.Tests.size(); ++Index) {
    const std::optional<TTestFigures> Figures = TestFigures(Record.Tests[Index]);
    ASSERT_TRUE(Figures && Figures->Warm);
    ASSERT_TRUE(Chart.Series[Index].Median);
    EXPECT_EQ(*Chart.Series[Index].Median, Figures->Warm->Median) << Index;
  }
  // Not the mean of every pass, which the slow first pass pulls down to 4.44 GiB/s.
  EXPECT_NEAR(*SeriesOf(Chart, "sys-write").Median / GiB, 5.05, 1e-6);
  EXPECT_EQ(SeriesOf(Chart, "sys-write").Note, "median 5.05 GB/s");
  EXPECT_EQ(SeriesOf(Chart, "sys-read").Note, "median 8.35 GB/s");
}

TEST(PassChart, TheLegendSaysHowATestEndedOrThatItIsRunning) {
  struct TCase {
    TTestRecord Test;
    bool Running;
    const char* Note;
    bool Median;
  };
  const TCase Cases[] = {
      {TestAt(bmSystemRAMRead, {8.0, 8.4, 8.2}), false, "median 8.30 GB/s", true},
      {TestAt(bmOpenCLRAMReadWrite, {8.0, std::nullopt}), false, "no timed pass after the first", false},
      {TestAt(bmSystemRAMRead, {8.0, 8.4}, TTestStatus::Stopped), false, "stopped, median 8.40 GB/s", true},
      {TestAt(bmSystemRAMRead, {}, TTestStatus::Failed), false, "failed", false},
      {TestAt(bmSystemRAMRead, {}, TTestStatus::Skipped), false, "skipped", false},
      {TestAt(bmSystemRAMRead, {8.0}, TTestStatus::Failed), true, "running", false},
      {TestAt(bmSystemRAMRead, {8.0, 8.4}, TTestStatus::Failed), true, "median 8.40 GB/s so far", true},
  };
  for (const TCase& Case : Cases) {
    TRunRecord Record;
    Record.Tests = {Case.Test};
    const TPassChart Chart = LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight, Case.Running);
    ASSERT_EQ(Chart.Series.size(), 1u);
    EXPECT_EQ(Chart.Series[0].Note, Case.Note);
    EXPECT_EQ(Chart.Series[0].Median.has_value(), Case.Median) << Case.Note;
  }
}

TEST(PassChart, ARunUnderWayKeepsTheAxisOfItsPassesAndAnEmptyOneSaysWhy) {
  TRunRecord Record = ThreeTestRun();
  Record.Tests = {TestAt(bmSystemRAMWrite, {2.0, 5.0}, TTestStatus::Failed)};
  const TPassChart Live = LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight, true);
  // The axis holds the 5 passes the run asks for, so it does not move as passes come.
  EXPECT_EQ(Live.PassCount, 5);
  EXPECT_EQ(Live.Series[0].Runs[0].size(), 2u);
  EXPECT_EQ(Live.EmptyNote, "");

  struct TCase {
    std::vector<TTestRecord> Tests;
    bool Running;
    const char* Note;
  };
  const TCase Cases[] = {
      {{}, false, "The passes of a run appear here as they are timed"},
      {{TestAt(bmSystemRAMRead, {}, TTestStatus::Failed)}, true, "The passes of a run appear here as they are timed"},
      {{TestAt(bmSystemRAMRead, {}, TTestStatus::Failed)}, false, "No pass of this run was timed"},
  };
  for (const TCase& Case : Cases) {
    Record.Tests = Case.Tests;
    const TPassChart Chart = LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight, Case.Running);
    EXPECT_EQ(Chart.EmptyNote, Case.Note);
    EXPECT_FALSE(Chart.RateTicks.empty());
    EXPECT_EQ(Chart.PassCount, 5);
  }
}

TEST(PassChart, TheRateAxisEndsAtARoundFigureAboveTheFastestPassInItsUnit) {
  struct TCase {
    double Rate;  // bytes per second
    const char* Unit;
    double UnitBytes;
    double Top;  // in that unit
    const char* SecondTick;
  };
  const TCase Cases[] = {
      {500, "Byte/s", 1, 600, "200"},
      {3.0 * 1048576, "MB/s", 1048576, 4, "1"},
      {10 * GiB, "GB/s", GiB, 12.5, "2,5"},
      {45.4 * GiB, "GB/s", GiB, 50, "10"},
      {1.5 * 1024 * GiB, "TB/s", 1024 * GiB, 2, "0,5"},
  };
  // The figures read in the user's number format, as the log's do.
  const TScopedDecimalSeparator Comma(",");
  for (const TCase& Case : Cases) {
    TRunRecord Record;
    Record.Tests = {TestAt(bmSystemRAMRead, {Case.Rate / GiB, Case.Rate / GiB})};
    const TPassChart Chart = LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight);
    EXPECT_EQ(Chart.RateUnit, Case.Unit) << Case.Rate;
    EXPECT_NEAR(Chart.TopRate / Case.UnitBytes, Case.Top, 1e-9) << Case.Rate;
    ASSERT_GE(Chart.RateTicks.size(), 2u);
    EXPECT_EQ(Chart.RateTicks[1].Label, Case.SecondTick) << Case.Rate;
    EXPECT_LE(Chart.RateTicks.size(), 9u);
  }
}

TEST(PassChart, ManyPassesGetRoundTicksAndALineWithoutDots) {
  TRunRecord Record;
  Record.Settings.Settings.Passes = 10000;
  Record.Tests = {TestAt(bmSystemRAMRead, {8.0, 8.4, 8.2})};
  const TPassChart Chart = LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight);
  EXPECT_EQ(Chart.PassCount, 10000);
  EXPECT_FALSE(Chart.PassDots);
  EXPECT_EQ(Labels(Chart.PassTicks), (std::vector<std::string>{"1", "1000", "2000", "3000", "4000", "5000", "6000",
                                                               "7000", "8000", "9000", "10000"}));
  for (std::size_t Index = 1; Index < Chart.PassTicks.size(); ++Index)
    EXPECT_GT(Chart.PassTicks[Index].Position, Chart.PassTicks[Index - 1].Position);
}

}  // namespace
