#include "TestTable.h"

#include <algorithm>
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
    {bmGFXRAMWrite, TTestKind::GFX, "gfx-write", "the processor writes a block of the graphics adapter's memory",
     "Peak write GFX RAM:", BenchmarkGFXRAMWrite, true},
    {bmGFXRAMRead, TTestKind::GFX, "gfx-read", "the processor reads a block of the graphics adapter's memory",
     "Peak read GFX RAM:", BenchmarkGFXRAMRead, true},
    {bmOpenCLRAMReadWrite, TTestKind::OpenCL, "opencl", "an OpenCL kernel reads one device buffer and writes another",
     "Peak r&w GFX RAM:", WithoutVideoMemory<BenchmarkOpenCLGFXRAMReadWrite>, true},
    {bmSystemRAMWrite, TTestKind::SystemRAM, "sys-write", "the processor writes a block of system RAM",
     "Peak write SYS RAM:", WithoutVideoMemory<BenchmarkSystemRAMWrite>, true},
    {bmSystemRAMRead, TTestKind::SystemRAM, "sys-read", "the processor reads a block of system RAM",
     "Peak read SYS RAM:", WithoutVideoMemory<BenchmarkSystemRAMRead>, true},
    {bmSystemRAMWriteAll, TTestKind::AllCore, "sys-write-all", "every core writes its share of one block of system RAM",
     "Peak write SYS RAM (all cores):", WithoutVideoMemory<BenchmarkSystemRAMWriteAll>, false},
    {bmSystemRAMReadAll, TTestKind::AllCore, "sys-read-all", "every core reads its share of one block of system RAM",
     "Peak read SYS RAM (all cores):", WithoutVideoMemory<BenchmarkSystemRAMReadAll>, false},
    // Pageable and pinned host memory are tests of their own, so that each has its own passes,
    // average, peak and spread in the record and in a comparison; a group name runs both.
    {bmOpenCLHostToDevicePageable, TTestKind::Transfer, "opencl-h2d-pageable",
     "the OpenCL device copies a block from pageable host memory",
     "Peak host to device (pageable):", WithoutVideoMemory<BenchmarkOpenCLHostToDevicePageable>,
     false, "opencl-h2d"},
    {bmOpenCLHostToDevicePinned, TTestKind::Transfer, "opencl-h2d-pinned",
     "the OpenCL device copies a block from pinned host memory",
     "Peak host to device (pinned):", WithoutVideoMemory<BenchmarkOpenCLHostToDevicePinned>,
     false, "opencl-h2d"},
    {bmOpenCLDeviceToHostPageable, TTestKind::Transfer, "opencl-d2h-pageable",
     "the OpenCL device copies a block into pageable host memory",
     "Peak device to host (pageable):", WithoutVideoMemory<BenchmarkOpenCLDeviceToHostPageable>,
     false, "opencl-d2h"},
    {bmOpenCLDeviceToHostPinned, TTestKind::Transfer, "opencl-d2h-pinned",
     "the OpenCL device copies a block into pinned host memory",
     "Peak device to host (pinned):", WithoutVideoMemory<BenchmarkOpenCLDeviceToHostPinned>,
     false, "opencl-d2h"},
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

bool IsOfKind(TBenchmarkType Type, TTestKind Kind) {
  const TBenchmarkTest* Test = FindBenchmarkTest(Type);
  return Test != nullptr && Test->Kind == Kind;
}

bool UsesOpenCL(TBenchmarkType Type) {
  const TBenchmarkTest* Test = FindBenchmarkTest(Type);
  return Test != nullptr && KindUsesOpenCL(Test->Kind);
}

bool AnyOfKind(std::span<const TBenchmarkType> Types, TTestKind Kind) {
  return std::any_of(Types.begin(), Types.end(), [Kind](TBenchmarkType Type) { return IsOfKind(Type, Kind); });
}

bool AnyUsesOpenCL(std::span<const TBenchmarkType> Types) {
  return std::any_of(Types.begin(), Types.end(), [](TBenchmarkType Type) { return UsesOpenCL(Type); });
}
