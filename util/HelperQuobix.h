#pragma once
// Byte counts as short texts in units of 1024 ("256.00 MB"), for sizes and, with "/s"
// appended by the caller, for speeds.

#include <cstdint>
#include <string>
#include <string_view>

// With the decimal separator of the process-wide FormatSettings.
std::string FormatByteSize(std::int64_t Bytes);
std::string FormatByteSizeFloat(double Bytes);

// With an explicit decimal separator.
std::string FormatByteSize(std::int64_t Bytes, std::string_view DecimalSeparator);
std::string FormatByteSizeFloat(double Bytes, std::string_view DecimalSeparator);
