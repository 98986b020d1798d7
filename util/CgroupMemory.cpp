#include "CgroupMemory.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "TextFile.h"

namespace {

enum class TCgroupVersion { V1, V2 };

// The files of one cgroup version: the limit, the usage and the statistics with the reclaimable
// page cache.
struct TCgroupFiles {
  const char* Limit;
  const char* Usage;
  const char* Reclaimable;  // key in memory.stat; the first one present counts
  const char* ReclaimableFallback;
};

constexpr TCgroupFiles V2Files{"memory.max", "memory.current", "inactive_file", nullptr};
// total_inactive_file covers the whole subtree, as the usage does.
constexpr TCgroupFiles V1Files{"memory.limit_in_bytes", "memory.usage_in_bytes", "total_inactive_file",
                               "inactive_file"};

std::string_view Trim(std::string_view Text) {
  const std::size_t First = Text.find_first_not_of(" \t\n");
  if (First == std::string_view::npos) return {};
  return Text.substr(First, Text.find_last_not_of(" \t\n") - First + 1);
}

std::optional<std::uint64_t> ParseBytes(std::string_view Text) {
  Text = Trim(Text);
  std::uint64_t Value = 0;
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size()) return std::nullopt;
  return Value;
}

std::vector<std::string_view> Split(std::string_view Text, char Separator) {
  std::vector<std::string_view> Parts;
  for (std::size_t Start = 0;;) {
    const std::size_t End = Text.find(Separator, Start);
    Parts.push_back(Text.substr(Start, End == std::string_view::npos ? std::string_view::npos : End - Start));
    if (End == std::string_view::npos) return Parts;
    Start = End + 1;
  }
}

std::vector<std::string_view> Lines(std::string_view Text) {
  std::vector<std::string_view> Result;
  for (std::string_view Line : Split(Text, '\n'))
    if (!Line.empty()) Result.push_back(Line);
  return Result;
}

// Item is one of the comma-separated entries of List.
bool HasItem(std::string_view List, std::string_view Item) {
  const std::vector<std::string_view> Items = Split(List, ',');
  return std::ranges::find(Items, Item) != Items.end();
}

// mountinfo writes a space in a path as \040 (and a tab, a newline and a backslash likewise).
std::string UnescapeMountPath(std::string_view Text) {
  auto IsOctal = [](char C) { return C >= '0' && C <= '7'; };
  std::string Path;
  for (std::size_t At = 0; At < Text.size(); ++At) {
    if (Text[At] == '\\' && At + 3 < Text.size() && IsOctal(Text[At + 1]) && IsOctal(Text[At + 2]) &&
        IsOctal(Text[At + 3])) {
      Path += static_cast<char>((Text[At + 1] - '0') * 64 + (Text[At + 2] - '0') * 8 + (Text[At + 3] - '0'));
      At += 3;
    } else {
      Path += Text[At];
    }
  }
  return Path;
}

struct TCgroupMount {
  std::string Root;        // the group of the hierarchy that is mounted there
  std::string MountPoint;
};

std::vector<TCgroupMount> CgroupMounts(std::string_view MountInfo, TCgroupVersion Version) {
  std::vector<TCgroupMount> Mounts;
  for (std::string_view Line : Lines(MountInfo)) {
    // "36 25 0:31 / /sys/fs/cgroup/memory rw,nosuid - cgroup cgroup rw,memory"
    const std::size_t Dash = Line.find(" - ");
    if (Dash == std::string_view::npos) continue;
    std::vector<std::string_view> Before;
    for (std::string_view Field : Split(Line.substr(0, Dash), ' '))
      if (!Field.empty()) Before.push_back(Field);
    std::vector<std::string_view> After;
    for (std::string_view Field : Split(Line.substr(Dash + 3), ' '))
      if (!Field.empty()) After.push_back(Field);
    if (Before.size() < 5 || After.size() < 3) continue;
    const bool Matches = Version == TCgroupVersion::V2 ? After[0] == "cgroup2"
                                                       : After[0] == "cgroup" && HasItem(After[2], "memory");
    if (Matches) Mounts.push_back({UnescapeMountPath(Before[3]), UnescapeMountPath(Before[4])});
  }
  return Mounts;
}

// The group of the process in that hierarchy, from /proc/self/cgroup: "0::/path" for v2,
// "4:memory:/path" (the memory controller among the listed ones) for v1.
std::optional<std::string> ProcessGroup(std::string_view ProcCgroup, TCgroupVersion Version) {
  for (std::string_view Line : Lines(ProcCgroup)) {
    const std::size_t First = Line.find(':');
    const std::size_t Second = First == std::string_view::npos ? First : Line.find(':', First + 1);
    if (Second == std::string_view::npos) continue;
    const std::string_view Id = Line.substr(0, First);
    const std::string_view Controllers = Line.substr(First + 1, Second - First - 1);
    const std::string_view Path = Line.substr(Second + 1);
    const bool Matches =
        Version == TCgroupVersion::V2 ? Id == "0" && Controllers.empty() : HasItem(Controllers, "memory");
    if (Matches && !Path.empty() && Path.front() == '/') return std::string(Path);
  }
  return std::nullopt;
}

