#include "RunRecord.h"

namespace {

constexpr const char* StatusNames[] = {"completed", "failed", "stopped", "skipped"};

}  // namespace

const char* TestStatusName(TTestStatus Status) { return StatusNames[static_cast<int>(Status)]; }

std::optional<TTestStatus> TestStatusFromName(const std::string& Name) {
  for (int Status = 0; Status < 4; ++Status)
    if (Name == StatusNames[Status]) return static_cast<TTestStatus>(Status);
  return std::nullopt;
}

std::optional<double> PassRate(const TPassRecord& Pass) {
  if (Pass.Nanoseconds == 0) return std::nullopt;
  return static_cast<double>(Pass.Bytes) / (static_cast<double>(Pass.Nanoseconds) / 1e9);
}
