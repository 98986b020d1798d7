#include "BenchmarkTests.h"

#include <array>

#include "GFXRAMBenchmark.h"
#include "OpenCLBenchmark.h"
#include "SystemRAMBenchmark.h"

namespace {

const std::array<TBenchmarkTest, 5> Tests{{
    {bmGFXRAMWrite, "gfx-write", "the processor writes a block of the graphics adapter's memory",
     "Peak write GFX RAM:", BenchmarkGFXRAMWrite},
    {bmGFXRAMRead, "gfx-read", "the processor reads a block of the graphics adapter's memory",
     "Peak read GFX RAM:", BenchmarkGFXRAMRead},
    {bmOpenCLRAMReadWrite, "opencl", "an OpenCL kernel reads one device buffer and writes another", "Peak r&w GFX RAM:",
     [](const TBenchmarkSettings& Settings, TBenchmarkReporter& Reporter, TVraxDirect3D9*) {
       BenchmarkOpenCLGFXRAMReadWrite(Settings, Reporter);
     }},
    {bmSystemRAMWrite, "sys-write", "the processor writes a block of system RAM", "Peak write SYS RAM:",
     [](const TBenchmarkSettings& Settings, TBenchmarkReporter& Reporter, TVraxDirect3D9*) {
       BenchmarkSystemRAMWrite(Settings, Reporter);
     }},
    {bmSystemRAMRead, "sys-read", "the processor reads a block of system RAM", "Peak read SYS RAM:",
     [](const TBenchmarkSettings& Settings, TBenchmarkReporter& Reporter, TVraxDirect3D9*) {
       BenchmarkSystemRAMRead(Settings, Reporter);
     }},
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
