// A run's record as JSON and CSV, and read back: what goes in comes out, numbers keep a decimal
// point in any locale, and a file that is not a Velmora result is refused with what is wrong.

#include "RecordCsv.h"
#include "RecordJson.h"
#include "RecordReader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <clocale>
#include <fstream>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>

#include "ScopedDecimalSeparator.h"
#include "TestRecordChecks.h"
#include "TestTable.h"

namespace {

using nlohmann::json;

TRunRecord SampleRecord() {
  TRunRecord Record;
  Record.Run = {"1.0.0.0", "2026-01-31T17:04:05Z", "bench-host", "AMD Ryzen 9 7950X 16-Core Processor", 32,
                "6.1.0-18-amd64", std::uint64_t{64} << 30, std::uint64_t{60} << 30, "madvise"};
  Record.Settings.Tests = {bmGFXRAMRead, bmOpenCLRAMReadWrite, bmSystemRAMRead};
  Record.Settings.Settings = {std::int64_t{512} << 20, 3, 0, 1, 8704};
  TTestRecord GFX;
  GFX.Type = bmGFXRAMRead;
  GFX.Status = TTestStatus::Completed;
  GFX.BlockSize = std::int64_t{512} << 20;
  GFX.Passes = {{210'000'000, 512u << 20}, {180'400'000, 512u << 20}, {181'000'000, 512u << 20}};
  GFX.GFX = TGFXBlockRecord{"AMD Radeon RX 7900 XTX", "radv Mesa 23.2.1",
                            TGraphicsMemoryType{1, {"DEVICE_LOCAL", "HOST_VISIBLE", "HOST_COHERENT"}, 0,
                                                std::uint64_t{24} << 30, {"DEVICE_LOCAL"}},
                            std::nullopt, std::uint64_t{24} << 30, "PCIe 4.0 x16"};
  TTestRecord OpenCL;
  OpenCL.Type = bmOpenCLRAMReadWrite;
  OpenCL.Status = TTestStatus::Failed;
  OpenCL.Message = "No pass of the OpenCL test reported an execution time, so there is no speed";
  OpenCL.Reason = "GFX RAM block of 4.00 GB does not fit: this adapter has only 2.00 GB of free memory";
  OpenCL.OpenCL = TOpenCLRecord{"AMD Accelerated Parallel Processing", "gfx1100", "3581.0 (HSA1.1,LC)", 8704, 1, ""};
  OpenCL.BlockSize = GFX.BlockSize;
  TTestRecord System;
  System.Type = bmSystemRAMRead;
  System.Status = TTestStatus::Stopped;
  System.BlockSize = GFX.BlockSize;
  System.Passes = {{26'937'100, 512u << 20}};
  Record.Tests = {GFX, OpenCL, System};
  return Record;
}

TEST(RunRecordFiles, JsonReadsBackWithEveryPassStatusAndSetting) {
  const TRunRecord Record = SampleRecord();
  const TRunRecord Read = RunRecordFromJson(RunRecordJson(Record));
  const TRunInfo& Run = Read.Run;
  EXPECT_EQ(Run.VelmoraVersion, "1.0.0.0");
  EXPECT_EQ(Run.StartTimeUTC, "2026-01-31T17:04:05Z");
  EXPECT_EQ(Run.HostName, "bench-host");
  EXPECT_EQ(Run.ProcessorModel, "AMD Ryzen 9 7950X 16-Core Processor");
  EXPECT_EQ(Run.ProcessorCores, 32u);
  EXPECT_EQ(Run.KernelRelease, "6.1.0-18-amd64");
  EXPECT_EQ(Run.TotalMemory, std::uint64_t{64} << 30);
  EXPECT_EQ(Run.AvailableMemory, std::uint64_t{60} << 30);
  EXPECT_EQ(Run.TransparentHugePages, "madvise");
  EXPECT_EQ(Read.Settings.Tests, Record.Settings.Tests);
  EXPECT_EQ(Read.Settings.Settings.MemorySize, Record.Settings.Settings.MemorySize);
  EXPECT_EQ(Read.Settings.Settings.Passes, 3);
  EXPECT_EQ(Read.Settings.Settings.OpenCLDevice, 1);
  EXPECT_EQ(Read.Settings.Settings.OpenCLComputeCoreCount, 8704);
  ASSERT_EQ(Read.Tests.size(), 3u);
  for (std::size_t Index = 0; Index < 3; ++Index) {
    const TTestRecord& Before = Record.Tests[Index];
    const TTestRecord& After = Read.Tests[Index];
    ExpectSameTestAndPasses(Before, After);
    EXPECT_EQ(After.GFX.has_value(), Before.GFX.has_value());
    EXPECT_EQ(After.OpenCL.has_value(), Before.OpenCL.has_value());
  }
  const TGFXBlockRecord& GFX = *Read.Tests[0].GFX;
  EXPECT_EQ(GFX.Adapter, "AMD Radeon RX 7900 XTX");
  EXPECT_EQ(GFX.DriverVersion, "radv Mesa 23.2.1");
  ASSERT_TRUE(GFX.MemoryType);
  EXPECT_EQ(GFX.MemoryType->Index, 1u);
  EXPECT_EQ(GFX.MemoryType->Flags, (std::vector<std::string>{"DEVICE_LOCAL", "HOST_VISIBLE", "HOST_COHERENT"}));
  EXPECT_EQ(GFX.MemoryType->HeapSize, std::uint64_t{24} << 30);
  EXPECT_EQ(GFX.MemoryType->HeapFlags, std::vector<std::string>{"DEVICE_LOCAL"});
  EXPECT_FALSE(GFX.WalkedBlockSize);
  EXPECT_EQ(GFX.ReachableWindow, std::uint64_t{24} << 30);
  EXPECT_EQ(GFX.PCIeLink, "PCIe 4.0 x16");
  const TOpenCLRecord& OpenCL = *Read.Tests[1].OpenCL;
  EXPECT_EQ(OpenCL.Platform, "AMD Accelerated Parallel Processing");
  EXPECT_EQ(OpenCL.Device, "gfx1100");
  EXPECT_EQ(OpenCL.DriverVersion, "3581.0 (HSA1.1,LC)");
  EXPECT_EQ(OpenCL.WorkItems, 8704u);
  EXPECT_EQ(OpenCL.LaunchesPerPass, 1u);
  // A failure keeps its reason beside its message; the others have none.
  EXPECT_EQ(Read.Tests[1].Reason, Record.Tests[1].Reason);
  EXPECT_EQ(Read.Tests[0].Reason, "");
  const json Json = json::parse(RunRecordJson(Record));
  EXPECT_EQ(Json["tests"][1]["reason"], Record.Tests[1].Reason);
  EXPECT_TRUE(Json["tests"][0]["reason"].is_null());
  // Files of earlier Velmoras have no reason at all.
  json Earlier = Json;
  Earlier["tests"][1].erase("reason");
  EXPECT_EQ(RunRecordFromJson(Earlier.dump()).Tests[1].Reason, "");
}

TEST(RunRecordFiles, AnAllCoreTestKeepsItsThreadsAndTheRunItsThreadCount) {
  TRunRecord Record;
  Record.Settings.Tests = {bmSystemRAMRead, bmSystemRAMReadAll};
  Record.Settings.Settings = {std::int64_t{2048} << 20, 2, -1, -1, 0};
  Record.Settings.Settings.Threads = 4;
  TTestRecord AllCores;
  AllCores.Type = bmSystemRAMReadAll;
  AllCores.Status = TTestStatus::Completed;
  AllCores.BlockSize = std::int64_t{2048} << 20;
  AllCores.Passes = {{90'000'000, 2048u << 20}, {88'000'000, 2048u << 20}};
  AllCores.Threads = TThreadsRecord{{0, 2, 4, 6}};
  Record.Tests = {AllCores};
  const std::string Text = RunRecordJson(Record);
  const json Written = json::parse(Text);
  EXPECT_EQ(Written["settings"]["threads"], 4);
  EXPECT_EQ(Written["tests"][0]["threads"], json::parse(R"({"count": 4, "processors": [0, 2, 4, 6]})"));
  const TRunRecord Read = RunRecordFromJson(Text);
  EXPECT_EQ(Read.Settings.Settings.Threads, 4);
  ASSERT_EQ(Read.Tests.size(), 1u);
  ASSERT_TRUE(Read.Tests[0].Threads);
  EXPECT_EQ(Read.Tests[0].Threads->Processors, (std::vector<int>{0, 2, 4, 6}));
  // A run without an all-core test says nothing of threads.
  EXPECT_TRUE(json::parse(RunRecordJson(SampleRecord()))["settings"]["threads"].is_null());
  EXPECT_FALSE(json::parse(RunRecordJson(SampleRecord()))["tests"][2].contains("threads"));
}

// A transfer test runs on an OpenCL device without a kernel and keeps the link it was measured
// over; a file written before the transfer tests, without a link, still reads.
TEST(RunRecordFiles, ATransferTestKeepsItsDeviceAndItsLink) {
  TRunRecord Record;
  Record.Settings.Tests = {bmOpenCLDeviceToHostPinned};
  Record.Settings.Settings = {std::int64_t{512} << 20, 2, 0, 0, 2};
  TTestRecord Transfer;
  Transfer.Type = bmOpenCLDeviceToHostPinned;
  Transfer.Status = TTestStatus::Completed;
  Transfer.BlockSize = std::int64_t{512} << 20;
  Transfer.Passes = {{21'000'000, 512u << 20}, {20'500'000, 512u << 20}};
  Transfer.OpenCL = TOpenCLRecord{"NVIDIA CUDA", "NVIDIA GeForce RTX 3080", "535.183.01", 0, 1, "PCIe 4.0 x16"};
  Record.Tests = {Transfer};
  const std::string Text = RunRecordJson(Record);
  json Written = json::parse(Text);
  EXPECT_EQ(Written["tests"][0]["name"], "opencl-d2h-pinned");
  EXPECT_EQ(Written["tests"][0]["opencl"]["pcie_link"], "PCIe 4.0 x16");
  EXPECT_EQ(Written["settings"]["opencl"]["device"], 0);
  const TRunRecord Read = RunRecordFromJson(Text);
  ASSERT_EQ(Read.Tests.size(), 1u);
  ASSERT_TRUE(Read.Tests[0].OpenCL);
  EXPECT_EQ(Read.Tests[0].OpenCL->PCIeLink, "PCIe 4.0 x16");
  EXPECT_EQ(Read.Tests[0].OpenCL->WorkItems, 0u);

  Written["tests"][0]["opencl"].erase("pcie_link");
  const TRunRecord Earlier = RunRecordFromJson(Written.dump());
  ASSERT_TRUE(Earlier.Tests[0].OpenCL);
  EXPECT_EQ(Earlier.Tests[0].OpenCL->PCIeLink, "");
}

// The schema that users validate their files with names every test the table has, and no other.
TEST(RunRecordFiles, TheSchemaNamesEveryTestOfTheTable) {
  std::ifstream File(VELMORA_RESULT_SCHEMA);
  ASSERT_TRUE(File) << VELMORA_RESULT_SCHEMA;
  const json Schema = json::parse(File);
  std::vector<std::string> Names;
  for (const TBenchmarkTest& Test : BenchmarkTests()) Names.push_back(Test.ConsoleName);
  EXPECT_EQ(Schema["$defs"]["testName"]["enum"].get<std::vector<std::string>>(), Names);
}

TEST(RunRecordFiles, JsonCarriesTheFiguresOfCompletedTestsOnly) {
  const json Json = json::parse(RunRecordJson(SampleRecord()));
  const json& GFX = Json["tests"][0];
  EXPECT_EQ(GFX["passes"][0]["warm"], false);
  EXPECT_EQ(GFX["passes"][1]["warm"], true);
  EXPECT_DOUBLE_EQ(GFX["passes"][1]["bytes_per_second"].get<double>(), (512 << 20) / 0.1804);
  EXPECT_EQ(GFX["peak"]["pass"], 2);
  EXPECT_EQ(GFX["warm_passes"]["count"], 2);
  EXPECT_EQ(GFX["gfx"]["memory_type"]["flags"], json({"DEVICE_LOCAL", "HOST_VISIBLE", "HOST_COHERENT"}));
  EXPECT_EQ(GFX["gfx"]["pcie_link"], "PCIe 4.0 x16");
  const json& OpenCL = Json["tests"][1];
  EXPECT_EQ(OpenCL["status"], "failed");
  EXPECT_TRUE(OpenCL["average"].is_null());
  EXPECT_EQ(OpenCL["opencl"]["device"], "gfx1100");
  // A stopped test keeps its passes but reports no average or peak, as its log does.
  const json& System = Json["tests"][2];
  EXPECT_EQ(System["status"], "stopped");
  EXPECT_EQ(System["passes"].size(), 1u);
  EXPECT_TRUE(System["peak"].is_null());
}

TEST(RunRecordFiles, RefusesWhatIsNotAVelmoraResultSayingWhatIsWrong) {
  const json Good = json::parse(RunRecordJson(SampleRecord()));
  struct TCase {
    const char* Name;
    std::function<std::string()> Text;
    const char* Message;  // a regular expression
  };
  auto Changed = [&Good](const std::function<void(json&)>& Change) {
    return [Good, Change] {
      json Json = Good;
      Change(Json);
      return Json.dump();
    };
  };
  const TCase Cases[] = {
      {"not JSON", [] { return std::string("Velmora 1.0.0.0 Linux64"); }, "it is not JSON: parse error at line 1, .*"},
      {"empty", [] { return std::string(); }, "it is not JSON: .*"},
      // A number no double holds is the parser's range error, which escaped as no refusal at all.
      {"a number beyond a double", [] { return std::string("{\"format\": 20e68435456}"); },
       "it is not JSON: number overflow parsing '20e68435456'"},
      {"other JSON", [] { return std::string("{\"tests\": []}"); }, "it has no \"format\": \"velmora-result\""},
      {"a later layout", Changed([](json& J) { J["format_version"] = 2; }),
       "its format_version is 2, this Velmora reads version 1"},
      {"no run", Changed([](json& J) { J.erase("run"); }), "run is missing"},
      {"passes as text", Changed([](json& J) { J["settings"]["passes"] = "3"; }), "settings.passes is not a whole number"},
      {"unknown test", Changed([](json& J) { J["tests"][1]["name"] = "disk"; }),
       "tests\\[1\\]\\.name names no Velmora test: 'disk'"},
      {"unknown status", Changed([](json& J) { J["tests"][0]["status"] = "done"; }),
       "tests\\[0\\]\\.status is not a test status: 'done'"},
      {"negative time", Changed([](json& J) { J["tests"][0]["passes"][1]["nanoseconds"] = -5; }),
       "tests\\[0\\]\\.passes\\[1\\]\\.nanoseconds is out of range"},
      {"fractional bytes", Changed([](json& J) { J["tests"][0]["passes"][0]["bytes"] = 1.5; }),
       "tests\\[0\\]\\.passes\\[0\\]\\.bytes is not a whole number"},
      {"passes beyond 32 bits", Changed([](json& J) { J["settings"]["passes"] = 4294967296; }),
       "settings.passes is too large"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      RunRecordFromJson(Case.Text());
      ADD_FAILURE() << "accepted";
    } catch (const EResultFileError& Error) {
      EXPECT_TRUE(std::regex_match(Error.what(), std::regex(Case.Message))) << Error.what();
    }
  }
}

TEST(RunRecordFiles, CsvHasOneRowPerFactAndPassQuotedWhereNeeded) {
  TRunRecord Record = SampleRecord();
  Record.Tests[1].Message = "Error, \"quoted\"\nsecond line";
  const std::string Csv = RunRecordCsv(Record);
  EXPECT_EQ(Csv.substr(0, Csv.find('\n')), "record,test,pass,warm,nanoseconds,bytes,bytes_per_second,name,value");
  for (const char* Row : {"run,,,,,,,format,velmora-result\n",
                          "run,,,,,,,processor.model,AMD Ryzen 9 7950X 16-Core Processor\n",
                          "settings,,,,,,,tests,gfx-read|opencl|sys-read\n",
                          "test,gfx-read,,,,,,gfx.memory_type.flags,DEVICE_LOCAL|HOST_VISIBLE|HOST_COHERENT\n",
                          "test,opencl,,,,,,message,\"Error, \"\"quoted\"\"\nsecond line\"\n",
                          "pass,gfx-read,2,true,180400000,536870912,2976002838.137472,,\n"})
    EXPECT_NE(Csv.find(Row), std::string::npos) << Row;
}

// The window's toolkit switches the process to the user's locale; the files must not follow it.
TEST(ResultFilesInACommaLocale, KeepADecimalPoint) {
  const char* Comma = std::getenv("VELMORA_TEST_COMMA_LOCALE");
  // CTest compiles the locale and runs this test with it, and fails it should it ever skip.
  if (Comma == nullptr) GTEST_SKIP() << "run through CTest, which compiles the locale";
  ASSERT_NE(std::setlocale(LC_ALL, Comma), nullptr) << Comma;
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  const TScopedDecimalSeparator Separator(",");
  const TRunRecord Record = SampleRecord();
  const std::string Json = RunRecordJson(Record);
  const std::string Csv = RunRecordCsv(Record);
  const TRunRecord Read = RunRecordFromJson(Json);
  std::setlocale(LC_ALL, "C");
  EXPECT_NE(Json.find("\"bytes_per_second\": 2976002838.137472"), std::string::npos) << Json;
  EXPECT_NE(Csv.find(",2976002838.137472"), std::string::npos);
  EXPECT_FALSE(std::regex_search(Json, std::regex("[0-9],[0-9]")));
  EXPECT_EQ(Read.Tests[0].Passes[1].Nanoseconds, 180'400'000u);
}

}  // namespace
