#pragma once
// How much of this process's memory is backed by real pages, to see whether a block was touched.

#include <unistd.h>

#include <cstdint>
#include <fstream>

inline std::uint64_t ResidentBytes() {
  std::ifstream Statm("/proc/self/statm");
  std::uint64_t Pages = 0, Resident = 0;
  Statm >> Pages >> Resident;
  return Resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}
