#include "MachineFacts.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

std::string ReadProcessorModel(const std::string& CpuInfoPath) {
  std::ifstream CpuInfo(CpuInfoPath);
  std::string Line;
  while (std::getline(CpuInfo, Line)) {
    if (Line.rfind("model name", 0) != 0) continue;
    const std::size_t Colon = Line.find(':');
    if (Colon == std::string::npos) continue;
    const std::size_t First = Line.find_first_not_of(" \t", Colon + 1);
    return First == std::string::npos ? "" : Line.substr(First);
  }
  return "";
}

std::optional<std::uint64_t> ReadMemInfoBytes(const std::string& Field, const std::string& MemInfoPath) {
  std::ifstream MemInfo(MemInfoPath);
  std::string Line;
  while (std::getline(MemInfo, Line)) {
    std::istringstream Fields(Line);
    std::string Key;
    std::uint64_t Kilobytes = 0;
    if (Fields >> Key >> Kilobytes && Key == Field + ":") return Kilobytes * 1024;
  }
  return std::nullopt;
}

std::string ReadBracketedSetting(const std::string& Path) {
  std::ifstream File(Path);
  std::string Text;
  if (!std::getline(File, Text)) return "";
  const std::size_t Open = Text.find('[');
  const std::size_t Close = Text.find(']', Open == std::string::npos ? 0 : Open);
  if (Open == std::string::npos || Close == std::string::npos) return Text;
  return Text.substr(Open + 1, Close - Open - 1);
}

std::string ReadTransparentHugePages() {
  return ReadBracketedSetting("/sys/kernel/mm/transparent_hugepage/enabled");
}

std::string HostName() {
  utsname Names{};
  return uname(&Names) == 0 ? Names.nodename : "";
}

std::string KernelRelease() {
  utsname Names{};
  return uname(&Names) == 0 ? Names.release : "";
}

std::uint32_t OnlineProcessorCount() {
  const long Count = sysconf(_SC_NPROCESSORS_ONLN);
  return Count > 0 ? static_cast<std::uint32_t>(Count) : 1;
}
