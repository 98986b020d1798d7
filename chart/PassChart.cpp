#include "PassChart.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "FormatSettings.h"
#include "HelperQuobix.h"
#include "NumberFormat.h"
#include "PassFigures.h"
#include "ResultTexts.h"
#include "TestTable.h"

namespace {

constexpr TChartColour Background{255, 255, 255};
constexpr TChartColour GridColour{227, 227, 227};
constexpr TChartColour AxisColour{85, 85, 85};
constexpr TChartColour TextColour{34, 34, 34};
constexpr TChartColour NoteColour{96, 96, 96};

// Set apart on white and from each other, in the order of the table of tests; grey is left out,
// as the grid and the axes are grey.
constexpr std::array<TChartColour, 12> Palette{{
    {31, 119, 180},   // blue
    {255, 127, 14},   // orange
    {44, 160, 44},    // green
    {214, 39, 40},    // red
    {148, 103, 189},  // purple
    {140, 86, 75},    // brown
    {227, 119, 194},  // pink
    {23, 190, 207},   // cyan
    {188, 189, 34},   // olive
    {57, 59, 121},    // indigo
    {0, 128, 128},    // teal
    {218, 165, 32},   // goldenrod
}};

// Room around the plot, in pixels.
constexpr double MarginLeft = 64;
constexpr double MarginTop = 56;
constexpr double MarginBottom = 48;
constexpr double MarginRight = 16;
constexpr double LegendWidth = 210;
constexpr double LegendGap = 24;
constexpr double LegendEntryHeight = 38;

constexpr double LineWidth = 2;
constexpr double DotRadius = 3;
constexpr double FirstPassHalfSide = 6;
constexpr double MinimumDotSpacing = 8;
constexpr double MinimumPassLabelSpacing = 24;
constexpr double MinimumPassTickSpacing = 40;

// The units of FormatByteSizeFloat, per second.
constexpr std::array<const char*, 7> RateUnits{"Byte/s", "KB/s", "MB/s", "GB/s", "TB/s", "PB/s", "EB/s"};

struct TRateScale {
  std::size_t Unit = 3;  // index into RateUnits
  double Step = 2;       // in that unit
  double Top = 10;       // in that unit
};

// The smallest of 1, 2, 2.5 and 5 times a power of ten that is at least Value.
double NiceStep(double Value) {
  const double Magnitude = std::pow(10.0, std::floor(std::log10(Value)));
  for (const double Multiple : {1.0, 2.0, 2.5, 5.0})
    if (Multiple * Magnitude >= Value * (1 - 1e-12)) return Multiple * Magnitude;
  return 10.0 * Magnitude;
}

// From zero to a round figure a little above the fastest pass, in about five steps.
TRateScale ScaleFor(double FastestRate) {
  TRateScale Scale;
  if (!(FastestRate > 0)) return Scale;  // nothing timed yet: 0 to 10 GB/s
  Scale.Unit = 0;
  while (Scale.Unit + 1 < RateUnits.size() && FastestRate >= std::pow(1024.0, static_cast<double>(Scale.Unit + 1)))
    ++Scale.Unit;
  const double Fastest = FastestRate / std::pow(1024.0, static_cast<double>(Scale.Unit)) * 1.05;
  Scale.Step = NiceStep(Fastest / 5);
  Scale.Top = std::ceil(Fastest / Scale.Step - 1e-9) * Scale.Step;
  return Scale;
}

std::string TestName(TBenchmarkType Type) {
  const TBenchmarkTest* Test = FindBenchmarkTest(Type);
  return Test ? Test->ConsoleName : "test " + std::to_string(static_cast<int>(Type));
}

std::string SeriesNote(const TTestRecord& Test, const std::optional<double>& Median, bool Running) {
  const std::string MedianText = Median ? "median " + RateText(*Median) : "";
  if (Running) return Median ? MedianText + " so far" : "running";
  if (Test.Status == TTestStatus::Completed) return Median ? MedianText : "no timed pass after the first";
  return std::string(TestStatusName(Test.Status)) + (Median ? ", " + MedianText : "");
}

TChartSeries LayOutSeries(const TPassChart& Chart, const TTestRecord& Test, bool Running) {
  TChartSeries Series;
  Series.Type = Test.Type;
  Series.Name = TestName(Test.Type);
  Series.Colour = SeriesColour(Test.Type);
  std::vector<TChartPoint> Run;
  for (std::size_t Index = 0; Index < Test.Passes.size(); ++Index) {
    const std::optional<double> Rate = PassRate(Test.Passes[Index]);
    if (!Rate) {
      if (!Run.empty()) Series.Runs.push_back(std::move(Run));
      Run.clear();
      continue;
    }
    const TChartPoint Point{Chart.PassX(static_cast<double>(Index + 1)), Chart.RateY(*Rate)};
    if (Index == 0) Series.FirstPass = Point;
    Run.push_back(Point);
  }
  if (!Run.empty()) Series.Runs.push_back(std::move(Run));
  if (const std::optional<TWarmPassFigures> Warm = RateFigures(WarmPassRates(Test))) Series.Median = Warm->Median;
  Series.Note = SeriesNote(Test, Series.Median, Running);
  return Series;
}

std::string Subtitle(const TRunRecord& Record) {
  std::vector<std::string> Parts;
  const TBenchmarkSettings& Settings = Record.Settings.Settings;
  if (Settings.MemorySize > 0) Parts.push_back(FormatByteSize(Settings.MemorySize) + " block");
  if (Settings.Passes > 0) Parts.push_back(std::to_string(Settings.Passes) + " passes");
  std::string Start = Record.Run.StartTimeUTC;  // "2026-01-31T17:04:05Z"
  if (Start.size() == 20 && Start[10] == 'T' && Start[19] == 'Z')
    Start = Start.substr(0, 10) + " " + Start.substr(11, 8) + " UTC";
  if (!Start.empty()) Parts.push_back(Start);
  std::string Text;
  for (const std::string& Part : Parts) Text += (Text.empty() ? "" : ", ") + Part;
  return Text;
}

void LayOutPassTicks(TPassChart& Chart) {
  const double PassSpacing = Chart.Plot.Width / Chart.PassCount;
  std::int64_t Step = 1;
  for (std::int64_t Magnitude = 1;; Magnitude *= 10) {
    bool Found = false;
    for (const std::int64_t Multiple : {1, 2, 5}) {
      Step = Multiple * Magnitude;
      if (Chart.PassCount / Step <= 10 && Step * PassSpacing >= MinimumPassTickSpacing) {
        Found = true;
        break;
      }
    }
    if (Found || Magnitude > Chart.PassCount) break;
  }
  Chart.PassTicks.push_back({Chart.PassX(1), "1"});
  for (std::int64_t Pass = Step; Pass <= Chart.PassCount; Pass += Step)
    if (Pass > 1 && static_cast<double>(Pass - 1) * PassSpacing >= MinimumPassLabelSpacing)
      Chart.PassTicks.push_back({Chart.PassX(static_cast<double>(Pass)), std::to_string(Pass)});
}

}  // namespace