// The folder of the process's group under a mount of its hierarchy; the mount may show only a
// subtree (a container sees its own group as the root).
std::optional<std::string> GroupFolder(const TCgroupMount& Mount, const std::string& Group) {
  std::string Relative;
  if (Mount.Root == "/") {
    Relative = Group;
  } else if (Group == Mount.Root) {
    Relative = "/";
  } else if (Group.starts_with(Mount.Root + "/")) {
    Relative = Group.substr(Mount.Root.size());
  } else {
    return std::nullopt;
  }
  std::string Folder = Mount.MountPoint;
  while (Folder.size() > 1 && Folder.back() == '/') Folder.pop_back();
  if (Relative != "/") Folder += Relative;
  return Folder;
}

std::optional<std::uint64_t> StatValue(std::string_view Stat, const char* Key) {
  if (Key == nullptr) return std::nullopt;
  for (std::string_view Line : Lines(Stat)) {
    const std::size_t Space = Line.find(' ');
    if (Space != std::string_view::npos && Line.substr(0, Space) == Key) return ParseBytes(Line.substr(Space + 1));
  }
  return std::nullopt;
}

// The room under the limit of one group; nullopt when it has none.
std::optional<std::uint64_t> GroupRoom(const std::string& Folder, const TCgroupFiles& Files,
                                       const TReadKernelFile& ReadFile) {
  const std::optional<std::string> LimitText = ReadFile(Folder + "/" + Files.Limit);
  if (!LimitText) return std::nullopt;
  // "max" (v2) and anything else that is no number: no limit here.
  const std::optional<std::uint64_t> Limit = ParseBytes(*LimitText);
  if (!Limit) return std::nullopt;
  const std::optional<std::string> UsageText = ReadFile(Folder + "/" + Files.Usage);
  std::uint64_t Used = UsageText ? ParseBytes(*UsageText).value_or(0) : 0;
  if (const std::optional<std::string> Stat = ReadFile(Folder + "/memory.stat")) {
    std::optional<std::uint64_t> Reclaimable = StatValue(*Stat, Files.Reclaimable);
    if (!Reclaimable) Reclaimable = StatValue(*Stat, Files.ReclaimableFallback);
    Used -= std::min(Used, Reclaimable.value_or(0));
  }
  return *Limit > Used ? *Limit - Used : 0;
}

// The smallest room from the process's group up to the root of the hierarchy.
std::optional<std::uint64_t> HierarchyRoom(TCgroupVersion Version, std::string_view ProcCgroup,
                                           std::string_view MountInfo, const TReadKernelFile& ReadFile) {
  const std::optional<std::string> Group = ProcessGroup(ProcCgroup, Version);
  if (!Group) return std::nullopt;
  for (const TCgroupMount& Mount : CgroupMounts(MountInfo, Version)) {
    std::optional<std::string> Folder = GroupFolder(Mount, *Group);
    if (!Folder) continue;
    std::string Top = Mount.MountPoint;
    while (Top.size() > 1 && Top.back() == '/') Top.pop_back();
    const TCgroupFiles& Files = Version == TCgroupVersion::V2 ? V2Files : V1Files;
    std::optional<std::uint64_t> Smallest;
    for (std::string Current = *Folder;;) {
      if (const std::optional<std::uint64_t> Room = GroupRoom(Current, Files, ReadFile))
        Smallest = Smallest ? std::min(*Smallest, *Room) : *Room;
      if (Current.size() <= Top.size()) break;
      Current.resize(Current.rfind('/'));
      if (Current.size() < Top.size()) break;
    }
    return Smallest;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadKernelFile(const std::string& Path) {
  try {
    return ReadTextFile(Path);
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

std::optional<std::uint64_t> ReadCgroupMemoryRoom(const TReadKernelFile& ReadFile) {
  const std::optional<std::string> ProcCgroup = ReadFile("/proc/self/cgroup");
  const std::optional<std::string> MountInfo = ReadFile("/proc/self/mountinfo");
  if (!ProcCgroup || !MountInfo) return std::nullopt;
  std::optional<std::uint64_t> Smallest;
  // A machine may have both: v1 for the memory controller and v2 for the rest, or the reverse.
  for (const TCgroupVersion Version : {TCgroupVersion::V2, TCgroupVersion::V1})
    if (const std::optional<std::uint64_t> Room = HierarchyRoom(Version, *ProcCgroup, *MountInfo, ReadFile))
      Smallest = Smallest ? std::min(*Smallest, *Room) : *Room;
  return Smallest;
}
