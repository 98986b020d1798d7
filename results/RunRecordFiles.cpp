#include "RunRecordFiles.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>
#include <type_traits>
#include <vector>

#include "TestTable.h"
#include "PassFigures.h"
#include "SystemRAMBenchmark.h"

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

// ---- Writing ----

ordered_json TextOrNull(const std::string& Text) { return Text.empty() ? ordered_json() : ordered_json(Text); }

template <typename T>
ordered_json ValueOrNull(const std::optional<T>& Value) {
  return Value ? ordered_json(*Value) : ordered_json();
}

const char* TestName(TBenchmarkType Type) {
  const TBenchmarkTest* Test = FindBenchmarkTest(Type);
  return Test ? Test->ConsoleName : "unknown";
}

bool HasOpenCLTest(const TRunSettings& Settings) {
  return std::any_of(Settings.Tests.begin(), Settings.Tests.end(), [](TBenchmarkType Type) { return UsesOpenCL(Type); });
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
  if (HasOpenCLTest(Settings))
    OpenCL = {{"platform", Values.OpenCLPlatform},
              {"device", Values.OpenCLDevice},
              {"work_items", Values.OpenCLComputeCoreCount}};
  // 0: one thread per processor the program may use; null when the run has no all-core test.
  const bool AllCores = std::any_of(Settings.Tests.begin(), Settings.Tests.end(), IsAllCoreTest);
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
      {"block_size_bytes", Test.BlockSize},
      {"walked_block_size_bytes", Test.GFX ? ValueOrNull(Test.GFX->WalkedBlockSize) : ordered_json()},
      {"passes", Passes},
      {"average", Average},
      {"peak", Peak},
      {"warm_passes", Warm},
  };
  if (Test.Type == bmGFXRAMWrite || Test.Type == bmGFXRAMRead)
    Result["gfx"] = Test.GFX ? GFXJson(*Test.GFX) : ordered_json();
  if (UsesOpenCL(Test.Type)) Result["opencl"] = Test.OpenCL ? OpenCLJson(*Test.OpenCL) : ordered_json();
  if (IsAllCoreTest(Test.Type))
    Result["threads"] = Test.Threads ? ordered_json{{"count", Test.Threads->Processors.size()},
                                                    {"processors", Test.Threads->Processors}}
                                     : ordered_json();
  return Result;
}

ordered_json RecordJson(const TRunRecord& Record) {
  ordered_json Tests = ordered_json::array();
  for (const TTestRecord& Test : Record.Tests) Tests.push_back(TestJson(Test));
  return {{"format", ResultFormatName},
          {"format_version", ResultFormatVersion},
          {"run", RunJson(Record.Run)},
          {"settings", SettingsJson(Record.Settings)},
          {"tests", Tests}};
}

// ---- CSV ----

std::string CsvField(const std::string& Text) {
  if (Text.find_first_of(",\"\r\n") == std::string::npos) return Text;
  std::string Quoted = "\"";
  for (const char Character : Text) {
    if (Character == '"') Quoted += '"';
    Quoted += Character;
  }
  return Quoted + "\"";
}

// A scalar as a CSV value: texts as they are, numbers in JSON's C-locale form, lists joined by "|".
std::string CsvValue(const ordered_json& Value) {
  if (Value.is_null()) return "";
  if (Value.is_string()) return Value.get<std::string>();
  if (Value.is_array()) {
    std::string Joined;
    for (const ordered_json& Item : Value) Joined += (Joined.empty() ? "" : "|") + CsvValue(Item);
    return Joined;
  }
  return Value.dump();
}

struct TCsvRow {
  std::string Record, Test, Pass, Warm, Nanoseconds, Bytes, BytesPerSecond, Name, Value;
};

void AddRow(std::string& Csv, const TCsvRow& Row) {
  for (const std::string* Field : {&Row.Record, &Row.Test, &Row.Pass, &Row.Warm, &Row.Nanoseconds, &Row.Bytes,
                                   &Row.BytesPerSecond, &Row.Name, &Row.Value}) {
    if (Field != &Row.Record) Csv += ',';
    Csv += CsvField(*Field);
  }
  Csv += '\n';
}

