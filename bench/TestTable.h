#pragma once
// The one table of Velmora's tests, in the order of a full run, with every fact about each test.
// Everything that lists, names, parses, runs or records the tests reads it: the run's dispatch, the
// console's names, help text and closing peaks, the record's files and the schema, the man page.
// Adding a test is one entry here plus its operation.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "BenchmarkModel.h"
#include "BenchmarkReporter.h"
#include "VraxDirect3D9.h"

// A test operation: runs one complete test with its own copy of the settings, reports only through
// the reporter and lets no error escape. VideoMemory is the allocator the GFX tests draw their
// blocks from, null when none could be made; the other tests ignore it.
using TBenchmarkOperation = void (*)(const TBenchmarkSettings& BenchmarkSettings, TBenchmarkReporter& Reporter,
                                     TVraxDirect3D9* VideoMemory);

// What a test is: what it runs on, and what its record keeps beside its passes.
enum class TTestKind : std::uint8_t {
  SystemRAM,  // the processor walks a block of system RAM
  AllCore,    // every processor walks its share of one block of system RAM, a pinned thread each
  GFX,        // the processor walks a block of the graphics adapter's memory
  OpenCL,     // an OpenCL kernel reads one device buffer and writes another
  Transfer,   // the OpenCL device copies a block between host memory and one of its buffers
};

// Whether tests of a kind run on the settings' OpenCL platform and device.
constexpr bool KindUsesOpenCL(TTestKind Kind) { return Kind == TTestKind::OpenCL || Kind == TTestKind::Transfer; }

struct TBenchmarkTest {
  TBenchmarkType Type;
  TTestKind Kind;
  const char* ConsoleName;  // "sys-read"
  const char* Description;  // one line of --help
  const char* PeakCaption;  // "Peak read SYS RAM:", as the window's result box reads
  TBenchmarkOperation Operation;
  bool InFullRun;  // run by "Run benchmark" and the console's 'all'; otherwise only when named
  // A name that runs this test together with the others that have it ("opencl-h2d"); null: none.
  const char* GroupName = nullptr;
};

// Every test: those of a full run in their order, then those run only when named.
std::span<const TBenchmarkTest> BenchmarkTests();

// The entry of a test; null for bmAll or a type without one.
const TBenchmarkTest* FindBenchmarkTest(TBenchmarkType Type);
// The entry of a console name; null when no test has it.
const TBenchmarkTest* FindBenchmarkTest(std::string_view ConsoleName);

// The tests a name given to --test runs: the test of that console name, or every test of that
// group name, in the table's order; none for a name of neither.
std::vector<const TBenchmarkTest*> FindBenchmarkTests(std::string_view Name);

// A name that --test takes, and what it runs, in one line of --help.
struct TTestName {
  std::string_view Name;
  std::string Description;
  bool InFullRun;
};
// Every name --test takes but 'all', in the table's order: each test's, and each group's just
// before its first test.
std::vector<TTestName> TestNames();

// Whether the test of this type is of Kind; false for bmAll.
bool IsOfKind(TBenchmarkType Type, TTestKind Kind);
// Whether the test of this type runs on the settings' OpenCL device.
bool UsesOpenCL(TBenchmarkType Type);
// Whether any of the tests is of Kind, or runs on the settings' OpenCL device.
bool AnyOfKind(std::span<const TBenchmarkType> Types, TTestKind Kind);
bool AnyUsesOpenCL(std::span<const TBenchmarkType> Types);
