#pragma once
// The chart of a run's passes: one series per test, pass number against rate from zero up, the
// first pass marked, and the median of the passes after the first drawn across the plot. Laid out
// here for a size and drawn on any canvas, so that the window, its PNG and the console's files
// show the same chart.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ChartCanvas.h"
#include "RunRecord.h"

// The size of the chart the console writes, in pixels.
constexpr double PassChartFileWidth = 960;
constexpr double PassChartFileHeight = 540;

struct TChartSeries {
  TBenchmarkType Type = bmAll;
  std::string Name;  // the test's console name
  TChartColour Colour;
  // The timed passes in pass order; a pass that reported no time ends one run and starts the next.
  std::vector<std::vector<TChartPoint>> Runs;
  std::optional<TChartPoint> FirstPass;  // where the first pass lies, when it reported a time
  std::optional<double> Median;          // bytes per second, of the timed passes after the first
  std::string Note;                      // the legend's line under the name: "median 11.53 GB/s"
};

struct TChartTick {
  double Position = 0;  // pixels: x for a pass, y for a rate
  std::string Label;
};

struct TPassChart {
  double Width = 0;
  double Height = 0;
  TChartRect Plot;
  std::string Title;
  std::string Subtitle;  // the block, the passes and when the run started, as far as known
  std::string RateUnit;  // "GB/s": what the rate ticks count
  std::vector<TChartTick> PassTicks;
  std::vector<TChartTick> RateTicks;
  std::vector<TChartSeries> Series;  // one per test of the record, in run order
  bool PassDots = true;              // a dot on every pass, where passes lie far enough apart
  std::string EmptyNote;             // across the plot while no pass has a time
  std::int32_t PassCount = 1;        // the x axis holds passes 1 to PassCount
  double TopRate = 1;                // bytes per second at the top of the plot

  // Where pass Pass and a rate lie.
  double PassX(double Pass) const;
  double RateY(double BytesPerSecond) const;
};

// The chart of Record at Width x Height pixels. LastTestRunning: the run is under way and its last
// test has not ended yet. The x axis holds the passes the run's settings ask for, so that a chart
// that fills as passes come does not rescale along it.
TPassChart LayOutPassChart(const TRunRecord& Record, double Width, double Height, bool LastTestRunning = false);

void DrawPassChart(const TPassChart& Chart, TChartCanvas& Canvas);

// A test's colour, the same in every run and every picture.
TChartColour SeriesColour(TBenchmarkType Type);