// Every scalar and list of Object under its dotted name, "processor.model".
void AddNamedRows(std::string& Csv, const std::string& Record, const std::string& Test, const ordered_json& Object,
                  const std::string& Prefix = "") {
  for (const auto& [Key, Value] : Object.items()) {
    if (Value.is_object()) {
      AddNamedRows(Csv, Record, Test, Value, Prefix + Key + ".");
    } else {
      AddRow(Csv, {Record, Test, "", "", "", "", "", Prefix + Key, CsvValue(Value)});
    }
  }
}

// ---- Reading ----

[[noreturn]] void Refuse(const std::string& Why) { throw EResultFileError(Why); }

const json& Member(const json& Object, const std::string& Path, const char* Key) {
  if (!Object.is_object()) Refuse(Path + " is not an object");
  const auto Found = Object.find(Key);
  if (Found == Object.end()) Refuse((Path.empty() ? "" : Path + ".") + Key + " is missing");
  return *Found;
}

std::string Join(const std::string& Path, const char* Key) { return Path.empty() ? Key : Path + "." + Key; }

template <typename T>
T WholeNumber(const json& Object, const std::string& Path, const char* Key) {
  const json& Value = Member(Object, Path, Key);
  if (!Value.is_number_integer()) Refuse(Join(Path, Key) + " is not a whole number");
  // The parser keeps every number from 0 up as unsigned, so the signed ones here are negative.
  if (Value.is_number_unsigned()) {
    const auto Number = Value.get<std::uint64_t>();
    if (Number > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) Refuse(Join(Path, Key) + " is too large");
    return static_cast<T>(Number);
  }
  const auto Number = Value.get<std::int64_t>();
  if (std::is_unsigned_v<T> || Number < static_cast<std::int64_t>(std::numeric_limits<T>::min()))
    Refuse(Join(Path, Key) + " is out of range");
  return static_cast<T>(Number);
}

std::string Text(const json& Object, const std::string& Path, const char* Key) {
  const json& Value = Member(Object, Path, Key);
  if (Value.is_null()) return "";
  if (!Value.is_string()) Refuse(Join(Path, Key) + " is not a text");
  return Value.get<std::string>();
}

TBenchmarkType TestType(const json& Name, const std::string& Path) {
  if (!Name.is_string()) Refuse(Path + " is not a text");
  const TBenchmarkTest* Test = FindBenchmarkTest(Name.get<std::string>());
  if (!Test) Refuse(Path + " names no Velmora test: '" + Name.get<std::string>() + "'");
  return Test->Type;
}

template <typename T>
std::optional<T> WholeNumberOrNull(const json& Object, const std::string& Path, const char* Key) {
  if (Member(Object, Path, Key).is_null()) return std::nullopt;
  return WholeNumber<T>(Object, Path, Key);
}

std::vector<std::string> Texts(const json& Object, const std::string& Path, const char* Key) {
  const json& List = Member(Object, Path, Key);
  if (!List.is_array()) Refuse(Join(Path, Key) + " is not a list");
  std::vector<std::string> Result;
  for (const json& Item : List) {
    if (!Item.is_string()) Refuse(Join(Path, Key) + " holds something that is not a text");
    Result.push_back(Item.get<std::string>());
  }
  return Result;
}

TRunInfo ReadRun(const json& Run) {
  TRunInfo Info;
  Info.VelmoraVersion = Text(Run, "run", "velmora_version");
  Info.StartTimeUTC = Text(Run, "run", "start_time_utc");
  Info.HostName = Text(Run, "run", "host_name");
  const json& Processor = Member(Run, "run", "processor");
  Info.ProcessorModel = Text(Processor, "run.processor", "model");
  Info.ProcessorCores = WholeNumber<std::uint32_t>(Processor, "run.processor", "cores");
  Info.KernelRelease = Text(Run, "run", "kernel_release");
  const json& Memory = Member(Run, "run", "memory");
  Info.TotalMemory = WholeNumberOrNull<std::uint64_t>(Memory, "run.memory", "total_bytes");
  Info.AvailableMemory = WholeNumberOrNull<std::uint64_t>(Memory, "run.memory", "available_bytes");
  Info.TransparentHugePages = Text(Run, "run", "transparent_huge_pages");
  return Info;
}

