#include "ChartPicture.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <memory>

#include "PassChart.h"

namespace {

QColor ToQColor(TChartColour Colour) { return QColor(Colour.Red, Colour.Green, Colour.Blue); }

QPen ToQPen(const TChartStroke& Stroke) {
  QPen Pen(ToQColor(Stroke.Colour), Stroke.Width);
  Pen.setJoinStyle(Qt::RoundJoin);
  Pen.setCapStyle(Qt::FlatCap);
  // Qt counts dashes in pen widths; the SVG's are 6 and 4 pixels.
  if (Stroke.Dashed) Pen.setDashPattern({6 / Stroke.Width, 4 / Stroke.Width});
  return Pen;
}

}  // namespace

TPainterCanvas::TPainterCanvas(QPainter& Painter) : FPainter(Painter) {
  FPainter.setRenderHint(QPainter::Antialiasing);
  FPainter.setRenderHint(QPainter::TextAntialiasing);
}

void TPainterCanvas::FillRect(const TChartRect& Rect, TChartColour Colour) {
  FPainter.fillRect(QRectF(Rect.Left, Rect.Top, Rect.Width, Rect.Height), ToQColor(Colour));
}

void TPainterCanvas::Line(TChartPoint From, TChartPoint To, const TChartStroke& Stroke) {
  FPainter.setPen(ToQPen(Stroke));
  FPainter.drawLine(QPointF(From.X, From.Y), QPointF(To.X, To.Y));
}

void TPainterCanvas::Path(const std::vector<std::vector<TChartPoint>>& Runs, const TChartStroke& Stroke) {
  QPainterPath Path;
  for (const std::vector<TChartPoint>& Run : Runs)
    for (std::size_t Index = 0; Index < Run.size(); ++Index)
      Index == 0 ? Path.moveTo(Run[Index].X, Run[Index].Y) : Path.lineTo(Run[Index].X, Run[Index].Y);
  QPen Pen = ToQPen(Stroke);
  Pen.setCapStyle(Qt::RoundCap);
  FPainter.setPen(Pen);
  FPainter.setBrush(Qt::NoBrush);
  FPainter.drawPath(Path);
}

void TPainterCanvas::Dot(TChartPoint Centre, double Radius, TChartColour Colour) {
  FPainter.setPen(Qt::NoPen);
  FPainter.setBrush(ToQColor(Colour));
  FPainter.drawEllipse(QPointF(Centre.X, Centre.Y), Radius, Radius);
}

void TPainterCanvas::SquareOutline(TChartPoint Centre, double HalfSide, const TChartStroke& Stroke) {
  QPen Pen = ToQPen(Stroke);
  Pen.setJoinStyle(Qt::MiterJoin);
  FPainter.setPen(Pen);
  FPainter.setBrush(Qt::NoBrush);
  FPainter.drawRect(QRectF(Centre.X - HalfSide, Centre.Y - HalfSide, 2 * HalfSide, 2 * HalfSide));
}

void TPainterCanvas::Text(TChartPoint Position, const std::string& Text, const TChartText& Style) {
  QFont Font("DejaVu Sans");  // the SVG's first choice, so that both read alike
  Font.setPixelSize(static_cast<int>(std::lround(Style.PixelSize)));
  Font.setBold(Style.Bold);
  const QString String = QString::fromStdString(Text);
  const double Width = QFontMetricsF(Font).horizontalAdvance(String);
  double X = Position.X;
  if (Style.Anchor == TTextAnchor::Middle) X -= Width / 2;
  if (Style.Anchor == TTextAnchor::End) X -= Width;
  FPainter.setFont(Font);
  FPainter.setPen(ToQColor(Style.Colour));
  FPainter.drawText(QPointF(X, Position.Y), String);
}

void PaintPassChart(QPainter& Painter, QSize Size, const TRunRecord& Record, bool LastTestRunning) {
  TPainterCanvas Canvas(Painter);
  DrawPassChart(LayOutPassChart(Record, Size.width(), Size.height(), LastTestRunning), Canvas);
}

QImage PassChartImage(const TRunRecord& Record, QSize Size, qreal DevicePixelRatio, bool LastTestRunning) {
  QImage Image(Size * DevicePixelRatio, QImage::Format_RGB32);
  Image.setDevicePixelRatio(DevicePixelRatio);
  {
    QPainter Painter(&Image);
    PaintPassChart(Painter, Size, Record, LastTestRunning);
  }
  return Image;
}

std::string PngBytes(const QImage& Image) {
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  Buffer.open(QIODevice::WriteOnly);
  if (!Image.save(&Buffer, "PNG")) return "";
  return std::string(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}

std::string ConsolePassChartPng(const TRunRecord& Record) {
  // Qt's remarks on the session it finds (no XDG_RUNTIME_DIR on a server) are not the console's
  // business; a chart that cannot be drawn says so itself.
  const QtMessageHandler Previous =
      qInstallMessageHandler([](QtMsgType Type, const QMessageLogContext&, const QString& Text) {
        if (Type == QtFatalMsg) std::fprintf(stderr, "velmora: %s\n", qPrintable(Text));
      });
  std::string Png;
  {
    // Qt keeps the arguments for the application's life, and takes the platform's out of them.
    char Name[] = "velmora", Option[] = "-platform", Platform[] = "offscreen";
    char* Arguments[] = {Name, Option, Platform, nullptr};
    int Count = 3;
    std::unique_ptr<QGuiApplication> Application;
    if (QCoreApplication::instance() == nullptr) Application = std::make_unique<QGuiApplication>(Count, Arguments);
    const QSize Size(static_cast<int>(PassChartFileWidth), static_cast<int>(PassChartFileHeight));
    Png = PngBytes(PassChartImage(Record, Size));
  }
  qInstallMessageHandler(Previous);
  return Png;
}
