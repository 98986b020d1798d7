#pragma once
// Runs the tests of one benchmark type in the fixed order of a full run. Shared by the window's
// worker thread and the console front-end, so both run the very same tests.

#include <vector>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "VraxDirect3D9.h"

// The tests that a run of BenchmarkType calls, in calling order (the five of a full run for bmAll).
std::vector<TBenchmarkType> TestsOfRun(TBenchmarkType BenchmarkType);

// Runs every test of the run, each with its own copy of the settings, and answers the tests it
// started. Once the user stopped the run (the settings' StopToken) it starts no further test, and
// records each one left as skipped.
// Sends no final message. VideoMemory: the allocator the GFX tests draw their blocks from; null
// when none could be made.
std::vector<TBenchmarkType> RunBenchmarkTests(TBenchmarkType BenchmarkType, const TBenchmarkSettings& BenchmarkSettings,
                                              TBenchmarkReporter& Reporter, TVraxDirect3D9* VideoMemory);
