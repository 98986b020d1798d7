#pragma once
// Records of runs for the pass chart's tests, with rates chosen so that every series, its first
// pass and its median lie apart from the others.

#include <cstdint>
#include <optional>
#include <vector>

#include "RunRecord.h"

constexpr double GiB = 1073741824.0;
constexpr std::uint64_t ChartBlock = 256ull << 20;

// One pass over ChartBlock at Rate GiB/s; no rate: a pass that reported no time.
inline TPassRecord PassAt(std::optional<double> Rate) {
  if (!Rate) return {0, ChartBlock};
  return {static_cast<std::uint64_t>(static_cast<double>(ChartBlock) / (*Rate * GiB) * 1e9 + 0.5), ChartBlock};
}

inline TTestRecord TestAt(TBenchmarkType Type, const std::vector<std::optional<double>>& Rates,
                          TTestStatus Status = TTestStatus::Completed) {
  TTestRecord Test;
  Test.Type = Type;
  Test.Status = Status;
  Test.BlockSize = static_cast<std::int64_t>(ChartBlock);
  for (const std::optional<double>& Rate : Rates) Test.Passes.push_back(PassAt(Rate));
  return Test;
}

// Three completed tests of 5 passes over 256 MB, in run order:
//   opencl     11, 12, (no time), 12.4, 12.2 GiB/s: median after the first 12.2
//   sys-write   2, 5, 5.2, 4.9, 5.1 GiB/s: a slow first pass (fresh pages), median 5.05
//   sys-read    8, 8.4, 8.2, 8.3, 8.5 GiB/s: median 8.35
inline TRunRecord ThreeTestRun() {
  TRunRecord Record;
  Record.Run.StartTimeUTC = "2026-01-31T17:04:05Z";
  Record.Settings.Tests = {bmOpenCLRAMReadWrite, bmSystemRAMWrite, bmSystemRAMRead};
  Record.Settings.Settings.MemorySize = static_cast<std::int64_t>(ChartBlock);
  Record.Settings.Settings.Passes = 5;
  Record.Tests = {TestAt(bmOpenCLRAMReadWrite, {11.0, 12.0, std::nullopt, 12.4, 12.2}),
                  TestAt(bmSystemRAMWrite, {2.0, 5.0, 5.2, 4.9, 5.1}),
                  TestAt(bmSystemRAMRead, {8.0, 8.4, 8.2, 8.3, 8.5})};
  return Record;
}
