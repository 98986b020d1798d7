#pragma once
// The one table of Velmora's tests, in the order of a full run. Everything that lists, names,
// parses or runs the tests reads it: the run's dispatch, the console's names and help text and its
// closing peaks. Adding a test is one entry here plus its operation.

#include <span>
#include <string_view>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "VraxDirect3D9.h"

// A test operation: runs one complete test with its own copy of the settings, reports only through
// the reporter and lets no error escape. VideoMemory is the allocator the GFX tests draw their
// blocks from, null when none could be made; the other tests ignore it.
using TBenchmarkOperation = void (*)(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                                     TVraxDirect3D9* VideoMemory);

struct TBenchmarkTest {
  TBenchmarkType Type;
  const char* ConsoleName;  // "sys-read"
  const char* Description;  // one line of --help
  const char* PeakCaption;  // "Peak read SYS RAM:", as the window's result box reads
  TBenchmarkOperation Operation;
  bool InFullRun;  // run by "Run benchmark" and the console's 'all'; otherwise only when named
};

// Every test: those of a full run in their order, then those run only when named.
std::span<const TBenchmarkTest> BenchmarkTests();

// The entry of a test; null for bmAll or a type without one.
const TBenchmarkTest* FindBenchmarkTest(TBenchmarkType Type);
// The entry of a console name; null when no test has it.
const TBenchmarkTest* FindBenchmarkTest(std::string_view ConsoleName);
