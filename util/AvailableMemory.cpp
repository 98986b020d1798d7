#include "AvailableMemory.h"

#include <fstream>
#include <sstream>
#include <string>

std::optional<std::uint64_t> ReadAvailableSystemMemory() {
  std::ifstream MemInfo("/proc/meminfo");
  std::string Line;
  while (std::getline(MemInfo, Line)) {
    std::istringstream Fields(Line);
    std::string Key;
    std::uint64_t Kilobytes = 0;
    if (Fields >> Key >> Kilobytes && Key == "MemAvailable:") return Kilobytes * 1024;
  }
  return std::nullopt;
}
