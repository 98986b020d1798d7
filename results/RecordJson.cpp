#include "RecordJson.h"

#include "PassFigures.h"
#include "RecordJsonTree.h"
#include "TestTable.h"

using nlohmann::ordered_json;

namespace {

ordered_json TextOrNull(const std::string& Text) { return Text.empty() ? ordered_json() : ordered_json(Text); }

template <typename T>
ordered_json ValueOrNull(const std::optional<T>& Value) {
  return Value ? ordered_json(*Value) : ordered_json();
}

const char* TestName(TBenchmarkType Type) {
  const TBenchmarkTest* Test = FindBenchmarkTest(Type);
  return Test ? Test->ConsoleName : "unknown";
}

ordered_json RunJson(const TRunInfo& Run) {
  return {{"velmora_version", Run.VelmoraVersion},
          {"start_time_utc", Run.StartTimeUTC},
          {"host_name", Run.HostName},
          {"processor", {{"model", Run.ProcessorModel}, {"cores", Run.ProcessorCores}}},
          {"kernel_release", Run.KernelRelease},
          {"memory", {{"total_bytes", ValueOrNull(Run.TotalMemory)}, {"available_bytes", ValueOrNull(Run.AvailableMemory)}}},
          {"transparent_huge_pages", TextOrNull(Run.TransparentHugePages)}};
}

ordered_json SettingsJson(const TRunSettings& Settings) {
  ordered_json Tests = ordered_json::array();
  for (const TBenchmarkType Type : Settings.Tests) Tests.push_back(TestName(Type));
  const TBenchmarkSettings& Values = Settings.Settings;
  ordered_json OpenCL;
  if (AnyUsesOpenCL(Settings.Tests))
    OpenCL = {{"platform", Values.OpenCLPlatform},
              {"device", Values.OpenCLDevice},
              {"work_items", Values.OpenCLComputeCoreCount}};
  // 0: one thread per processor the program may use; null when the run has no all-core test.
  const bool AllCores = AnyOfKind(Settings.Tests, TTestKind::AllCore);
  return {{"tests", Tests},           {"block_size_bytes", Values.MemorySize},
          {"passes", Values.Passes},  {"opencl", OpenCL},
          {"threads", AllCores ? ordered_json(Values.Threads) : ordered_json()}};
}

ordered_json GFXJson(const TGFXBlockRecord& Block) {
  ordered_json MemoryType;
  if (Block.MemoryType) {
    const TGraphicsMemoryType& Type = *Block.MemoryType;
    MemoryType = {{"index", Type.Index},
                  {"flags", Type.Flags},
                  {"heap", {{"index", Type.HeapIndex}, {"size_bytes", Type.HeapSize}, {"flags", Type.HeapFlags}}}};
  }
  return {{"adapter", Block.Adapter},
          {"driver_version", TextOrNull(Block.DriverVersion)},
          {"memory_type", MemoryType},
          {"reachable_window_bytes", ValueOrNull(Block.ReachableWindow)},
          {"pcie_link", TextOrNull(Block.PCIeLink)}};
}

ordered_json OpenCLJson(const TOpenCLRecord& Device) {
  return {{"platform", Device.Platform},
          {"device", Device.Device},
          {"driver_version", TextOrNull(Device.DriverVersion)},
          {"work_items", Device.WorkItems},
          {"launches_per_pass", Device.LaunchesPerPass},
          {"pcie_link", TextOrNull(Device.PCIeLink)}};
}

ordered_json TestJson(const TTestRecord& Test) {
  ordered_json Passes = ordered_json::array();
  for (std::size_t Index = 0; Index < Test.Passes.size(); ++Index) {
    const TPassRecord& Pass = Test.Passes[Index];
    Passes.push_back({{"pass", Index + 1},
                      {"warm", Index > 0},
                      {"nanoseconds", Pass.Nanoseconds},
                      {"bytes", Pass.Bytes},
                      {"bytes_per_second", ValueOrNull(PassRate(Pass))}});
  }
  const std::optional<TTestFigures> Figures = TestFigures(Test);
  ordered_json Average, Peak, Warm;
  if (Figures) {
    Average = {{"nanoseconds", Figures->AverageNanoseconds}, {"bytes_per_second", Figures->AverageRate}};
    Peak = {{"pass", Figures->PeakPass},
            {"nanoseconds", Figures->PeakNanoseconds},
            {"bytes_per_second", Figures->PeakRate}};
    if (Figures->Warm)
      Warm = {{"count", Figures->Warm->Count},
              {"median_bytes_per_second", Figures->Warm->Median},
              {"minimum_bytes_per_second", Figures->Warm->Minimum},
              {"maximum_bytes_per_second", Figures->Warm->Maximum},
              {"coefficient_of_variation", ValueOrNull(Figures->Warm->CoefficientOfVariation)}};
  }
  ordered_json Result = {
      {"name", TestName(Test.Type)},
      {"status", TestStatusName(Test.Status)},
      {"message", TextOrNull(Test.Message)},
      {"reason", TextOrNull(Test.Reason)},
      {"block_size_bytes", Test.BlockSize},
      {"walked_block_size_bytes", Test.GFX ? ValueOrNull(Test.GFX->WalkedBlockSize) : ordered_json()},
      {"passes", Passes},
      {"average", Average},
      {"peak", Peak},
      {"warm_passes", Warm},
  };
  // Each kind of test keeps what it ran on: the adapter's block, the OpenCL device, the threads.
  if (IsOfKind(Test.Type, TTestKind::GFX)) Result["gfx"] = Test.GFX ? GFXJson(*Test.GFX) : ordered_json();
  if (UsesOpenCL(Test.Type)) Result["opencl"] = Test.OpenCL ? OpenCLJson(*Test.OpenCL) : ordered_json();
  if (IsOfKind(Test.Type, TTestKind::AllCore))
    Result["threads"] = Test.Threads ? ordered_json{{"count", Test.Threads->Processors.size()},
                                                    {"processors", Test.Threads->Processors}}
                                     : ordered_json();
  return Result;
}

}  // namespace

ordered_json RecordJsonTree(const TRunRecord& Record) {
  ordered_json Tests = ordered_json::array();
  for (const TTestRecord& Test : Record.Tests) Tests.push_back(TestJson(Test));
  return {{"format", ResultFormatName},
          {"format_version", ResultFormatVersion},
          {"run", RunJson(Record.Run)},
          {"settings", SettingsJson(Record.Settings)},
          {"tests", Tests}};
}

std::string RunRecordJson(const TRunRecord& Record) { return RecordJsonTree(Record).dump(2) + "\n"; }

