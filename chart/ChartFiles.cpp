#include "ChartFiles.h"

#include <algorithm>
#include <cctype>

#include "PassChart.h"
#include "SvgCanvas.h"

std::optional<TChartFileKind> ChartFileKindOf(const std::string& FileName) {
  auto EndsWith = [&FileName](const std::string& Extension) {
    return FileName.size() > Extension.size() &&
           std::equal(Extension.rbegin(), Extension.rend(), FileName.rbegin(), [](char Wanted, char Given) {
             return Wanted == std::tolower(static_cast<unsigned char>(Given));
           });
  };
  if (EndsWith(".svg")) return TChartFileKind::Svg;
  if (EndsWith(".png")) return TChartFileKind::Png;
  return std::nullopt;
}

std::string PassChartSvg(const TRunRecord& Record) {
  TSvgCanvas Canvas(PassChartFileWidth, PassChartFileHeight);
  DrawPassChart(LayOutPassChart(Record, PassChartFileWidth, PassChartFileHeight), Canvas);
  return Canvas.Document();
}
