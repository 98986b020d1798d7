#include "HelperQuobix.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "FormatSettings.h"
#include "NumberFormat.h"

namespace {

struct TUnit {
  double Limit;    // the row applies below this count
  double Divisor;
  const char* Suffix;
};

// Rows two to nine; anything from 2^90 on (and a NaN, which fails every test) is shown in YB.
constexpr std::array<TUnit, 8> Units{{
    {0x1p20, 0x1p10, " KB"},
    {0x1p30, 0x1p20, " MB"},
    {0x1p40, 0x1p30, " GB"},
    {0x1p50, 0x1p40, " TB"},
    {0x1p60, 0x1p50, " PB"},
    {0x1p70, 0x1p60, " EB"},
    {0x1p80, 0x1p70, " ZB"},
    {0x1p90, 0x1p80, " YB"},
}};

std::string Scaled(double Bytes, std::string_view DecimalSeparator) {
  for (const TUnit& Unit : Units)
    if (Bytes < Unit.Limit) return FormatFloatFixed(Bytes / Unit.Divisor, 4, 2, DecimalSeparator) + Unit.Suffix;
  return FormatFloatFixed(Bytes / 0x1p80, 4, 2, DecimalSeparator) + " YB";
}

}  // namespace

std::string FormatByteSize(std::int64_t Bytes, std::string_view DecimalSeparator) {
  if (Bytes < 1024) return std::to_string(Bytes) + " Byte";
  return Scaled(static_cast<double>(Bytes), DecimalSeparator);
}

std::string FormatByteSizeFloat(double Bytes, std::string_view DecimalSeparator) {
  if (Bytes < 1024) {
    if (std::isinf(Bytes)) return "-INF Byte";
    // Ties to the even neighbour, the default rounding mode of the processor.
    char Buffer[400];
    std::snprintf(Buffer, sizeof Buffer, "%.0f", std::nearbyint(Bytes) + 0.0);
    return std::string(Buffer) + " Byte";
  }
  return Scaled(Bytes, DecimalSeparator);
}

std::string FormatByteSize(std::int64_t Bytes) { return FormatByteSize(Bytes, FormatSettings.DecimalSeparator); }

std::string FormatByteSizeFloat(double Bytes) { return FormatByteSizeFloat(Bytes, FormatSettings.DecimalSeparator); }
