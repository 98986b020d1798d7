#pragma once
// What a chart is drawn on: a few primitives in pixels from the top left corner. One drawing
// routine paints the window's chart with Qt's painter and writes the console's SVG file through
// this surface, so both show the same picture.

#include <cstdint>
#include <string>
#include <vector>

struct TChartColour {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TChartColour&, const TChartColour&) = default;
};

struct TChartPoint {
  double X = 0;
  double Y = 0;
};

struct TChartRect {
  double Left = 0;
  double Top = 0;
  double Width = 0;
  double Height = 0;
  double Right() const { return Left + Width; }
  double Bottom() const { return Top + Height; }
};

struct TChartStroke {
  TChartColour Colour;
  double Width = 1;
  bool Dashed = false;
};

enum class TTextAnchor { Start, Middle, End };

struct TChartText {
  double PixelSize = 12;
  TTextAnchor Anchor = TTextAnchor::Start;
  TChartColour Colour;
  bool Bold = false;
};

class TChartCanvas {
 public:
  virtual ~TChartCanvas() = default;
  virtual void FillRect(const TChartRect& Rect, TChartColour Colour) = 0;
  virtual void Line(TChartPoint From, TChartPoint To, const TChartStroke& Stroke) = 0;
  // One stroke over runs of connected points; nothing joins one run to the next.
  virtual void Path(const std::vector<std::vector<TChartPoint>>& Runs, const TChartStroke& Stroke) = 0;
  virtual void Dot(TChartPoint Centre, double Radius, TChartColour Colour) = 0;
  virtual void SquareOutline(TChartPoint Centre, double HalfSide, const TChartStroke& Stroke) = 0;
  // Text on the baseline through Position, placed by its anchor.
  virtual void Text(TChartPoint Position, const std::string& Text, const TChartText& Style) = 0;
  // What is drawn between the two belongs together, such as one test's series ("series",
  // "sys-read"); a picture that cannot group ignores them.
  virtual void BeginGroup(const std::string& /*Kind*/, const std::string& /*Name*/) {}
  virtual void EndGroup() {}
};
