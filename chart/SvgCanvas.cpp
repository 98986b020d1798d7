#include "SvgCanvas.h"

#include <charconv>
#include <cstdio>

namespace {

// Two decimals at most, trailing zeros dropped; std::to_chars ignores the process locale, which
// the window sets to the user's.
std::string Number(double Value) {
  char Buffer[64];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed, 2);
  std::string Text(Buffer, Result.ptr);
  while (Text.back() == '0') Text.pop_back();
  if (Text.back() == '.') Text.pop_back();
  return Text == "-0" ? "0" : Text;
}

std::string Colour(TChartColour Colour) {
  char Buffer[8];
  std::snprintf(Buffer, sizeof Buffer, "#%02x%02x%02x", Colour.Red, Colour.Green, Colour.Blue);
  return Buffer;
}

std::string Escaped(const std::string& Text) {
  std::string Result;
  for (const char Character : Text) {
    switch (Character) {
      case '&':
        Result += "&amp;";
        break;
      case '<':
        Result += "&lt;";
        break;
      case '>':
        Result += "&gt;";
        break;
      case '"':
        Result += "&quot;";
        break;
      default:
        // XML has no place for control characters.
        if (static_cast<unsigned char>(Character) >= 0x20) Result += Character;
    }
  }
  return Result;
}

std::string StrokeAttributes(const TChartStroke& Stroke) {
  std::string Text =
      " fill=\"none\" stroke=\"" + Colour(Stroke.Colour) + "\" stroke-width=\"" + Number(Stroke.Width) + "\"";
  if (Stroke.Dashed) Text += " stroke-dasharray=\"6 4\"";
  return Text;
}

}  // namespace

TSvgCanvas::TSvgCanvas(double Width, double Height) : FWidth(Width), FHeight(Height) {}

void TSvgCanvas::FillRect(const TChartRect& Rect, TChartColour Fill) {
  FBody += "<rect x=\"" + Number(Rect.Left) + "\" y=\"" + Number(Rect.Top) + "\" width=\"" + Number(Rect.Width) +
           "\" height=\"" + Number(Rect.Height) + "\" fill=\"" + Colour(Fill) + "\"/>\n";
}

void TSvgCanvas::Line(TChartPoint From, TChartPoint To, const TChartStroke& Stroke) {
  FBody += "<line x1=\"" + Number(From.X) + "\" y1=\"" + Number(From.Y) + "\" x2=\"" + Number(To.X) + "\" y2=\"" +
           Number(To.Y) + "\"" + StrokeAttributes(Stroke) + "/>\n";
}

void TSvgCanvas::Path(const std::vector<std::vector<TChartPoint>>& Runs, const TChartStroke& Stroke) {
  std::string Data;
  for (const std::vector<TChartPoint>& Run : Runs)
    for (std::size_t Index = 0; Index < Run.size(); ++Index)
      Data += (Data.empty() ? "" : " ") + std::string(Index == 0 ? "M" : "L") + Number(Run[Index].X) + " " +
              Number(Run[Index].Y);
  FBody +=
      "<path d=\"" + Data + "\"" + StrokeAttributes(Stroke) + " stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n";
}

void TSvgCanvas::Dot(TChartPoint Centre, double Radius, TChartColour Fill) {
  FBody += "<circle cx=\"" + Number(Centre.X) + "\" cy=\"" + Number(Centre.Y) + "\" r=\"" + Number(Radius) +
           "\" fill=\"" + Colour(Fill) + "\"/>\n";
}

void TSvgCanvas::SquareOutline(TChartPoint Centre, double HalfSide, const TChartStroke& Stroke) {
  FBody += "<rect x=\"" + Number(Centre.X - HalfSide) + "\" y=\"" + Number(Centre.Y - HalfSide) + "\" width=\"" +
           Number(2 * HalfSide) + "\" height=\"" + Number(2 * HalfSide) + "\"" + StrokeAttributes(Stroke) + "/>\n";
}

void TSvgCanvas::Text(TChartPoint Position, const std::string& Text, const TChartText& Style) {
  if (Text.empty()) return;
  const char* Anchor = Style.Anchor == TTextAnchor::Start    ? "start"
                       : Style.Anchor == TTextAnchor::Middle ? "middle"
                                                             : "end";
  FBody += "<text x=\"" + Number(Position.X) + "\" y=\"" + Number(Position.Y) + "\" font-size=\"" +
           Number(Style.PixelSize) + "\" text-anchor=\"" + Anchor + "\" fill=\"" + Colour(Style.Colour) + "\"" +
           (Style.Bold ? " font-weight=\"bold\"" : "") + ">" + Escaped(Text) + "</text>\n";
}

void TSvgCanvas::BeginGroup(const std::string& Kind, const std::string& Name) {
  FBody += "<g class=\"" + Escaped(Kind) + "\" data-name=\"" + Escaped(Name) + "\">\n";
}

void TSvgCanvas::EndGroup() { FBody += "</g>\n"; }

std::string TSvgCanvas::Document() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         Number(FWidth) + "\" height=\"" + Number(FHeight) + "\" viewBox=\"0 0 " + Number(FWidth) + " " +
         Number(FHeight) + "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n" + FBody + "</svg>\n";
}
