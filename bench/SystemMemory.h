#pragma once
// Blocks of system RAM taken straight from the kernel: zero-filled and page-aligned, and refused
// up front when the machine cannot back them.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "AvailableMemory.h"

// One mapped block; unmapped by the destructor.
class TSystemMemoryBlock {
 public:
  TSystemMemoryBlock(void* Address, std::uint64_t Size) : FAddress(Address), FSize(Size) {}
  ~TSystemMemoryBlock();
  TSystemMemoryBlock(const TSystemMemoryBlock&) = delete;
  TSystemMemoryBlock& operator=(const TSystemMemoryBlock&) = delete;

  void* Address() const { return FAddress; }
  std::uint64_t Size() const { return FSize; }

 private:
  void* FAddress;
  std::uint64_t FSize;
};

enum class TBlockBacking {
  OnFirstTouch,  // pages are faulted in by the first access of a pass
  Populated,     // every page is backed by its own zeroed page before the block is handed out
};

class TSystemMemory {
 public:
  explicit TSystemMemory(TAvailableMemoryProbe AvailableMemory = ReadAvailableSystemMemory)
      : FAvailableMemory(std::move(AvailableMemory)) {}

  // A new block of Size bytes. A block larger than the memory available is refused before
  // anything is mapped: touching it would bring the out-of-memory killer and lose the log.
  std::unique_ptr<TSystemMemoryBlock> Allocate(std::int64_t Size, TBlockBacking Backing) const;

 private:
  TAvailableMemoryProbe FAvailableMemory;
};
