#pragma once
// The two timed loops that define what the memory tests measure: one scalar 64-bit store
// (write) or load (read) per word, ascending, over a block, timed with the monotonic clock.

#include <cstdint>

// The pass loop of a memory test: walks MemoryChunkSize bytes at PMemory, returns milliseconds.
using TTimedLoop = double (*)(void* PMemory, std::uint64_t MemoryChunkSize);

// The value every word holds after a write pass; its bytes read FF 00 FF 00 ... in memory.
constexpr std::uint64_t WritePattern = 0x00FF00FF00FF00FFull;

// Stores WritePattern into every word. The block must hold at least one word.
double WriteTest(void* PMemory, std::uint64_t MemoryChunkSize);

// Loads every word and stores the last one into word 0, inside the timed interval, so that
// every load counts. The block must hold at least one word and be writable.
double ReadTest(void* PMemory, std::uint64_t MemoryChunkSize);
