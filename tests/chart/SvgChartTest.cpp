// The chart as the SVG file the console writes: one group per test with its one line, its marks
// and its median, and numbers that any SVG reader takes whatever the user's number format.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "ChartFiles.h"
#include "ChartRecords.h"
#include "ScopedDecimalSeparator.h"
#include "SvgCanvas.h"

namespace {

// The text of the group of Kind for the test Name, without its opening tag; empty when none.
std::string Group(const std::string& Svg, const std::string& Kind, const std::string& Name) {
  const std::string Open = "<g class=\"" + Kind + "\" data-name=\"" + Name + "\">\n";
  const std::size_t Start = Svg.find(Open);
  if (Start == std::string::npos) return "";
  EXPECT_EQ(Svg.find(Open, Start + 1), std::string::npos) << "two groups for " << Name;
  const std::size_t Body = Start + Open.size();
  return Svg.substr(Body, Svg.find("</g>", Body) - Body);
}

std::size_t Count(const std::string& Text, const std::string& Part) {
  std::size_t Found = 0;
  for (std::size_t At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + 1)) ++Found;
  return Found;
}

TEST(SvgChart, HasAGroupPerTestWithOneLineItsDotsItsFirstPassMarkAndItsMedian) {
  const std::string Svg = PassChartSvg(ThreeTestRun());
  EXPECT_EQ(
      Svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"960\" "
                "height=\"540\"",
                0),
      0u);
  EXPECT_EQ(Count(Svg, "<g class=\"series\""), 3u);
  struct TCase {
    const char* Name;
    std::size_t Dots;
    std::size_t Moves;  // runs of the line: a pass without a time starts a new one
    const char* Colour;
  };
  const TCase Cases[] = {{"opencl", 4, 2, "#2ca02c"}, {"sys-write", 5, 1, "#d62728"}, {"sys-read", 5, 1, "#9467bd"}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::string Series = Group(Svg, "series", Case.Name);
    EXPECT_EQ(Count(Series, "<path "), 1u);
    EXPECT_EQ(Count(Series, " M") + (Series.find("d=\"M") != std::string::npos), Case.Moves);
    EXPECT_EQ(Count(Series, "<circle "), Case.Dots);
    EXPECT_EQ(Count(Series, "<rect "), 1u);  // the first pass
    EXPECT_EQ(Count(Series, Case.Colour), 1 + Case.Dots + 1);
    const std::string Median = Group(Svg, "median", Case.Name);
    EXPECT_EQ(Count(Median, "<line "), 1u);
    EXPECT_NE(Median.find("stroke-dasharray"), std::string::npos);
    EXPECT_NE(Median.find(Case.Colour), std::string::npos);
  }
  EXPECT_NE(Svg.find(">median 5.05 GB/s</text>"), std::string::npos);
  EXPECT_EQ(Svg.substr(Svg.size() - 7), "</svg>\n");
}

TEST(SvgChart, CoordinatesKeepADecimalPointWhileTheFiguresUseTheUsersSeparator) {
  const TScopedDecimalSeparator Comma(",");
  TRunRecord Record;
  Record.Tests = {TestAt(bmSystemRAMRead, {10.0, 9.7, 9.9})};  // a rate axis in steps of 2.5 GB/s
  const std::string Svg = PassChartSvg(Record);
  EXPECT_NE(Svg.find(">2,5</text>"), std::string::npos);
  EXPECT_NE(Svg.find(">median 9,80 GB/s</text>"), std::string::npos);
  const std::regex Attribute(R"( (x|y|x1|y1|x2|y2|cx|cy|r|width|height|stroke-width|font-size)="([^"]*)\")");
  const std::regex Number(R"(-?\d+(\.\d+)?)");
  std::size_t Checked = 0;
  for (auto Match = std::sregex_iterator(Svg.begin(), Svg.end(), Attribute); Match != std::sregex_iterator(); ++Match) {
    EXPECT_TRUE(std::regex_match((*Match)[2].str(), Number)) << Match->str();
    ++Checked;
  }
  EXPECT_GT(Checked, 50u);
  const std::regex PathData(R"( d="([ML][-\d.]+ [-\d.]+ ?)+")");
  EXPECT_TRUE(std::regex_search(Svg, PathData));
}

TEST(SvgChart, TextIsEscapedForXml) {
  TSvgCanvas Canvas(10, 10);
  Canvas.Text({1, 2}, "a < b & \"c\" > d\x01", {});
  EXPECT_NE(Canvas.Document().find(">a &lt; b &amp; &quot;c&quot; &gt; d</text>"), std::string::npos);
}

TEST(ChartFiles, TheKindComesFromTheExtensionInAnyCase) {
  EXPECT_EQ(ChartFileKindOf("run.svg"), TChartFileKind::Svg);
  EXPECT_EQ(ChartFileKindOf("/tmp/Run.SVG"), TChartFileKind::Svg);
  EXPECT_EQ(ChartFileKindOf("chart.Png"), TChartFileKind::Png);
  for (const char* Name : {"run", "run.jpg", "run.svg.txt", ".svg", "svg", "-", ""})
    EXPECT_FALSE(ChartFileKindOf(Name)) << Name;
}

}  // namespace