TChartColour SeriesColour(TBenchmarkType Type) {
  const std::span<const TBenchmarkTest> Tests = BenchmarkTests();
  const auto Found =
      std::find_if(Tests.begin(), Tests.end(), [Type](const TBenchmarkTest& Test) { return Test.Type == Type; });
  const std::size_t Index =
      Found != Tests.end() ? static_cast<std::size_t>(Found - Tests.begin()) : static_cast<std::size_t>(Type);
  return Palette[Index % Palette.size()];
}

double TPassChart::PassX(double Pass) const {
  // Each pass sits in the middle of its own slot, so that neither end touches an axis.
  return Plot.Left + (Pass - 0.5) / PassCount * Plot.Width;
}

double TPassChart::RateY(double BytesPerSecond) const { return Plot.Bottom() - BytesPerSecond / TopRate * Plot.Height; }

TPassChart LayOutPassChart(const TRunRecord& Record, double Width, double Height, bool LastTestRunning) {
  TPassChart Chart;
  Chart.Width = Width;
  Chart.Height = Height;
  Chart.Plot = {MarginLeft, MarginTop, std::max(10.0, Width - MarginLeft - LegendGap - LegendWidth - MarginRight),
                std::max(10.0, Height - MarginTop - MarginBottom)};
  Chart.Title = "The rate of every pass";
  Chart.Subtitle = Subtitle(Record);

  double Fastest = 0;
  std::size_t MostPasses = 0;
  for (const TTestRecord& Test : Record.Tests) {
    MostPasses = std::max(MostPasses, Test.Passes.size());
    for (const TPassRecord& Pass : Test.Passes)
      if (const std::optional<double> Rate = PassRate(Pass)) Fastest = std::max(Fastest, *Rate);
  }
  Chart.PassCount = std::max<std::int32_t>({1, Record.Settings.Settings.Passes, static_cast<std::int32_t>(MostPasses)});
  const TRateScale Scale = ScaleFor(Fastest);
  const double UnitBytes = std::pow(1024.0, static_cast<double>(Scale.Unit));
  Chart.TopRate = Scale.Top * UnitBytes;
  Chart.RateUnit = RateUnits[Scale.Unit];
  const long Steps = std::lround(Scale.Top / Scale.Step);
  for (long Index = 0; Index <= Steps; ++Index) {
    const double Value = static_cast<double>(Index) * Scale.Step;
    Chart.RateTicks.push_back(
        {Chart.RateY(Value * UnitBytes), FormatFloatGeneral(Value, 6, FormatSettings.DecimalSeparator)});
  }
  LayOutPassTicks(Chart);
  Chart.PassDots = Chart.Plot.Width / Chart.PassCount >= MinimumDotSpacing;

  for (std::size_t Index = 0; Index < Record.Tests.size(); ++Index)
    Chart.Series.push_back(
        LayOutSeries(Chart, Record.Tests[Index], LastTestRunning && Index + 1 == Record.Tests.size()));
  if (!(Fastest > 0))
    Chart.EmptyNote = Record.Tests.empty() || LastTestRunning ? "The passes of a run appear here as they are timed"
                                                              : "No pass of this run was timed";
  return Chart;
}

