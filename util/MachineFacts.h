#pragma once
// What a results file says about the machine a run was made on: its name, kernel, processor,
// memory and huge-page setting, each read from the kernel's own files.

#include <cstdint>
#include <optional>
#include <string>

// The "model name" of /proc/cpuinfo (or of the given file); empty when it cannot be read.
std::string ReadProcessorModel(const std::string& CpuInfoPath = "/proc/cpuinfo");

// A field of /proc/meminfo (or of the given file) such as "MemTotal", in bytes; empty when missing.
std::optional<std::uint64_t> ReadMemInfoBytes(const std::string& Field, const std::string& MemInfoPath = "/proc/meminfo");

// The chosen value of a kernel setting written as "always [madvise] never": "madvise"; the whole
// text when nothing is bracketed; empty when the file cannot be read.
std::string ReadBracketedSetting(const std::string& Path);

// The transparent huge pages mode of the running kernel ("always", "madvise", "never"); empty
// where the kernel has none.
std::string ReadTransparentHugePages();

std::string HostName();
std::string KernelRelease();
// Processors online; at least 1.
std::uint32_t OnlineProcessorCount();
