#pragma once
// Two runs side by side: for every test in both, the peak and the median of the passes after the
// first, the change in percent, and whether the change is more than the runs' own spread.

#include <optional>
#include <string>
#include <vector>

#include "RunRecord.h"

enum class TVerdict {
  Faster,         // the median rose by more than the spread
  Slower,         // the median fell by more than the spread
  WithinNoise,    // the median moved by less than the spread
  SpreadUnknown,  // a run has fewer than two passes after the first, so its spread is not known
  NotCompared,    // the test did not complete in one of the runs
};

struct TTestComparison {
  TBenchmarkType Type = bmAll;
  TVerdict Verdict = TVerdict::NotCompared;
  std::string Reason;  // why it was not compared
  std::optional<double> BasePeak, NewPeak;      // bytes per second
  std::optional<double> BaseMedian, NewMedian;  // of the passes after the first, bytes per second
  // The spread the change is measured against: the coefficients of variation of both runs added.
  std::optional<double> Noise;

  // (new - base) / base; empty when either is missing.
  std::optional<double> PeakChange() const;
  std::optional<double> MedianChange() const;
};

TTestComparison CompareTests(const TTestRecord& Base, const TTestRecord& New);

// Every test that both runs have, in run order.
std::vector<TTestComparison> CompareRuns(const TRunRecord& Base, const TRunRecord& New);

// The heading, naming both runs, and one line per compared test.
std::vector<std::string> ComparisonLines(const TRunRecord& Base, const std::string& BaseName, const TRunRecord& New,
                                         const std::string& NewName, const std::vector<TTestComparison>& Comparisons);
