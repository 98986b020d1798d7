#pragma once
// The all-core pass: one thread pinned to each chosen processor, each walking its own share of one
// block with the memory tests' very own timed loop, all started together. A pass lasts from the
// first thread's start to the last thread's end, so it is the time the whole machine needs to
// move the block.

#include <cstdint>
#include <memory>
#include <vector>

#include "TimedLoops.h"

// The processors this process may run on (its affinity mask), in ascending order; the first Limit
// of them when Limit is above 0. Raises std::runtime_error when Limit asks for more than there are.
std::vector<int> UsableProcessors(int Limit = 0);

// One word-aligned share of a block per thread: the shares cover the whole words of the block
// once, in order, each starting on a 4 KiB boundary of the block (the last one takes the rest), so
// that no two threads write into one cache line or page.
struct TBlockShare {
  std::uint64_t Offset;  // bytes from the block's start
  std::uint64_t Size;    // bytes
};
std::vector<TBlockShare> SplitBlock(std::uint64_t Size, std::size_t Threads);

class TAllCoreWalker {
 public:
  // Starts one thread per processor of Processors, pinned to it, waiting for passes. Raises
  // std::runtime_error when a thread cannot be started or pinned.
  TAllCoreWalker(TTimedLoop Loop, std::vector<int> Processors);
  // Ends and joins every thread.
  ~TAllCoreWalker();
  TAllCoreWalker(const TAllCoreWalker&) = delete;
  TAllCoreWalker& operator=(const TAllCoreWalker&) = delete;

  // One pass over the block: milliseconds from the first start to the last end.
  double operator()(void* PMemory, std::uint64_t MemoryChunkSize);

  const std::vector<int>& Processors() const;

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};
