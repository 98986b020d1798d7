#pragma once
// Backing a mapped block with real memory before it is measured. Memory that nobody wrote is
// mapped to the kernel's one shared zero page, which sits in the processor's cache: a read pass
// over it would time the cache, not the memory.

#include <cstdint>

// Gives every page of [Address, Address + Size) its own backing, keeping what the pages hold.
// Falls back to TouchEveryPage where the kernel cannot populate the range.
void BackWithRealPages(void* Address, std::uint64_t Size);

// Writes a zero byte into every page of [Address, Address + Size), which backs it on first touch.
void TouchEveryPage(void* Address, std::uint64_t Size);
