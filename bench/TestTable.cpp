#include "TestTable.h"

#include <array>

#include "GFXRAMBenchmark.h"
#include "OpenCLBenchmark.h"
#include "OpenCLTransferBenchmark.h"
#include "SystemRAMBenchmark.h"

namespace {

// A test that draws on no allocator, in the table's shape.
template <void (*Operation)(const TBenchmarkSettings&, TBenchmarkReporter&)>
void WithoutVideoMemory(const TBenchmarkSettings& Settings, TBenchmarkReporter& Reporter, TVraxDirect3D9*) {
  Operation(Settings, Reporter);
}

const std::array<TBenchmarkTest, 11> Tests{{
    {bmGFXRAMWrite, "gfx-write", "the processor writes a block of the graphics adapter's memory",
     "Peak write GFX RAM:", BenchmarkGFXRAMWrite, true, false},
    {bmGFXRAMRead, "gfx-read", "the processor reads a block of the graphics adapter's memory",
     "Peak read GFX RAM:", BenchmarkGFXRAMRead, true, false},
    {bmOpenCLRAMReadWrite, "opencl", "an OpenCL kernel reads one device buffer and writes another",
     "Peak r&w GFX RAM:", WithoutVideoMemory<BenchmarkOpenCLGFXRAMReadWrite>, true, true},
    {bmSystemRAMWrite, "sys-write", "the processor writes a block of system RAM",
     "Peak write SYS RAM:", WithoutVideoMemory<BenchmarkSystemRAMWrite>, true, false},
    {bmSystemRAMRead, "sys-read", "the processor reads a block of system RAM",
     "Peak read SYS RAM:", WithoutVideoMemory<BenchmarkSystemRAMRead>, true, false},
    {bmSystemRAMWriteAll, "sys-write-all", "every core writes its share of one block of system RAM",
     "Peak write SYS RAM (all cores):", WithoutVideoMemory<BenchmarkSystemRAMWriteAll>, false, false},
    {bmSystemRAMReadAll, "sys-read-all", "every core reads its share of one block of system RAM",
     "Peak read SYS RAM (all cores):", WithoutVideoMemory<BenchmarkSystemRAMReadAll>, false, false},
    // Pageable and pinned host memory are tests of their own, so that each has its own passes,
    // average, peak and spread in the record and in a comparison; a group name runs both.
    {bmOpenCLHostToDevicePageable, "opencl-h2d-pageable",
     "the OpenCL device copies a block from pageable host memory",
     "Peak host to device (pageable):", WithoutVideoMemory<BenchmarkOpenCLHostToDevicePageable>, false, true,
     "opencl-h2d"},
    {bmOpenCLHostToDevicePinned, "opencl-h2d-pinned",
     "the OpenCL device copies a block from pinned host memory",
     "Peak host to device (pinned):", WithoutVideoMemory<BenchmarkOpenCLHostToDevicePinned>, false, true,
     "opencl-h2d"},
    {bmOpenCLDeviceToHostPageable, "opencl-d2h-pageable",
     "the OpenCL device copies a block into pageable host memory",
     "Peak device to host (pageable):", WithoutVideoMemory<BenchmarkOpenCLDeviceToHostPageable>, false, true,
     "opencl-d2h"},
    {bmOpenCLDeviceToHostPinned, "opencl-d2h-pinned",
     "the OpenCL device copies a block into pinned host memory",
     "Peak device to host (pinned):", WithoutVideoMemory<BenchmarkOpenCLDeviceToHostPinned>, false, true,
     "opencl-d2h"},
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

std::vector<const TBenchmarkTest*> FindBenchmarkTests(std::string_view Name) {
  std::vector<const TBenchmarkTest*> Found;
  for (const TBenchmarkTest& Test : Tests)
    if (Name == Test.ConsoleName || (Test.GroupName != nullptr && Name == Test.GroupName)) Found.push_back(&Test);
  return Found;
}

std::vector<TTestName> TestNames() {
  std::vector<TTestName> Names;
  for (const TBenchmarkTest& Test : Tests) {
    if (Test.GroupName != nullptr && FindBenchmarkTests(Test.GroupName).front() == &Test) {
      std::string Members;
      for (const TBenchmarkTest* Member : FindBenchmarkTests(Test.GroupName))
        Members += (Members.empty() ? "" : " and ") + std::string(Member->ConsoleName);
      Names.push_back({Test.GroupName, "runs " + Members, Test.InFullRun});
    }
    Names.push_back({Test.ConsoleName, Test.Description, Test.InFullRun});
  }
  return Names;
}

bool UsesOpenCL(TBenchmarkType Type) {
  const TBenchmarkTest* Test = FindBenchmarkTest(Type);
  return Test != nullptr && Test->UsesOpenCL;
}
