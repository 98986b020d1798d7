#pragma once
// The vocabulary of a benchmark run: which test is meant and the settings one run works with.

#include <cstdint>
#include <stop_token>

// Stored in one byte; the order is the order in which a full run calls the tests.
enum TBenchmarkType : std::uint8_t {
  bmGFXRAMWrite = 0,
  bmGFXRAMRead = 1,
  bmOpenCLRAMReadWrite = 2,
  bmSystemRAMWrite = 3,
  bmSystemRAMRead = 4,
  bmAll = 5,
  // Beyond the five of a full run: run only when asked for by name.
  bmSystemRAMWriteAll = 6,
  bmSystemRAMReadAll = 7,
  bmOpenCLHostToDevicePageable = 8,
  bmOpenCLHostToDevicePinned = 9,
  bmOpenCLDeviceToHostPageable = 10,
  bmOpenCLDeviceToHostPinned = 11,
};

// A plain value record: the runner fills one per run and every test only reads it.
struct TBenchmarkSettings {
  std::int64_t MemorySize = 0;  // bytes: megabytes times 2^20, in 64 bits
  std::int32_t Passes = 0;
  std::int32_t OpenCLPlatform = -1;  // -1: none selected
  std::int32_t OpenCLDevice = -1;    // -1: none selected
  std::int32_t OpenCLComputeCoreCount = 0;
  // Set when the user stops the run: a test ends after its current pass (the OpenCL test after its
  // current launch) with its clean-up done and no result, and the run starts no further test.
  std::stop_token StopToken;
  std::int32_t Threads = 0;  // the all-core tests' threads; 0: one per processor the program may use
};

// The megabyte of the block size, the log's MB/s and the byte-size texts: 2^20 bytes.
constexpr std::int64_t BytesPerMegabyte = std::int64_t{1} << 20;

// The block size the window offers, in megabytes, as a byte count.
constexpr std::int64_t MegabytesToBytes(std::int64_t Megabytes) { return Megabytes * BytesPerMegabyte; }
