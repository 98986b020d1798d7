#pragma once
// A chart canvas that writes an SVG document: each primitive one element, each group a <g> with
// its kind as class and its name as data-name, coordinates in pixels with a decimal point
// whatever the locale.

#include <string>

#include "ChartCanvas.h"

class TSvgCanvas : public TChartCanvas {
 public:
  TSvgCanvas(double Width, double Height);

  void FillRect(const TChartRect& Rect, TChartColour Colour) override;
  void Line(TChartPoint From, TChartPoint To, const TChartStroke& Stroke) override;
  void Path(const std::vector<std::vector<TChartPoint>>& Runs, const TChartStroke& Stroke) override;
  void Dot(TChartPoint Centre, double Radius, TChartColour Colour) override;
  void SquareOutline(TChartPoint Centre, double HalfSide, const TChartStroke& Stroke) override;
  void Text(TChartPoint Position, const std::string& Text, const TChartText& Style) override;
  void BeginGroup(const std::string& Kind, const std::string& Name) override;
  void EndGroup() override;

  // The whole document, closed.
  std::string Document() const;

 private:
  double FWidth;
  double FHeight;
  std::string FBody;
};
