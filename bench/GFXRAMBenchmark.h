#pragma once
// The GFX RAM write and read tests: one block of the graphics adapter's memory per test, mapped
// into the process, walked once per pass, each pass timed and logged, the block given back, then
// the average, the peak and the result. The free memory is logged with the block and without.

#include <cstdint>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "MemoryWalk.h"
#include "VraxDirect3D9.h"

extern const TMemoryWalkTest GFXRAMWriteTest;
extern const TMemoryWalkTest GFXRAMReadTest;

// VideoMemory: the program's allocator; null when none could be made, which the test reports as
// its exception.
void BenchmarkGFXRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                          TVraxDirect3D9* VideoMemory);
void BenchmarkGFXRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                         TVraxDirect3D9* VideoMemory);

// The test with its pass timer given (a scripted timer replays known pass times). Never lets an
// error escape.
void RunGFXRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                   TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory, const TPassTimer& PassTimer);

// Adds one block of MemorySize bytes and logs the outcome and the free memory.
void GFXRAMAllocate(TVraxDirect3D9& VideoMemory, std::int64_t MemorySize, TBenchmarkReporter& Reporter);
// Deletes block 0 and logs the free memory.
void GFXRAMFree(TVraxDirect3D9& VideoMemory, TBenchmarkReporter& Reporter);
// "Free texture memory: 3.87 GB"
void DisplayFreeMemory(const TVraxDirect3D9& VideoMemory, TBenchmarkReporter& Reporter);
