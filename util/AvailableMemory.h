#pragma once
// How much system RAM this process can still be given: the figure that every block backed by
// system RAM is checked against before its pages are touched.

#include <cstdint>
#include <functional>
#include <optional>

// The smaller of MemAvailable (/proc/meminfo) and what the process's control groups still allow
// (CgroupMemory.h), in bytes; empty when neither can be read.
std::optional<std::uint64_t> ReadAvailableSystemMemory();

// The rule of that figure: the smaller of the two where both are known, else the one that is.
std::optional<std::uint64_t> SmallerKnownMemory(std::optional<std::uint64_t> Available,
                                                std::optional<std::uint64_t> CgroupRoom);

// Where a block's owner learns the memory available: the real reading, or a given figure in tests.
using TAvailableMemoryProbe = std::function<std::optional<std::uint64_t>()>;