TGFXBlockRecord ReadGFX(const json& GFX, const std::string& Path) {
  TGFXBlockRecord Block;
  Block.Adapter = Text(GFX, Path, "adapter");
  Block.DriverVersion = Text(GFX, Path, "driver_version");
  const json& Type = Member(GFX, Path, "memory_type");
  if (!Type.is_null()) {
    const std::string TypePath = Path + ".memory_type";
    const json& Heap = Member(Type, TypePath, "heap");
    Block.MemoryType = TGraphicsMemoryType{WholeNumber<std::uint32_t>(Type, TypePath, "index"),
                                           Texts(Type, TypePath, "flags"),
                                           WholeNumber<std::uint32_t>(Heap, TypePath + ".heap", "index"),
                                           WholeNumber<std::uint64_t>(Heap, TypePath + ".heap", "size_bytes"),
                                           Texts(Heap, TypePath + ".heap", "flags")};
  }
  Block.ReachableWindow = WholeNumberOrNull<std::uint64_t>(GFX, Path, "reachable_window_bytes");
  Block.PCIeLink = Text(GFX, Path, "pcie_link");
  return Block;
}

TOpenCLRecord ReadOpenCL(const json& OpenCL, const std::string& Path) {
  TOpenCLRecord Device{Text(OpenCL, Path, "platform"), Text(OpenCL, Path, "device"),
                       Text(OpenCL, Path, "driver_version"), WholeNumber<std::uint32_t>(OpenCL, Path, "work_items"),
                       WholeNumber<std::uint32_t>(OpenCL, Path, "launches_per_pass"), ""};
  // Files written before the transfer tests have no link.
  if (OpenCL.contains("pcie_link")) Device.PCIeLink = Text(OpenCL, Path, "pcie_link");
  return Device;
}

TRunSettings ReadSettings(const json& Settings) {
  TRunSettings Result;
  const json& Tests = Member(Settings, "settings", "tests");
  if (!Tests.is_array()) Refuse("settings.tests is not a list");
  for (std::size_t Index = 0; Index < Tests.size(); ++Index)
    Result.Tests.push_back(TestType(Tests[Index], "settings.tests[" + std::to_string(Index) + "]"));
  Result.Settings.MemorySize = WholeNumber<std::int64_t>(Settings, "settings", "block_size_bytes");
  Result.Settings.Passes = WholeNumber<std::int32_t>(Settings, "settings", "passes");
  // Files of runs without an all-core test may leave it out.
  if (Settings.contains("threads") && !Settings["threads"].is_null())
    Result.Settings.Threads = WholeNumber<std::int32_t>(Settings, "settings", "threads");
  const json& OpenCL = Member(Settings, "settings", "opencl");
  if (!OpenCL.is_null()) {
    Result.Settings.OpenCLPlatform = WholeNumber<std::int32_t>(OpenCL, "settings.opencl", "platform");
    Result.Settings.OpenCLDevice = WholeNumber<std::int32_t>(OpenCL, "settings.opencl", "device");
    Result.Settings.OpenCLComputeCoreCount = WholeNumber<std::int32_t>(OpenCL, "settings.opencl", "work_items");
  }
  return Result;
}

