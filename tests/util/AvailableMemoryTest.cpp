// The memory a block may take: MemAvailable, and the room under the memory limits of the
// process's control groups, read from the texts that cgroup v1 and v2 hierarchies really show.

#include "AvailableMemory.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CgroupMemory.h"

namespace {

constexpr std::uint64_t MB = 1 << 20;

using TFiles = std::map<std::string, std::string>;

TReadKernelFile FilesOf(const TFiles& Files) {
  return [Files](const std::string& Path) -> std::optional<std::string> {
    const auto Found = Files.find(Path);
    if (Found == Files.end()) return std::nullopt;
    return Found->second;
  };
}

const std::string V2Mount = "30 23 0:26 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:4 - cgroup2 cgroup2 rw\n";
const std::string V1MemoryMount =
    "34 25 0:30 / /sys/fs/cgroup/memory rw,nosuid,nodev,noexec,relatime shared:15 - cgroup cgroup rw,memory\n";
const std::string RootMount = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";

std::string Number(std::uint64_t Bytes) { return std::to_string(Bytes) + "\n"; }

TEST(CgroupMemoryRoom, ReadsTheLimitsOfBothVersions) {
  struct TCase {
    const char* Name;
    TFiles Files;
    std::optional<std::uint64_t> Room;
  };
  const std::string Service = "/sys/fs/cgroup/system.slice/velmora.service";
  const std::string Docker = "/sys/fs/cgroup/memory/docker/4f1a";
  const TCase Cases[] = {
      {"v2: the limit less the usage, reclaimable page cache not counted",
       {{"/proc/self/cgroup", "0::/system.slice/velmora.service\n"},
        {"/proc/self/mountinfo", RootMount + V2Mount},
        {Service + "/memory.max", Number(1024 * MB)},
        {Service + "/memory.current", Number(300 * MB)},
        {Service + "/memory.stat", "anon 150000000\nfile 200000000\ninactive_file " + std::to_string(100 * MB) +
                                       "\nactive_file 5000\n"}},
       824 * MB},
      {"v2: \"max\" here, a limit on the group above",
       {{"/proc/self/cgroup", "0::/system.slice/velmora.service\n"},
        {"/proc/self/mountinfo", V2Mount},
        {Service + "/memory.max", "max\n"},
        {Service + "/memory.current", Number(50 * MB)},
        {"/sys/fs/cgroup/system.slice/memory.max", Number(512 * MB)},
        {"/sys/fs/cgroup/system.slice/memory.current", Number(400 * MB)}},
       112 * MB},
      {"v2: \"max\" everywhere", {{"/proc/self/cgroup", "0::/user.slice\n"},
                                  {"/proc/self/mountinfo", V2Mount},
                                  {"/sys/fs/cgroup/user.slice/memory.max", "max\n"},
                                  {"/sys/fs/cgroup/user.slice/memory.current", Number(50 * MB)}},
       std::nullopt},
      {"v2: no memory controller, so no memory files",
       {{"/proc/self/cgroup", "0::/user.slice\n"}, {"/proc/self/mountinfo", V2Mount}}, std::nullopt},
      {"v2 in a container: its own group is the root of what it sees",
       {{"/proc/self/cgroup", "0::/\n"},
        {"/proc/self/mountinfo", "40 30 0:26 / /sys/fs/cgroup ro,nosuid - cgroup2 cgroup rw\n"},
        {"/sys/fs/cgroup/memory.max", Number(2048 * MB)},
        {"/sys/fs/cgroup/memory.current", Number(48 * MB)}},
       2000 * MB},
      {"v2: usage above the limit leaves no room",
       {{"/proc/self/cgroup", "0::/a\n"},
        {"/proc/self/mountinfo", V2Mount},
        {"/sys/fs/cgroup/a/memory.max", Number(100 * MB)},
        {"/sys/fs/cgroup/a/memory.current", Number(101 * MB)}},
       0},
      {"v1: the hierarchy's page cache not counted, whatever the other controllers",
       {{"/proc/self/cgroup", "12:pids:/docker/4f1a\n4:memory:/docker/4f1a\n1:name=systemd:/docker/4f1a\n"},
        {"/proc/self/mountinfo", RootMount + V1MemoryMount},
        {Docker + "/memory.limit_in_bytes", Number(4096 * MB)},
        {Docker + "/memory.usage_in_bytes", Number(1024 * MB)},
        {Docker + "/memory.stat", "cache 10\ninactive_file 1\ntotal_inactive_file " + std::to_string(512 * MB) + "\n"},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"},
        {"/sys/fs/cgroup/memory/memory.usage_in_bytes", Number(8192 * MB)}},
       3584 * MB},
      {"v1 in a container: the mount shows the container's own group",
       {{"/proc/self/cgroup", "4:cpu,memory:/docker/4f1a\n"},
        {"/proc/self/mountinfo",
         "50 40 0:30 /docker/4f1a /sys/fs/cgroup/memory ro,nosuid - cgroup cgroup rw,cpu,memory\n"},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", Number(256 * MB)},
        {"/sys/fs/cgroup/memory/memory.usage_in_bytes", Number(56 * MB)}},
       200 * MB},
      {"v1 without a limit: the kernel's largest page counter",
       {{"/proc/self/cgroup", "4:memory:/\n"},
        {"/proc/self/mountinfo", V1MemoryMount},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"},
        {"/sys/fs/cgroup/memory/memory.usage_in_bytes", Number(100 * MB)}},
       9223372036854771712ull - 100 * MB},
      {"v1: a limit without its usage file counts from zero",
       {{"/proc/self/cgroup", "4:memory:/job\n"},
        {"/proc/self/mountinfo", V1MemoryMount},
        {"/sys/fs/cgroup/memory/job/memory.limit_in_bytes", Number(64 * MB)}},
       64 * MB},
      {"both: the memory controller on v1 and a limit on v2 too, the smaller counts",
       {{"/proc/self/cgroup", "4:memory:/job\n0::/job\n"},
        {"/proc/self/mountinfo", V1MemoryMount + V2Mount},
        {"/sys/fs/cgroup/memory/job/memory.limit_in_bytes", Number(640 * MB)},
        {"/sys/fs/cgroup/memory/job/memory.usage_in_bytes", Number(40 * MB)},
        {"/sys/fs/cgroup/job/memory.max", Number(500 * MB)},
        {"/sys/fs/cgroup/job/memory.current", Number(100 * MB)}},
       400 * MB},
      {"a mount point with a space, as mountinfo escapes it",
       {{"/proc/self/cgroup", "0::/a\n"},
        {"/proc/self/mountinfo", "30 23 0:26 / /run/my\\040cgroups rw - cgroup2 cgroup2 rw\n"},
        {"/run/my cgroups/a/memory.max", Number(10 * MB)},
        {"/run/my cgroups/a/memory.current", Number(0)}},
       10 * MB},
      {"damaged texts are no limit",
       {{"/proc/self/cgroup", "garbage\n0::relative\n::\n"},
        {"/proc/self/mountinfo", "nonsense - cgroup2\n" + V2Mount},
        {"/sys/fs/cgroup/memory.max", "12abc\n"}},
       std::nullopt},
      {"no /proc/self/cgroup", {{"/proc/self/mountinfo", V2Mount}}, std::nullopt},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(ReadCgroupMemoryRoom(FilesOf(Case.Files)), Case.Room);
  }
}

TEST(AvailableSystemMemory, IsTheSmallerOfMemAvailableAndTheCgroupRoomWhereBothAreKnown) {
  EXPECT_EQ(SmallerKnownMemory(12288 * MB, 1000 * MB), 1000 * MB);
  EXPECT_EQ(SmallerKnownMemory(512 * MB, 1000 * MB), 512 * MB);
  EXPECT_EQ(SmallerKnownMemory(std::nullopt, 1000 * MB), 1000 * MB);
  EXPECT_EQ(SmallerKnownMemory(512 * MB, std::nullopt), 512 * MB);
  EXPECT_EQ(SmallerKnownMemory(std::nullopt, std::nullopt), std::nullopt);
}

}  // namespace
