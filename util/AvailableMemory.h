#pragma once
// How much system RAM the kernel can still hand out: the figure that every block backed by
// system RAM is checked against before its pages are touched.

#include <cstdint>
#include <functional>
#include <optional>

// MemAvailable of /proc/meminfo in bytes; empty when it cannot be read.
std::optional<std::uint64_t> ReadAvailableSystemMemory();

// Where a block's owner learns the memory available: the real reading, or a given figure in tests.
using TAvailableMemoryProbe = std::function<std::optional<std::uint64_t>()>;
