#pragma once
// The pass chart painted with Qt's own painter: on the chart window, into an image, and as the
// bytes of a PNG file for the window's "Save as PNG..." and the console's --chart.

#include <QImage>
#include <QSize>

#include <string>

#include "ChartCanvas.h"
#include "RunRecord.h"

class QPainter;

// A chart canvas over a painter that is already open on its device.
class TPainterCanvas : public TChartCanvas {
 public:
  explicit TPainterCanvas(QPainter& Painter);

  void FillRect(const TChartRect& Rect, TChartColour Colour) override;
  void Line(TChartPoint From, TChartPoint To, const TChartStroke& Stroke) override;
  void Path(const std::vector<std::vector<TChartPoint>>& Runs, const TChartStroke& Stroke) override;
  void Dot(TChartPoint Centre, double Radius, TChartColour Colour) override;
  void SquareOutline(TChartPoint Centre, double HalfSide, const TChartStroke& Stroke) override;
  void Text(TChartPoint Position, const std::string& Text, const TChartText& Style) override;

 private:
  QPainter& FPainter;
};

// Paints the chart of Record over the painter's Size pixels (logical ones on a high-DPI device).
void PaintPassChart(QPainter& Painter, QSize Size, const TRunRecord& Record, bool LastTestRunning = false);

// The chart of Record at Size logical pixels, DevicePixelRatio device pixels each.
QImage PassChartImage(const TRunRecord& Record, QSize Size, qreal DevicePixelRatio = 1, bool LastTestRunning = false);

// The PNG file of an image; empty when it could not be encoded.
std::string PngBytes(const QImage& Image);

// The console's chart as PNG at the files' size. Where the program has no Qt application (the
// console front-end), one is made for the drawing on Qt's offscreen platform, which needs no
// display.
std::string ConsolePassChartPng(const TRunRecord& Record);
