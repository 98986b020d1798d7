#pragma once
// What the memory limits of the process's control groups still allow. Inside a container or a
// service with a memory limit the out-of-memory killer ends the process at that limit, however
// much memory the machine has free, so a block must fit under the limit too.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// One small file of the kernel (/proc, /sys) read whole; nullopt where it is missing or cannot be
// read. Tests hand in texts of their own.
using TReadKernelFile = std::function<std::optional<std::string>(const std::string& Path)>;
std::optional<std::string> ReadKernelFile(const std::string& Path);

// The smallest room left under any memory limit from the process's own groups up to the roots of
// their hierarchies: cgroup v2 memory.max minus memory.current, cgroup v1 memory.limit_in_bytes
// minus memory.usage_in_bytes. Page cache the kernel can drop (inactive_file of memory.stat) does
// not count as used, as MemAvailable counts it as available. The groups are found through
// /proc/self/cgroup and /proc/self/mountinfo. nullopt where no group has a limit: "max", no memory
// controller, or files that are missing or cannot be read.
std::optional<std::uint64_t> ReadCgroupMemoryRoom(const TReadKernelFile& ReadFile = ReadKernelFile);
