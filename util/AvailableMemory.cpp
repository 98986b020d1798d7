#include "AvailableMemory.h"

#include <algorithm>

#include "CgroupMemory.h"
#include "MachineFacts.h"

std::optional<std::uint64_t> SmallerKnownMemory(std::optional<std::uint64_t> Available,
                                                std::optional<std::uint64_t> CgroupRoom) {
  if (Available && CgroupRoom) return std::min(*Available, *CgroupRoom);
  return Available ? Available : CgroupRoom;
}

std::optional<std::uint64_t> ReadAvailableSystemMemory() {
  return SmallerKnownMemory(ReadMemInfoBytes("MemAvailable"), ReadCgroupMemoryRoom());
}