TTestRecord ReadTest(const json& Test, const std::string& Path) {
  TTestRecord Result;
  Result.Type = TestType(Member(Test, Path, "name"), Path + ".name");
  const std::string Status = Text(Test, Path, "status");
  const std::optional<TTestStatus> Parsed = TestStatusFromName(Status);
  if (!Parsed) Refuse(Path + ".status is not a test status: '" + Status + "'");
  Result.Status = *Parsed;
  Result.Message = Text(Test, Path, "message");
  Result.BlockSize = WholeNumber<std::int64_t>(Test, Path, "block_size_bytes");
  const json& Passes = Member(Test, Path, "passes");
  if (!Passes.is_array()) Refuse(Path + ".passes is not a list");
  for (std::size_t Index = 0; Index < Passes.size(); ++Index) {
    const std::string PassPath = Path + ".passes[" + std::to_string(Index) + "]";
    Result.Passes.push_back({WholeNumber<std::uint64_t>(Passes[Index], PassPath, "nanoseconds"),
                             WholeNumber<std::uint64_t>(Passes[Index], PassPath, "bytes")});
  }
  if (Test.contains("gfx") && !Test["gfx"].is_null()) {
    Result.GFX = ReadGFX(Test["gfx"], Path + ".gfx");
    Result.GFX->WalkedBlockSize = WholeNumberOrNull<std::uint64_t>(Test, Path, "walked_block_size_bytes");
  }
  if (Test.contains("opencl") && !Test["opencl"].is_null()) Result.OpenCL = ReadOpenCL(Test["opencl"], Path + ".opencl");
  if (Test.contains("threads") && !Test["threads"].is_null()) {
    const json& Processors = Member(Test["threads"], Path + ".threads", "processors");
    if (!Processors.is_array()) Refuse(Path + ".threads.processors is not a list");
    Result.Threads.emplace();
    for (const json& Processor : Processors) {
      if (!Processor.is_number_unsigned() || Processor.get<std::uint64_t>() > std::numeric_limits<int>::max())
        Refuse(Path + ".threads.processors holds something that is no processor number");
      Result.Threads->Processors.push_back(Processor.get<int>());
    }
  }
  return Result;
}

}  // namespace

std::string RunRecordJson(const TRunRecord& Record) { return RecordJson(Record).dump(2) + "\n"; }

std::string RunRecordCsv(const TRunRecord& Record) {
  const ordered_json Json = RecordJson(Record);
  std::string Csv;
  AddRow(Csv, {"record", "test", "pass", "warm", "nanoseconds", "bytes", "bytes_per_second", "name", "value"});
  AddRow(Csv, {"run", "", "", "", "", "", "", "format", ResultFormatName});
  AddRow(Csv, {"run", "", "", "", "", "", "", "format_version", std::to_string(ResultFormatVersion)});
  AddNamedRows(Csv, "run", "", Json["run"]);
  AddNamedRows(Csv, "settings", "", Json["settings"]);
  for (const ordered_json& Test : Json["tests"]) {
    const std::string Name = Test["name"].get<std::string>();
    ordered_json Figures = Test;
    Figures.erase("name");
    Figures.erase("passes");
    AddNamedRows(Csv, "test", Name, Figures);
    for (const ordered_json& Pass : Test["passes"])
      AddRow(Csv, {"pass", Name, CsvValue(Pass["pass"]), CsvValue(Pass["warm"]), CsvValue(Pass["nanoseconds"]),
                   CsvValue(Pass["bytes"]), CsvValue(Pass["bytes_per_second"]), "", ""});
  }
  return Csv;
}

TRunRecord RunRecordFromJson(const std::string& Text) {
  json Json;
  try {
    Json = json::parse(Text);
  } catch (const json::exception& Error) {
    // "[json.exception.parse_error.101] parse error at line 1, ...": the part after the tag. A
    // number too large for a double ("1e400") is the parser's out_of_range.406, not a parse error.
    const std::string What = Error.what();
    const std::size_t Tag = What.find("] ");
    Refuse("it is not JSON: " + (Tag == std::string::npos ? What : What.substr(Tag + 2)));
  }
  if (!Json.is_object() || !Json.contains("format") || Json["format"] != ResultFormatName)
    Refuse(std::string("it has no \"format\": \"") + ResultFormatName + "\"");
  const int Version = WholeNumber<int>(Json, "", "format_version");
  if (Version != ResultFormatVersion)
    Refuse("its format_version is " + std::to_string(Version) + ", this Velmora reads version " +
           std::to_string(ResultFormatVersion));
  TRunRecord Record;
  Record.Run = ReadRun(Member(Json, "", "run"));
  Record.Settings = ReadSettings(Member(Json, "", "settings"));
  const json& Tests = Member(Json, "", "tests");
  if (!Tests.is_array()) Refuse("tests is not a list");
  for (std::size_t Index = 0; Index < Tests.size(); ++Index)
    Record.Tests.push_back(ReadTest(Tests[Index], "tests[" + std::to_string(Index) + "]"));
  return Record;
}
