#include "RunRecord.h"

#include <ctime>

#include "MachineFacts.h"

namespace {

constexpr const char* StatusNames[] = {"completed", "failed", "stopped", "skipped"};

}  // namespace

const char* TestStatusName(TTestStatus Status) { return StatusNames[static_cast<int>(Status)]; }

std::optional<TTestStatus> TestStatusFromName(const std::string& Name) {
  for (int Status = 0; Status < 4; ++Status)
    if (Name == StatusNames[Status]) return static_cast<TTestStatus>(Status);
  return std::nullopt;
}

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

std::optional<double> PassRate(const TPassRecord& Pass) {
  if (Pass.Nanoseconds == 0) return std::nullopt;
  return static_cast<double>(Pass.Bytes) / (static_cast<double>(Pass.Nanoseconds) / 1e9);
}
