#pragma once
// The rule every test sums its timed passes up by, and the pass count it needs for that.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TPassSummary {
  double Average;   // the mean of the times
  double Shortest;  // the fastest pass; of equal ones the earlier stands
};

// Over every entry in order. PassTimes must not be empty.
TPassSummary SummarisePasses(const std::vector<double>& PassTimes);

// Refuses a pass count that leaves nothing to average.
void CheckPassCount(std::int32_t Passes);

// The last line of a test the user stopped, in place of its average and peak:
// "Stopped by the user after 3 of 10000 passes."
std::string StoppedByUserLine(std::size_t PassesDone, std::int32_t Passes);
