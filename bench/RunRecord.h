#pragma once
// The record of one run: the program and machine it ran on, its settings, and for every test its
// status, every pass and the adapter or device it used. The tests hand its parts to the reporter as
// they go; results/ keeps the record (RunRecorder.h), writes it as JSON or CSV and reads it back.
// Everything is in raw units: nanoseconds, bytes, bytes per second.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BenchmarkModel.h"
#include "GraphicsDevice.h"

enum class TTestStatus {
  Completed,  // every pass ran and the summary was reported
  Failed,     // ended with an error, which Message holds
  Stopped,    // the user stopped it
  Skipped,    // never started, because the run ended before it
};

// "completed", "failed", "stopped", "skipped"; and back, empty for any other text.
const char* TestStatusName(TTestStatus Status);
std::optional<TTestStatus> TestStatusFromName(const std::string& Name);

struct TRunInfo {
  std::string VelmoraVersion;
  std::string StartTimeUTC;  // "2026-01-31T17:04:05Z"
  std::string HostName;
  std::string ProcessorModel;
  std::uint32_t ProcessorCores = 0;  // online
  std::string KernelRelease;
  std::optional<std::uint64_t> TotalMemory;      // bytes
  std::optional<std::uint64_t> AvailableMemory;  // bytes, when the run started
  std::string TransparentHugePages;              // "madvise"; empty where the kernel has none
};

struct TRunSettings {
  std::vector<TBenchmarkType> Tests;  // in run order
  TBenchmarkSettings Settings;        // the OpenCL choices count only when Tests has the OpenCL test
};

struct TPassRecord {
  std::uint64_t Nanoseconds = 0;  // 0: the pass reported no time
  std::uint64_t Bytes = 0;        // what the pass counts as moved
};

// The graphics adapter memory a GFX test walked.
struct TGFXBlockRecord {
  std::string Adapter;
  std::string DriverVersion;
  std::optional<TGraphicsMemoryType> MemoryType;
  std::optional<std::uint64_t> WalkedBlockSize;  // bytes a pass walks, where less than the block asked for
  std::optional<std::uint64_t> ReachableWindow;  // bytes of the adapter's memory the processor can map
  std::string PCIeLink;                          // "PCIe 4.0 x16"; empty where unknown
};

// The OpenCL device a test ran on.
struct TOpenCLRecord {
  std::string Platform;
  std::string Device;
  std::string DriverVersion;
  std::uint32_t WorkItems = 0;        // 0 for the transfer tests, which run no kernel
  std::uint32_t LaunchesPerPass = 1;  // commands a pass
  std::string PCIeLink;               // the transfer tests: "PCIe 4.0 x16"; empty where unknown
};

// The threads of an all-core test: one per processor, pinned to it.
struct TThreadsRecord {
  std::vector<int> Processors;  // in thread order
};

struct TTestRecord {
  TBenchmarkType Type = bmAll;
  TTestStatus Status = TTestStatus::Failed;
  std::string Message;         // why it failed, stopped or was skipped
  // For a failed test, the lines it logged before its error that say why it failed ("GFX RAM block
  // of 4.00 GB does not fit: ..."), where the error's own message names neither size; empty else.
  std::string Reason;
  std::int64_t BlockSize = 0;  // bytes asked for
  std::vector<TPassRecord> Passes;
  std::optional<TGFXBlockRecord> GFX;
  std::optional<TOpenCLRecord> OpenCL;
  std::optional<TThreadsRecord> Threads;
};

struct TRunRecord {
  TRunInfo Run;
  TRunSettings Settings;
  std::vector<TTestRecord> Tests;
};

// A pass's rate in bytes per second; empty when it reported no time.
std::optional<double> PassRate(const TPassRecord& Pass);
