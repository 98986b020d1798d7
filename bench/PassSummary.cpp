#include "PassSummary.h"

#include <limits>
#include <stdexcept>
#include <string>

TPassSummary SummarisePasses(const std::vector<double>& PassTimes) {
  double Sum = 0.0;
  double Shortest = std::numeric_limits<double>::max();
  for (const double Time : PassTimes) {
    Sum += Time;
    if (Shortest > Time) Shortest = Time;
  }
  return {Sum / static_cast<double>(PassTimes.size()), Shortest};
}

void CheckPassCount(std::int32_t Passes) {
  if (Passes < 1) throw std::invalid_argument("The number of passes must be at least 1, not " + std::to_string(Passes));
}

bool EndedByStop(std::size_t PassesDone, std::int32_t Passes, TBenchmarkReporter& Reporter) {
  if (PassesDone >= static_cast<std::size_t>(Passes)) return false;
  const std::string Stopped =
      "Stopped by the user after " + std::to_string(PassesDone) + " of " + std::to_string(Passes) + " passes.";
  Reporter.Log(Stopped);
  Reporter.TestEnded(TTestStatus::Stopped, Stopped);
  return true;
}
