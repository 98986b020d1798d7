#pragma once
// The number renderings of the tests' log lines: the two of every memory-test line and the line
// they make up, and the percentage of the transfer tests' link line.

#include <cstdint>
#include <string>
#include <string_view>

// A time in milliseconds: two decimals, at most four significant digits (23.49, 1235.00, 1.235E04).
std::string FormatTimeFigure(double Milliseconds);
// A rate in MB/s: up to six significant digits (10900.1, 12800, 1.23457E06).
std::string FormatRateFigure(double MegabytesPerSecond);

// "42.6 %", or with Signed "+1.2 %" / "-0.8 %": one decimal, the locale's separator.
std::string PercentText(double Fraction, bool Signed = false);

// MemorySize bytes in Milliseconds as megabytes (2^20 bytes) per second.
double SpeedInMegabytesPerSecond(std::int64_t MemorySize, double Milliseconds);

// Caption + size + " " + time + " ms (" + rate + "MB/s)", e.g.
// "Read from system memory: 256.00 MB 23.49 ms (10900.1MB/s)".
std::string TimedLine(std::string_view Caption, std::int64_t MemorySize, double Milliseconds);
