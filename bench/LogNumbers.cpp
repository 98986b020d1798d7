#include "LogNumbers.h"

#include "BenchmarkModel.h"
#include "FormatSettings.h"
#include "HelperQuobix.h"
#include "NumberFormat.h"

std::string FormatTimeFigure(double Milliseconds) {
  return FormatFloatFixed(Milliseconds, 4, 2, FormatSettings.DecimalSeparator);
}

std::string FormatRateFigure(double MegabytesPerSecond) {
  return FormatFloatGeneral(MegabytesPerSecond, 6, FormatSettings.DecimalSeparator);
}

std::string PercentText(double Fraction, bool Signed) {
  const double Percent = Fraction * 100.0;
  const std::string Number = FormatFloatFixed(Percent, 15, 1, FormatSettings.DecimalSeparator);
  return (Signed && Percent >= 0.0 ? "+" : "") + Number + " %";
}

double SpeedInMegabytesPerSecond(std::int64_t MemorySize, double Milliseconds) {
  return static_cast<double>(MemorySize) / static_cast<double>(BytesPerMegabyte) / (Milliseconds / 1000.0);
}

std::string TimedLine(std::string_view Caption, std::int64_t MemorySize, double Milliseconds) {
  std::string Line(Caption);
  Line += FormatByteSize(MemorySize);
  Line += " ";
  Line += FormatTimeFigure(Milliseconds);
  Line += " ms (";
  Line += FormatRateFigure(SpeedInMegabytesPerSecond(MemorySize, Milliseconds));
  Line += "MB/s)";
  return Line;
}
