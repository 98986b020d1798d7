#include "PageBacking.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

std::uintptr_t PageSize() { return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)); }

}  // namespace

void BackWithRealPages(void* Address, std::uint64_t Size) {
  if (Size == 0) return;
  const std::uintptr_t Page = PageSize();
  const std::uintptr_t First = reinterpret_cast<std::uintptr_t>(Address) & ~(Page - 1);
  const std::uintptr_t End = (reinterpret_cast<std::uintptr_t>(Address) + Size + Page - 1) & ~(Page - 1);
  // Rounding out to whole pages stays inside the mapping: a page partly in the block is mapped
  // whole. MADV_POPULATE_WRITE faults the pages in writable without changing their contents.
  if (madvise(reinterpret_cast<void*>(First), End - First, MADV_POPULATE_WRITE) == 0) return;
  // Older kernels and device mappings (EINVAL) and anything else: first touch does the same.
  TouchEveryPage(Address, Size);
}

void TouchEveryPage(void* Address, std::uint64_t Size) {
  const std::uintptr_t Page = PageSize();
  const std::uintptr_t Start = reinterpret_cast<std::uintptr_t>(Address);
  const std::uintptr_t End = Start + Size;
  // volatile: the stores land even though nothing reads them.
  for (std::uintptr_t Byte = Start; Byte < End; Byte = (Byte & ~(Page - 1)) + Page)
    *reinterpret_cast<volatile unsigned char*>(Byte) = 0;
}
