#pragma once
// What the tests of the memory-walk tests share: settings of a given block size and pass count,
// and a pass timer that replays known times instead of timing anything.

#include <cstdint>
#include <utility>
#include <vector>

#include "BenchmarkModel.h"
#include "MemoryWalk.h"

inline TBenchmarkSettings Settings(std::int64_t MemorySize, std::int32_t Passes) {
  TBenchmarkSettings Result;
  Result.MemorySize = MemorySize;
  Result.Passes = Passes;
  return Result;
}

// Replays Times, one per pass, and records the block each pass was given, touching nothing.
struct TReplay {
  std::vector<double> Times;
  std::vector<std::pair<void*, std::uint64_t>> Walked;
  TPassTimer Timer() {
    return [this](void* PMemory, std::uint64_t Size) {
      Walked.emplace_back(PMemory, Size);
      return Times.at(Walked.size() - 1);
    };
  }
};
