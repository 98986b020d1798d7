#pragma once
// The system RAM write and read tests: one fresh block per test, walked once per pass, each pass
// timed and logged, the block released, then the average, the peak and the result.

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "MemoryWalk.h"
#include "SystemMemory.h"

extern const TMemoryWalkTest SystemRAMWriteTest;
extern const TMemoryWalkTest SystemRAMReadTest;

void BenchmarkSystemRAMWrite(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);
void BenchmarkSystemRAMRead(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);

// The test with its collaborators given: where the block comes from and which loop times a
// pass (a scripted loop replays known pass times). Never lets an error escape.
void RunSystemRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                      TBenchmarkReporter& Reporter, const TSystemMemory& Memory, const TPassTimer& PassTimer);

// The same tests with every processor the program may use (or the settings' Threads of them), one
// pinned thread each, walking its own share of one block with the same loop; a pass lasts from the
// first start to the last end.
extern const TMemoryWalkTest SystemRAMWriteAllTest;
extern const TMemoryWalkTest SystemRAMReadAllTest;

void BenchmarkSystemRAMWriteAll(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);
void BenchmarkSystemRAMReadAll(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter);

// The all-core test with its block source given.
void RunAllCoreSystemRAMTest(const TMemoryWalkTest& Test, const TBenchmarkSettings& BenchmarkSettings,
                             TBenchmarkReporter& Reporter, const TSystemMemory& Memory);
