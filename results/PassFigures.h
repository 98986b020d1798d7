#pragma once
// What a test's recorded passes add up to: the average and the peak as the log reports them, and
// the median and spread of the passes after the first, which the first pass (the first touch of
// a fresh block, a cold cache, a kernel's first launch) does not distort.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "RunRecord.h"

// The passes after the first that reported a time, as rates in bytes per second.
struct TWarmPassFigures {
  std::size_t Count = 0;
  double Median = 0;
  double Minimum = 0;
  double Maximum = 0;
  // Sample standard deviation over the mean; empty with fewer than two passes, where there is no
  // spread to tell.
  std::optional<double> CoefficientOfVariation;
};

struct TTestFigures {
  double AverageNanoseconds = 0;  // the mean of the timed passes
  double AverageRate = 0;         // their bytes over their mean time, bytes per second
  std::size_t PeakPass = 0;       // 1-based; of equally fast passes the earlier stands
  std::uint64_t PeakNanoseconds = 0;
  double PeakRate = 0;
  std::optional<double> FirstPassRate;  // empty when the first pass reported no time
  std::optional<TWarmPassFigures> Warm;  // empty without a timed pass after the first
};

// The figures of a completed test with at least one timed pass; empty otherwise, as a test that did
// not complete reports no average or peak.
std::optional<TTestFigures> TestFigures(const TTestRecord& Test);

// The rates of the passes after the first that reported a time, in pass order.
std::vector<double> WarmPassRates(const TTestRecord& Test);

// Over rates in any order; empty for none.
std::optional<TWarmPassFigures> RateFigures(std::vector<double> Rates);
