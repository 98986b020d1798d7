#pragma once
// What a graphics adapter has of its own memory, how much of it the processor can map, and how the
// adapter is linked to the processor: the figures of the start-up line that says what the GFX
// tests touch, of --list-devices, and of the GFX tests' choice of block.

#include <cstdint>
#include <optional>
#include <string>

enum class TBarState : std::uint8_t {
  Off,     // a discrete card whose mappable memory is a window smaller than its own memory
  On,      // resizable BAR: the mappable memory covers the card's own memory
  Shared,  // not a discrete card: its memory is the machine's RAM
};

// A PCI Express link as the kernel describes it: transfer rates in GT/s, widths in lanes.
struct TPciLink {
  double Speed = 0;
  std::uint32_t Width = 0;
  double MaxSpeed = 0;  // 0 where the kernel does not say
  std::uint32_t MaxWidth = 0;
};

struct TAdapterMemory {
  std::uint64_t DeviceLocal = 0;      // bytes of the adapter's own memory: its largest device-local heap
  std::uint64_t DeviceLocalFree = 0;  // of which still to be had: free texture memory, free VRAM
  std::uint64_t Reachable = 0;        // bytes the processor can map: that heap's budget, else its size
  std::uint64_t ReachableFree = 0;    // of which still to be had
  TBarState Bar = TBarState::Off;
  std::optional<TPciLink> Link;       // empty where the adapter has no PCI Express link of its own
  // Where the adapter's memory is the machine's RAM: what this process may still use of it, the
  // smaller of MemAvailable and what its cgroup allows; empty otherwise or where it is not known.
  std::optional<std::uint64_t> SystemAvailable;
};

// "PCIe 4.0 x16", or "PCIe 1.1 x16 (up to 4.0 x16)" while the link runs below what it can.
std::string PciLinkText(const TPciLink& Link);

// What one direction of the link carries as it runs now, in bytes per second: its transfer rate
// times its lanes, less the line code (8b/10b for PCIe 1.x and 2.x, 128b/130b for 3.0 to 5.0, none
// in 6.0's FLIT mode). Packet headers and flow control are not taken off, so no copy reaches it
// whole. Empty for a rate of no known generation.
std::optional<double> PciLinkBytesPerSecond(const TPciLink& Link);

// "resizable BAR off", "resizable BAR on" or "memory shared with the processor".
std::string BarText(TBarState Bar);

// "214.00 MB of 8.00 GB (resizable BAR off), PCIe 3.0 x16": what the processor can reach of the
// adapter's own memory.
std::string ReachText(const TAdapterMemory& Memory);
