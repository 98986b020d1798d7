#pragma once
// The rule every test sums its timed passes up by, the pass count it needs for that, and how a
// test the user stopped ends.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BenchmarkReporter.h"

struct TPassSummary {
  double Average;   // the mean of the times
  double Shortest;  // the fastest pass; of equal ones the earlier stands
};

// Over every entry in order. PassTimes must not be empty.
TPassSummary SummarisePasses(const std::vector<double>& PassTimes);

// Refuses a pass count that leaves nothing to average.
void CheckPassCount(std::int32_t Passes);

// Where fewer than Passes passes were done, the user stopped the run: logs the test's last line in
// place of its average and peak ("Stopped by the user after 3 of 10000 passes."), ends the test as
// stopped with that line, and returns true.
bool EndedByStop(std::size_t PassesDone, std::int32_t Passes, TBenchmarkReporter& Reporter);
