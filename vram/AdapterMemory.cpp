#include "AdapterMemory.h"

#include <cmath>
#include <cstdio>

#include "HelperQuobix.h"

namespace {

// The generations of PCI Express: their transfer rate per lane, their name, and the share of the
// bits on the wire that carry data after the line code (8b/10b up to 2.0, 128b/130b from 3.0;
// 6.0's FLIT mode has no line code of its own).
struct TGeneration {
  double Speed;  // GT/s
  const char* Name;
  double LineCodeShare;
};
constexpr TGeneration Generations[] = {{2.5, "1.1", 8.0 / 10.0},    {5, "2.0", 8.0 / 10.0},
                                       {8, "3.0", 128.0 / 130.0},  {16, "4.0", 128.0 / 130.0},
                                       {32, "5.0", 128.0 / 130.0}, {64, "6.0", 1.0}};

const TGeneration* FindGeneration(double Speed) {
  for (const TGeneration& Known : Generations)
    if (std::fabs(Speed - Known.Speed) < 0.01) return &Known;
  return nullptr;
}

// The generation of PCI Express that runs at Speed GT/s: "4.0"; the rate itself where none does.
std::string Generation(double Speed) {
  if (const TGeneration* Known = FindGeneration(Speed)) return Known->Name;
  char Rate[32];
  std::snprintf(Rate, sizeof Rate, "%g GT/s", Speed);
  return Rate;
}

std::string LinkText(double Speed, std::uint32_t Width) { return Generation(Speed) + " x" + std::to_string(Width); }

}  // namespace

std::string PciLinkText(const TPciLink& Link) {
  const std::string Current = LinkText(Link.Speed, Link.Width);
  if (Link.MaxSpeed <= 0 || Link.MaxWidth == 0) return "PCIe " + Current;
  const std::string Most = LinkText(Link.MaxSpeed, Link.MaxWidth);
  // Cards lower their link while idle, so the current rate alone would mislead.
  return Most == Current ? "PCIe " + Current : "PCIe " + Current + " (up to " + Most + ")";
}

std::optional<double> PciLinkBytesPerSecond(const TPciLink& Link) {
  const TGeneration* Known = FindGeneration(Link.Speed);
  if (Known == nullptr || Link.Width == 0) return std::nullopt;
  return Link.Speed * 1e9 * Known->LineCodeShare * Link.Width / 8.0;
}

std::string BarText(TBarState Bar) {
  switch (Bar) {
    case TBarState::Off:
      return "resizable BAR off";
    case TBarState::On:
      return "resizable BAR on";
    case TBarState::Shared:
      break;
  }
  return "memory shared with the processor";
}

std::string ReachText(const TAdapterMemory& Memory) {
  std::string Text = FormatByteSize(static_cast<std::int64_t>(Memory.Reachable)) + " of " +
                     FormatByteSize(static_cast<std::int64_t>(Memory.DeviceLocal)) + " (" + BarText(Memory.Bar) + ")";
  if (Memory.Link) Text += ", " + PciLinkText(*Memory.Link);
  return Text;
}
