#include "TimedLoops.h"

#include <chrono>

// The accesses go through a volatile pointer: the compiler may then neither drop, merge,
// widen nor vectorise them, nor turn the fill into a library call. Whatever the flags, the loop
// stays one scalar 64-bit access per word. tests/bench/check_timed_loops.py guards this in the
// built program.

namespace {

using Clock = std::chrono::steady_clock;

double CounterFrequency() { return static_cast<double>(Clock::period::den) / static_cast<double>(Clock::period::num); }

double ElapsedMilliseconds(Clock::time_point Start, Clock::time_point End, double Frequency) {
  return static_cast<double>((End - Start).count()) / Frequency * 1000.0;
}

}  // namespace

double WriteTest(void* PMemory, std::uint64_t MemoryChunkSize) {
  const double Frequency = CounterFrequency();
  volatile std::uint64_t* const Words = static_cast<volatile std::uint64_t*>(PMemory);
  // 64-bit count: a block of any size the machine can hold is walked whole.
  const std::uint64_t Count = MemoryChunkSize >> 3;
  const Clock::time_point Start = Clock::now();
  for (std::uint64_t Index = 0; Index < Count; ++Index) Words[Index] = WritePattern;
  const Clock::time_point End = Clock::now();
  return ElapsedMilliseconds(Start, End, Frequency);
}

double ReadTest(void* PMemory, std::uint64_t MemoryChunkSize) {
  const double Frequency = CounterFrequency();
  volatile std::uint64_t* const Words = static_cast<volatile std::uint64_t*>(PMemory);
  const std::uint64_t Count = MemoryChunkSize >> 3;
  std::uint64_t Value = 0;
  const Clock::time_point Start = Clock::now();
  for (std::uint64_t Index = 0; Index < Count; ++Index) Value = Words[Index];
  Words[0] = Value;
  const Clock::time_point End = Clock::now();
  return ElapsedMilliseconds(Start, End, Frequency);
}
