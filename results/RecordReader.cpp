#include "RecordReader.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <type_traits>
#include <vector>

#include "RecordJson.h"
#include "TestTable.h"

using nlohmann::json;

namespace {

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
  // Files of Velmoras that kept no reason have none.
  if (Test.contains("reason")) Result.Reason = Text(Test, Path, "reason");
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