void DrawPassChart(const TPassChart& Chart, TChartCanvas& Canvas) {
  const TChartRect& Plot = Chart.Plot;
  Canvas.FillRect({0, 0, Chart.Width, Chart.Height}, Background);

  // The rate axis: a grid line and a figure at every step, the unit above them.
  for (const TChartTick& Tick : Chart.RateTicks) {
    if (Tick.Position < Plot.Bottom() - 0.5)
      Canvas.Line({Plot.Left, Tick.Position}, {Plot.Right(), Tick.Position}, {GridColour, 1});
    Canvas.Text({Plot.Left - 8, Tick.Position + 4}, Tick.Label, {11, TTextAnchor::End, TextColour});
  }
  Canvas.Text({Plot.Left - 8, Plot.Top - 14}, Chart.RateUnit, {11, TTextAnchor::End, TextColour, true});
  // The pass axis.
  for (const TChartTick& Tick : Chart.PassTicks) {
    Canvas.Line({Tick.Position, Plot.Bottom()}, {Tick.Position, Plot.Bottom() + 5}, {AxisColour, 1});
    Canvas.Text({Tick.Position, Plot.Bottom() + 19}, Tick.Label, {11, TTextAnchor::Middle, TextColour});
  }
  Canvas.Text({Plot.Left + Plot.Width / 2, Plot.Bottom() + 39}, "pass", {12, TTextAnchor::Middle, TextColour});
  Canvas.Line({Plot.Left, Plot.Top}, {Plot.Left, Plot.Bottom()}, {AxisColour, 1});
  Canvas.Line({Plot.Left, Plot.Bottom()}, {Plot.Right(), Plot.Bottom()}, {AxisColour, 1});

  for (const TChartSeries& Series : Chart.Series) {
    Canvas.BeginGroup("series", Series.Name);
    if (!Series.Runs.empty()) Canvas.Path(Series.Runs, {Series.Colour, LineWidth});
    if (Chart.PassDots)
      for (const std::vector<TChartPoint>& Run : Series.Runs)
        for (const TChartPoint& Point : Run) Canvas.Dot(Point, DotRadius, Series.Colour);
    if (Series.FirstPass) Canvas.SquareOutline(*Series.FirstPass, FirstPassHalfSide, {Series.Colour, LineWidth});
    Canvas.EndGroup();
  }
  // The medians over every series, so that no series hides one.
  for (const TChartSeries& Series : Chart.Series) {
    if (!Series.Median) continue;
    Canvas.BeginGroup("median", Series.Name);
    const double Y = Chart.RateY(*Series.Median);
    Canvas.Line({Plot.Left, Y}, {Plot.Right(), Y}, {Series.Colour, LineWidth, true});
    Canvas.EndGroup();
  }
  if (!Chart.EmptyNote.empty())
    Canvas.Text({Plot.Left + Plot.Width / 2, Plot.Top + Plot.Height / 2}, Chart.EmptyNote,
                {13, TTextAnchor::Middle, NoteColour});

  // The legend: each test with its colour and its median, then what the marks mean.
  const double Left = Plot.Right() + LegendGap;
  double Y = Plot.Top + 12;
  for (const TChartSeries& Series : Chart.Series) {
    Canvas.Line({Left, Y - 4}, {Left + 18, Y - 4}, {Series.Colour, 3});
    Canvas.Text({Left + 26, Y}, Series.Name, {12, TTextAnchor::Start, TextColour, true});
    Canvas.Text({Left + 26, Y + 16}, Series.Note, {11, TTextAnchor::Start, NoteColour});
    Y += LegendEntryHeight;
  }
  Y += 6;
  Canvas.SquareOutline({Left + 9, Y - 4}, FirstPassHalfSide, {AxisColour, LineWidth});
  Canvas.Text({Left + 26, Y}, "the first pass", {11, TTextAnchor::Start, NoteColour});
  Y += 22;
  Canvas.Line({Left, Y - 4}, {Left + 18, Y - 4}, {AxisColour, LineWidth, true});
  Canvas.Text({Left + 26, Y}, "median of the passes after it", {11, TTextAnchor::Start, NoteColour});

  Canvas.Text({Plot.Left, 26}, Chart.Title, {16, TTextAnchor::Start, TextColour, true});
  Canvas.Text({Chart.Width - MarginRight, 26}, Chart.Subtitle, {12, TTextAnchor::End, NoteColour});
}
