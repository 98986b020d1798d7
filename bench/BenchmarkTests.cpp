#include "BenchmarkTests.h"

#include <array>

#include "GFXRAMBenchmark.h"
#include "OpenCLBenchmark.h"
#include "SystemRAMBenchmark.h"

namespace {

// A test that draws on no allocator, in the table's shape.
template <void (*Operation)(const TBenchmarkSettings&, TBenchmarkReporter&)>
void WithoutVideoMemory(const TBenchmarkSettings& Settings, TBenchmarkReporter& Reporter, TVraxDirect3D9*) {
  Operation(Settings, Reporter);
}

const std::array<TBenchmarkTest, 7> Tests{{
    {bmGFXRAMWrite, "gfx-write", "the processor writes a block of the graphics adapter's memory",
     "Peak write GFX RAM:", BenchmarkGFXRAMWrite, true},
    {bmGFXRAMRead, "gfx-read", "the processor reads a block of the graphics adapter's memory",
     "Peak read GFX RAM:", BenchmarkGFXRAMRead, true},
    {bmOpenCLRAMReadWrite, "opencl", "an OpenCL kernel reads one device buffer and writes another",
     "Peak r&w GFX RAM:", WithoutVideoMemory<BenchmarkOpenCLGFXRAMReadWrite>, true},
    {bmSystemRAMWrite, "sys-write", "the processor writes a block of system RAM",
     "Peak write SYS RAM:", WithoutVideoMemory<BenchmarkSystemRAMWrite>, true},
    {bmSystemRAMRead, "sys-read", "the processor reads a block of system RAM",
     "Peak read SYS RAM:", WithoutVideoMemory<BenchmarkSystemRAMRead>, true},
    {bmSystemRAMWriteAll, "sys-write-all", "every core writes its share of one block of system RAM",
     "Peak write SYS RAM (all cores):", WithoutVideoMemory<BenchmarkSystemRAMWriteAll>, false},
    {bmSystemRAMReadAll, "sys-read-all", "every core reads its share of one block of system RAM",
     "Peak read SYS RAM (all cores):", WithoutVideoMemory<BenchmarkSystemRAMReadAll>, false},
}};

}  // namespace

std::span<const TBenchmarkTest> BenchmarkTests() { return Tests; }

const TBenchmarkTest* FindBenchmarkTest(TBenchmarkType Type) {
  for (const TBenchmarkTest& Test : Tests)
    if (Test.Type == Type) return &Test;
  return nullptr;
}

const TBenchmarkTest* FindBenchmarkTest(std::string_view ConsoleName) {
  for (const TBenchmarkTest& Test : Tests)
    if (ConsoleName == Test.ConsoleName) return &Test;
  return nullptr;
}
