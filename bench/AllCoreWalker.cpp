#include "AllCoreWalker.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint64_t ShareAlignment = 4096;

}  // namespace

std::vector<int> UsableProcessors(int Limit) {
  cpu_set_t Set;
  CPU_ZERO(&Set);
  std::vector<int> Processors;
  if (sched_getaffinity(0, sizeof Set, &Set) == 0) {
    for (int Processor = 0; Processor < CPU_SETSIZE; ++Processor)
      if (CPU_ISSET(Processor, &Set)) Processors.push_back(Processor);
  }
  if (Processors.empty()) throw std::runtime_error("The processors this program may run on cannot be read");
  if (Limit > static_cast<int>(Processors.size()))
    throw std::runtime_error("Only " + std::to_string(Processors.size()) + " processors are available, not " +
                             std::to_string(Limit));
  if (Limit > 0) Processors.resize(static_cast<std::size_t>(Limit));
  return Processors;
}

std::vector<TBlockShare> SplitBlock(std::uint64_t Size, std::size_t Threads) {
  const std::uint64_t Words = Size / 8;
  const std::uint64_t Units = (Words * 8) / ShareAlignment;  // whole 4 KiB units of the block
  std::vector<TBlockShare> Shares;
  std::uint64_t Start = 0;
  for (std::size_t Thread = 0; Thread < Threads; ++Thread) {
    const std::uint64_t End = Thread + 1 == Threads ? Words * 8 : Units * (Thread + 1) / Threads * ShareAlignment;
    Shares.push_back({Start, End - Start});
    Start = End;
  }
  return Shares;
}

// What the threads and the caller share. Between passes the threads sleep on Wake; a pass begins
// when Generation moves on, and the threads then meet at a spinning start line so that they start
// within microseconds of each other, not within a scheduler's wake-up time.
struct TAllCoreWalker::TState {
  TTimedLoop Loop;
  std::vector<int> Processors;
  std::vector<std::thread> Threads;

  std::mutex Lock;
  std::condition_variable Wake;
  std::condition_variable Finished;
  std::uint64_t Generation = 0;  // under Lock
  bool Quit = false;             // under Lock
  std::size_t Done = 0;          // under Lock
  std::atomic<std::size_t> AtStartLine{0};

  // Written by the caller before a pass, read by the threads during it.
  unsigned char* Block = nullptr;
  std::vector<TBlockShare> Shares;
  // Written by thread i during a pass, read by the caller after it.
  std::vector<Clock::time_point> Starts;
  std::vector<Clock::time_point> Ends;

  void Run(std::size_t Index) {
    std::uint64_t Seen = 0;
    for (;;) {
      {
        std::unique_lock<std::mutex> Guard(Lock);
        Wake.wait(Guard, [&] { return Quit || Generation != Seen; });
        if (Quit) return;
        Seen = Generation;
      }
      AtStartLine.fetch_add(1);
      while (AtStartLine.load() < Processors.size()) std::this_thread::yield();
      const TBlockShare Share = Shares[Index];
      Starts[Index] = Clock::now();
      if (Share.Size >= 8) Loop(Block + Share.Offset, Share.Size);
      Ends[Index] = Clock::now();
      {
        std::lock_guard<std::mutex> Guard(Lock);
        ++Done;
      }
      Finished.notify_one();
    }
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> Guard(Lock);
      Quit = true;
    }
    Wake.notify_all();
    for (std::thread& Thread : Threads) Thread.join();
    Threads.clear();
  }
};

TAllCoreWalker::TAllCoreWalker(TTimedLoop Loop, std::vector<int> Processors) : FState(std::make_unique<TState>()) {
  TState& State = *FState;
  State.Loop = Loop;
  State.Processors = std::move(Processors);
  State.Starts.resize(State.Processors.size());
  State.Ends.resize(State.Processors.size());
  try {
    for (std::size_t Index = 0; Index < State.Processors.size(); ++Index) {
      State.Threads.emplace_back([&State, Index] { State.Run(Index); });
      cpu_set_t Set;
      CPU_ZERO(&Set);
      CPU_SET(State.Processors[Index], &Set);
      if (const int Error = pthread_setaffinity_np(State.Threads.back().native_handle(), sizeof Set, &Set))
        throw std::runtime_error("Could not pin a thread to processor " + std::to_string(State.Processors[Index]) +
                                 ": " + std::strerror(Error));
    }
  } catch (...) {
    State.Stop();
    throw;
  }
}

TAllCoreWalker::~TAllCoreWalker() { FState->Stop(); }

const std::vector<int>& TAllCoreWalker::Processors() const { return FState->Processors; }

double TAllCoreWalker::operator()(void* PMemory, std::uint64_t MemoryChunkSize) {
  TState& State = *FState;
  std::unique_lock<std::mutex> Guard(State.Lock);
  State.Block = static_cast<unsigned char*>(PMemory);
  State.Shares = SplitBlock(MemoryChunkSize, State.Threads.size());
  State.Done = 0;
  State.AtStartLine = 0;
  ++State.Generation;
  State.Wake.notify_all();
  State.Finished.wait(Guard, [&] { return State.Done == State.Threads.size(); });
  const Clock::time_point First = *std::min_element(State.Starts.begin(), State.Starts.end());
  const Clock::time_point Last = *std::max_element(State.Ends.begin(), State.Ends.end());
  return std::chrono::duration<double, std::milli>(Last - First).count();
}
