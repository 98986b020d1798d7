#include "SystemMemory.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "HelperQuobix.h"

TSystemMemoryBlock::~TSystemMemoryBlock() { munmap(FAddress, FSize); }

std::unique_ptr<TSystemMemoryBlock> TSystemMemory::Allocate(std::int64_t Size, TBlockBacking Backing) const {
  if (Size <= 0) throw std::invalid_argument("Invalid system memory block size: " + FormatByteSize(Size));
  const std::optional<std::uint64_t> Available = FAvailableMemory ? FAvailableMemory() : std::nullopt;
  if (Available && static_cast<std::uint64_t>(Size) > *Available)
    throw std::runtime_error("Not enough free system memory for a block of " + FormatByteSize(Size) + " (" +
                             FormatByteSize(static_cast<std::int64_t>(*Available)) + " available)");
  void* Address = mmap(nullptr, static_cast<std::size_t>(Size), PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | (Backing == TBlockBacking::Populated ? MAP_POPULATE : 0), -1, 0);
  if (Address == MAP_FAILED) {
    const int Error = errno;
    throw std::runtime_error("Could not allocate system memory: " + FormatByteSize(Size) + " (" + std::strerror(Error) +
                             ")");
  }
  return std::make_unique<TSystemMemoryBlock>(Address, static_cast<std::uint64_t>(Size));
}
