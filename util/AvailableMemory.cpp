#include "AvailableMemory.h"

#include "MachineFacts.h"

std::optional<std::uint64_t> ReadAvailableSystemMemory() { return ReadMemInfoBytes("MemAvailable"); }
