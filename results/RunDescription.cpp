#include "RunDescription.h"

#include <ctime>

#include "MachineFacts.h"

std::string FormatUTCTime(std::chrono::system_clock::time_point Time) {
  const std::time_t Seconds = std::chrono::system_clock::to_time_t(Time);
  std::tm Parts{};
  gmtime_r(&Seconds, &Parts);
  char Text[32];
  std::strftime(Text, sizeof Text, "%Y-%m-%dT%H:%M:%SZ", &Parts);
  return Text;
}

TRunInfo DescribeRun(const std::string& VelmoraVersion, std::chrono::system_clock::time_point Start) {
  TRunInfo Run;
  Run.VelmoraVersion = VelmoraVersion;
  Run.StartTimeUTC = FormatUTCTime(Start);
  Run.HostName = HostName();
  Run.ProcessorModel = ReadProcessorModel();
  Run.ProcessorCores = OnlineProcessorCount();
  Run.KernelRelease = KernelRelease();
  Run.TotalMemory = ReadMemInfoBytes("MemTotal");
  Run.AvailableMemory = ReadMemInfoBytes("MemAvailable");
  Run.TransparentHugePages = ReadTransparentHugePages();
  return Run;
}
