#pragma once
// The chart of a run as a file: which kind a file name asks for, and the SVG document, which
// needs no toolkit. A PNG needs Qt's painter, so only a program with the window makes one.

#include <optional>
#include <string>

#include "RunRecord.h"

enum class TChartFileKind { Svg, Png };

// By the name's extension, in any case: ".svg" or ".png"; empty for any other name.
std::optional<TChartFileKind> ChartFileKindOf(const std::string& FileName);

// The chart of Record at the files' size, as an SVG document.
std::string PassChartSvg(const TRunRecord& Record);
