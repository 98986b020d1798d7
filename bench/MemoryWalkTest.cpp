#include "MemoryWalkTest.h"

#include <exception>
#include <stdexcept>

#include "HelperQuobix.h"
#include "LogNumbers.h"

void CheckPassCount(std::int32_t Passes) {
  if (Passes < 1) throw std::invalid_argument("The number of passes must be at least 1, not " + std::to_string(Passes));
}

void ReportPassSummary(const TMemoryWalkTest& Test, std::int64_t MemorySize, const std::vector<double>& PassTimes,
                       TBenchmarkReporter& Reporter) {
  double Sum = 0.0;
  double Shortest = 2147483647.0;
  for (const double Time : PassTimes) {
    Sum += Time;
    if (Shortest > Time) Shortest = Time;
  }
  const double Average = Sum / static_cast<double>(PassTimes.size());
  Reporter.Log(TimedLine(Test.AverageCaption, MemorySize, Average));
  Reporter.Log(TimedLine(Test.PeakCaption, MemorySize, Shortest));
  Reporter.SendResult(FormatByteSizeFloat(static_cast<double>(MemorySize) / (Shortest / 1000.0)) + "/s", Test.Type,
                      false);
}

std::string ExceptionLine(std::exception_ptr Error) {
  try {
    std::rethrow_exception(Error);
  } catch (const std::exception& E) {
    return std::string("Exception: ") + E.what();
  } catch (...) {
    return "Exception: Unknown error";
  }
}
