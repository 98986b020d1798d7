#pragma once
// A reporter that keeps what a test reports, for comparison with the expected lines.

#include <string>
#include <vector>

#include "BenchmarkReporter.h"

struct TRecordedResult {
  std::string Text;
  TBenchmarkType BenchmarkType;
  bool Finished;
  std::size_t LinesBefore;  // how many log lines had been recorded when the result came
};

class TRecordingReporter : public TBenchmarkReporter {
 public:
  void Log(const std::string& Text) override { Lines.push_back(Text); }
  void SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) override {
    Results.push_back({Text, BenchmarkType, Finished, Lines.size()});
  }

  std::vector<std::string> Lines;
  std::vector<TRecordedResult> Results;
};
